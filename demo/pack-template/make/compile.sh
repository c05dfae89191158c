# SPDX-License-Identifier: MIT
# shellcheck shell=sh
# Read with "." by the pack Makefile's compile recipes, before the compiler
# runs: removes the old images while it runs, sets "source" to the name
# behind the alias, and defines what the recipe calls after it, compile_failed
# and write_dependencies. Each program started costs the edit-build loop time:
# the name comes from <b>/sources.sh (readlink only if it is not there), and
# the shell alone rewrites gcc's dependency list when every header name is a
# make word (awk does it otherwise).
#
# Set by the recipe: b (the build directory), scripts (this folder), target
# (the object) and alias (the source's alias).

: "${b:?}" "${scripts:?}" "${target:?}" "${alias:?}"
name=${PWD##*/}
if [ -e "./$name.elf" ] || [ -e "./$name.s37" ]; then rm -f "./$name.elf" "./$name.s37" & fi
source=
# shellcheck source=/dev/null
. "./$b/sources.sh"
name_of "$alias"
[ -n "$source" ] || { source=$(readlink "$alias"); source=${source#../../}; }
list=${target%.o}.d

compile_failed() {
    echo "error: ./$source did not compile (see above)" >&2
    wait
    exit 1
}

# Writes the object's dependency list for make from gcc's, <target>.gcc.d; the
# source's own name is dropped, since make reaches it through its alias. A list
# whose writing fails is removed. Two compilations may make the same header's
# link at once: the loser's ln fails on the link the other made, which is as
# good.
write_dependencies() {
    [ -f "$target.gcc.d" ] || echo "$target:" >"$target.gcc.d"
    deps=
    while IFS= read -r line; do
        case $line in
        *\\) deps="$deps ${line%\\}" ;;
        *) deps="$deps $line"; break ;;
        esac
    done <"$target.gcc.d"
    deps=${deps#" $target:"}
    while case $deps in " "*) ;; *) false ;; esac; do deps=${deps# }; done
    escaped=
    rest=$source
    while case $rest in *" "*) ;; *) false ;; esac; do
        escaped="$escaped${rest%%" "*}\\ "
        rest=${rest#*" "}
    done
    escaped=$escaped$rest
    case $deps in
    "$escaped" | "$escaped "*) deps=${deps#"$escaped"} ;;
    *) deps=! ;;
    esac
    # Names make would take for its own words: see dependencies.awk.
    case $deps in
    *[!A-Za-z0-9_./+\ -]*) ;;
    *)
        for header in $deps; do
            case $header in
            "$b"/*) deps=!; break ;;
            */*) ;;
            .* | all | clean | upload) deps=!; break ;;
            esac
        done
        ;;
    esac
    case $deps in
    *[!A-Za-z0-9_./+\ -]*)
        LC_ALL=C awk -v target="$target" -v b="$b" -v links="$target.links" \
            -f "$scripts/alias.awk" -f "$scripts/dependencies.awk" "$target.gcc.d" >"$list" ||
            { rm -f "$list"; wait; exit 1; }
        while IFS= read -r real && IFS= read -r link; do
            [ -L "$link" ] || ln -s "$real" "$link" 2>/dev/null || [ -L "$link" ]
        done <"$target.links"
        ;;
    *)
        {
            printf '%s:%s\n' "$target" "$deps"
            for header in $deps; do printf '%s:\n' "$header"; done
        } >"$list" || { rm -f "$list"; wait; exit 1; }
        ;;
    esac
    wait
}
