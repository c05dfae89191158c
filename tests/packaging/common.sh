# SPDX-License-Identifier: MIT
# Helpers for the packaging tests; sourced by them.

readonly APP_ID=org.quellix.ProjectManagement
readonly EMPTY_DIRECTORIES=(JAVA/BIN 'LIB/GCC-LIB/M68K-N~1/EGCS-2~1.60')
readonly DESKTOP_FILES=(
    "share/applications/$APP_ID.desktop"
    "share/icons/hicolor/32x32/apps/$APP_ID.png"
    "share/icons/hicolor/scalable/apps/$APP_ID.svg"
    "share/metainfo/$APP_ID.metainfo.xml"
    share/man/man1/quellix-launcher.1.gz
)
# What only the package holds, below /usr/share.
readonly PACKAGE_DOCUMENTS=(
    doc/quellix-launcher/copyright
    doc/quellix-launcher/changelog.gz
    lintian/overrides/quellix-launcher
)

# Reads the boards, quellix_boards and quellix_packs, from the boards.sh the
# build writes, which QUELLIX_BOARDS names (the test environment sets it).
load_boards() {
    [[ -n ${QUELLIX_BOARDS:-} ]] || fail "QUELLIX_BOARDS does not name the build's boards.sh"
    # shellcheck source=/dev/null # written by the build
    . "$QUELLIX_BOARDS"
}

fail() {
    printf 'FAIL: %s\n' "$*" >&2
    exit 1
}

# Problems are counted, so that one run reports all of them.
problems=0
problem() {
    printf 'FAIL: %s\n' "$*" >&2
    problems=$((problems + 1))
}

# Lists directory $1's entries with a checksum each, to compare before and after.
snapshot() {
    (cd "$1" && find . -mindepth 1 -print0 | sort -z | xargs -0 -r md5sum)
}

finish() {
    if ((problems > 0)); then
        printf '%d problem(s)\n' "$problems" >&2
        exit 1
    fi
    echo "PASS"
}

require_command() {
    local command=$1 package=$2
    command -v "$command" >/dev/null ||
        fail "$command is missing (Debian package $package)"
}

# A directory of our own, removed when the script ends, after the script's
# own clean_up if it defines one.
make_scratch() {
    scratch=$(mktemp -d "${TMPDIR:-/tmp}/quellix-packaging.XXXXXXXX")
    trap 'if declare -F clean_up >/dev/null; then clean_up; fi; rm -rf -- "$scratch"' EXIT
}

# Empties a fixture directory the build tree gives us; refuses anything that
# does not look like one.
reset_directory() {
    local directory=$1
    [[ $directory == /* && $directory == */tests/packaging/* ]] ||
        fail "refusing to empty $directory"
    rm -rf -- "$directory"
    mkdir -p -- "$directory"
}

# Reports what desktop-file-validate finds wrong with FILE, under LABEL.
validate_desktop_file() {
    local file=$1 label=$2 output
    if ! output=$(desktop-file-validate "$file" 2>&1) || [[ -n $output ]]; then
        problem "${label}desktop-file-validate: $output"
    fi
}

# The value of KEY in the [Desktop Entry] group, as written in the file.
desktop_value() {
    local file=$1 key=$2
    awk -v key="$key" '
        /^\[/ { group = $0; next }
        group == "[Desktop Entry]" && index($0, key "=") == 1 {
            print substr($0, length(key) + 2); found = 1; exit
        }
        END { exit !found }' "$file"
}

# The headers of the boards' C library and C++ runtime that ROOT holds, relative
# to their directory: the build's output, so ROOT names them (check_root checks
# that the ones programs include are there).
readonly RUNTIME_HEADERS=(newlib.h stdio.h stdlib.h string.h math.h c++/12/new c++/12/typeinfo
    c++/12/m68k-elf/bits/c++config.h)
runtime_headers() {
    local include=$1/${EMPTY_DIRECTORIES[1]}/${2:-include}
    if [[ -d $include ]]; then
        (cd "$include" && find . -not -type d -printf '%P\n')
    fi
}

# Every file (not directory) an installation root holds, relative to it, with
# its mode: "755 path" or "644 path", sorted by path. ROOT, the root being
# checked, names the runtime headers.
expected_root_files() {
    local source_dir=$1 root=$2 pack file
    {
        echo "755 bin/quellix-launcher"
        echo "755 SN451/bin/snavigator.exe"
        echo "755 BIN/m68k-upload"
        for file in "$source_dir"/demo/BIN/*; do
            echo "755 BIN/${file##*/}"
        done
        load_boards
        for board in "${quellix_boards[@]}"; do
            IFS='|' read -r _ pack memory_map header _ <<<"$board"
            [[ -d $source_dir/demo/packs/$pack ]] || fail "the source tree has no pack $pack"
            (cd "$source_dir/demo/packs" && find "$pack" -type f -printf '644 %p\n')
            # Made from demo/pack-template.
            printf '644 %s\n' "$pack/examples/Makefile" "$pack/lib/crt0.s" "$pack/lib/board.c" \
                "$pack/lib/libboard.a" "$pack/lib/board.profile" "$pack/lib/$memory_map" \
                "$pack/include/$header"
            (cd "$source_dir/demo/pack-template" && find make -type f -printf "644 $pack/lib/%p\n")
        done
        # The runtime libraries the build makes from GCC's and newlib's sources,
        # their headers and their licences.
        for file in COPYING3 COPYING.RUNTIME COPYING.NEWLIB \
            {m68000,cpu32}/{libgcc.a,libc.a,libm.a,libsupc++.a}; do
            echo "644 ${EMPTY_DIRECTORIES[1]}/$file"
        done
        runtime_headers "$root" | while IFS= read -r file; do
            echo "644 ${EMPTY_DIRECTORIES[1]}/include/$file"
        done
        runtime_headers "$root" include-gcc | while IFS= read -r file; do
            echo "644 ${EMPTY_DIRECTORIES[1]}/include-gcc/$file"
        done
        for file in "${DESKTOP_FILES[@]}"; do
            echo "644 $file"
        done
    } | sort -k2
}

