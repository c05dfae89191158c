# SPDX-License-Identifier: MIT
# Rewrites the dependency list gcc wrote (-MMD -MP) for make: a name made of
# letters, digits and "_./+-" alone stays, unless make would take it for one of
# its own words (a name starting with '.' and holding no '/', a target of the
# pack Makefile, or a name in its build directory); any other becomes
# <b>/dep/<alias>, and the links still missing are named in the file "links",
# two lines each (the name the link points to, then the link). Needs alias.awk
# and -v target=<object> -v b=<build dir> -v links=<file>.
BEGIN {
    printf "" > links
    make_word = "^([.][^/]*|all|clean|upload|" b "/.*)$"
}

# The first rule only, its continued lines joined.
{ line = line $0 }
/\\$/ { line = substr(line, 1, length(line) - 1); next }
{ exit }

END {
    # Make's escapes: "\ ", "\#", "\:" and "$$".
    text = substr(line, index(line, ":") + 1)
    name = ""
    count = 0
    for (i = 1; i <= length(text) + 1; i++) {
        c = substr(text, i, 1)
        if (c == "\\" && substr(text, i + 1, 1) ~ /[ \t#:]/) { name = name substr(text, ++i, 1); continue }
        if (c == "$" && substr(text, i + 1, 1) == "$") { name = name c; i++; continue }
        if (c == " " || c == "\t" || c == "") { if (name != "") names[++count] = name; name = ""; continue }
        name = name c
    }
    printf "%s:", target
    for (k = 1; k <= count; k++) {
        name = names[k]
        if (name !~ /^[A-Za-z0-9_.\/+-]+$/ || name ~ make_word) {
            alias = b "/dep/" alias_of(name)
            if ((getline byte < alias) < 0) {
                print (name ~ /^\// ? name : "../../" name) > links
                print alias > links
            }
            close(alias)
            name = alias
        }
        printf " %s", name
        deps[k] = name
    }
    printf "\n"
    for (k = 2; k <= count; k++) printf "%s:\n", deps[k]
}
