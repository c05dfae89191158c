# SPDX-License-Identifier: MIT
# The alias of a file name, as the pack Makefile reaches sources and odd
# header names: letters, digits, '.', '+' and '-' stay, every other byte
# becomes _XX, its hexadecimal value. Run under LC_ALL=C, so that a character
# is a byte.
BEGIN { for (i = 1; i < 256; i++) hex[sprintf("%c", i)] = sprintf("_%02x", i) }

function alias_of(name,    i, c, alias) {
    for (i = 1; i <= length(name); i++) {
        c = substr(name, i, 1)
        alias = alias (c ~ /[A-Za-z0-9.+-]/ ? c : hex[c])
    }
    return alias
}
