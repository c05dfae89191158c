# SPDX-License-Identifier: MIT
# Reads the sources' names, one a line, and prints <b>/sources.sh, which
# sources.sh and the recipes read with "." (one read, where reading lines costs
# a system call a byte): the list as it was ("old"), the warnings for names
# refused as too long once encoded, the aliases, and name_of, which sets
# "source" to the name behind an alias. Needs alias.awk and -v b=<build dir>.
BEGIN { q = sprintf("%c", 39) }

# name as the inside of a single-quoted shell word.
function quoted(name,    parts, count, i, text) {
    count = split(name, parts, q)
    text = parts[1]
    for (i = 2; i <= count; i++) text = text q "\\" q q parts[i]
    return text
}

{
    names[NR] = quoted($0)
    alias = alias_of($0)
    # The file system's 255 bytes, less the longest suffix added, ".o.gcc.d".
    if (length(alias) > 247) {
        warnings = warnings "warning: " q "\\" q q names[NR] q "\\" q q \
            " is too long once encoded (" length(alias) " bytes, at most 247): not built\n"
        next
    }
    aliases[++kept] = b "/src/" alias
    kept_names[kept] = names[NR]
}

END {
    printf "old=%s", q
    for (n = 1; n <= NR; n++) print names[n]
    print q
    printf "warnings=%s%s%s\n", q, warnings, q
    printf "aliases=%s", q
    for (n = 1; n <= kept; n++) printf "%s%s", (n > 1 ? " " : ""), aliases[n]
    print q
    print "name_of() {"
    print "    case $1 in"
    for (n = 1; n <= kept; n++) printf "    (%s) source=%s%s%s ;;\n", aliases[n], q, kept_names[n], q
    print "    esac"
    print "}"
}
