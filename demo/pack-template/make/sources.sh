# SPDX-License-Identifier: MIT
# shellcheck shell=sh
# The one shell step of every run of the pack Makefile, read with "." by its
# $(shell): lists the sources, makes their aliases and prints them. It also
# writes <b>/<kind>.flags, which what each kind of command builds depends on,
# when the command or the root changed. With the same sources and flags as last
# time it starts no program, so that "nothing to do" stays instant. A missing
# image forgets the link. What fails prints a word that starts with "!", which
# the Makefile turns into an error.
#
# Set by the Makefile: b (its build directory), marker (the file that tells b
# from a user's own folder), scripts (this folder), and flags_c, flags_cxx,
# flags_as and flags_ld (the commands less the files).

: "${b:?}" "${marker:?}" "${scripts:?}"
if [ -L "$b" ] && [ ! -e "$b" ]; then echo '!dangling'; exit 0; fi
if [ -e "$b" ] && [ ! -f "$marker" ]; then echo '!notours'; exit 0; fi
if [ ! -d "$b/dep" ]; then
    if ! mkdir -p "$b/src" "$b/obj" "$b/dep" || ! : >"$marker"; then echo '!mkdir'; exit 0; fi
fi

# The shell's default IFS is " \t\n": its last character is the newline a name
# must not hold.
nl=${IFS#??}
list=
old=
aliases=
warnings=
name=${PWD##*/}
if [ ! -f "./$name.elf" ] || [ ! -f "./$name.s37" ]; then rm -f "$b/linked"; fi
for source in *.c *.cc *.cpp *.s *.S; do
    [ -f "$source" ] || continue
    case $source in
    *"$nl"* | *\\*)
        printf "warning: '%s' holds a newline or backslash: not built\n" "$source" >&2
        continue
        ;;
    esac
    list="$list$source$nl"
done
# shellcheck source=/dev/null
[ ! -f "$b/sources.sh" ] || . "./$b/sources.sh"
if [ "$list" != "$old" ]; then
    for link in "$b"/src/*; do [ -e "$link" ] || rm -f "$link"; done
    if ! printf '%s' "$list" | LC_ALL=C awk -v b="$b" -f "$scripts/alias.awk" \
        -f "$scripts/write-sources.awk" >"$b/sources.sh.new" ||
        ! mv "$b/sources.sh.new" "$b/sources.sh"; then
        echo '!write'
        exit 0
    fi
    # shellcheck source=/dev/null
    . "./$b/sources.sh"
fi
printf '%s' "$warnings" >&2
# The aliases need neither quotes nor care for patterns.
for alias in $aliases; do
    [ -L "$alias" ] || { name_of "$alias" && ln -s "../../$source" "$alias"; } || { echo '!write'; exit 0; }
done

# quoted text: sets r to text as the inside of a single-quoted shell word.
quoted() {
    r=
    s=$1
    while case $s in *\'*) ;; *) false ;; esac; do
        r="$r${s%%\'*}'\\''"
        s=${s#*\'}
    done
    r=$r$s
}

old_root=
old_c=
old_cxx=
old_as=
old_ld=
changed=
# shellcheck source=/dev/null
[ ! -f "$b/flags.sh" ] || . "./$b/flags.sh"
# shellcheck disable=SC2034 # read through eval below
[ "$QPRJ" = "$old_root" ] || { old_c=!; old_cxx=!; old_as=!; old_ld=!; }
for kind in c cxx as ld; do
    eval "now=\$flags_$kind last=\$old_$kind"
    # shellcheck disable=SC2154 # both set by the eval
    if [ ! -f "$b/$kind.flags" ] || [ "$now" != "$last" ]; then
        if printf '%s\n' "$now" >"$b/$kind.flags"; then changed=${changed:-1}; else changed=!; fi
    fi
done
if [ "$changed" = ! ]; then echo '!write'; exit 0; fi
if [ -n "$changed" ]; then
    for kind in root c cxx as ld; do
        case $kind in
        root) quoted "$QPRJ" ;;
        *) eval "quoted \"\$flags_$kind\"" ;;
        esac
        printf "old_%s='%s'\n" $kind "$r"
    done >"$b/flags.sh.new" || { echo '!write'; exit 0; }
    mv "$b/flags.sh.new" "$b/flags.sh" || { echo '!write'; exit 0; }
fi
echo "$aliases"