# Checks ROOT against the layout of an installation root built from SOURCE_DIR:
# the same files with the same modes and nothing else, the same content where
# the source tree has it, the (empty) tool directories, ELF programs.
check_root() {
    local root=$1 source_dir=$2 expected actual pack file directory
    [[ -d $root ]] || fail "no installation root at $root"
    expected=$(expected_root_files "$source_dir" "$root")
    actual=$(cd "$root" && find . -not -type d -printf '%m %P\n' | sort -k2)
    if [[ $expected != "$actual" ]]; then
        problem "the files in $root differ from an installation root's (< expected, > found):"
        diff <(echo "$expected") <(echo "$actual") >&2 || true
    fi
    for directory in "${EMPTY_DIRECTORIES[@]}"; do
        [[ -d $root/$directory ]] || problem "missing directory $directory"
    done
    for file in "${RUNTIME_HEADERS[@]}"; do
        [[ -f $root/${EMPTY_DIRECTORIES[1]}/include/$file ]] || problem "the runtime headers lack $file"
    done
    for file in bin/quellix-launcher SN451/bin/snavigator.exe BIN/m68k-upload; do
        [[ -f $root/$file && $(head -c 4 "$root/$file" | od -An -tx1 | tr -d ' \n') == 7f454c46 ]] ||
            problem "$file is not an ELF program"
    done
    load_boards
    for pack in "${quellix_packs[@]}"; do
        while IFS= read -r -d '' file; do
            cmp "$file" "$root/${file#"$source_dir/demo/packs/"}" >&2 ||
                problem "pack $pack differs from the source tree"
        done < <(find "$source_dir/demo/packs/$pack" -type f -print0)
    done
    for file in stddef.h stdarg.h float.h limits.h stdint.h; do
        [[ -f $root/${EMPTY_DIRECTORIES[1]}/include-gcc/$file ]] || problem "the compiler's headers lack $file"
    done
    # BIN holds the tool chain's commands from the source tree and the built uploader.
    diff -r -x m68k-upload "$source_dir/demo/BIN" "$root/BIN" >&2 ||
        problem "BIN differs from the source tree"
    cmp "$source_dir/packaging/icons/$APP_ID.png" "$root/${DESKTOP_FILES[1]}" ||
        problem "the 32x32 icon differs from the source tree"
    cmp "$source_dir/packaging/icons/$APP_ID.svg" "$root/${DESKTOP_FILES[2]}" ||
        problem "the scalable icon differs from the source tree"
}
