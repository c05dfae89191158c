#!/bin/sh
# SPDX-License-Identifier: MIT
# The tests' stand-in for the navigator IDE. Each run appends to $IDE_RUNS:
#   run
#   arg=ARGUMENT        one line per argument, in order
#   cwd=DIRECTORY       where it was started
#   PATH=, MAKE_MODE=, QPRJ=   the tool-chain environment it inherited
# In batch mode (--batchmode or -b) it writes the project file named last, as
# the IDE does, and ends. Open and plain runs end at once, or, when
# $IDE_GO_FILE is set, stay open until that file exists, as an IDE does until
# its user closes it.
set -u
{
    echo run
    for argument in "$@"; do printf 'arg=%s\n' "$argument"; done
    printf 'cwd=%s\n' "$(pwd -P)"
    printf 'PATH=%s\nMAKE_MODE=%s\nQPRJ=%s\n' "${PATH-}" "${MAKE_MODE-}" "${QPRJ-}"
} >>"$IDE_RUNS"

case "${1-}" in
--batchmode | -b)
    for project in "$@"; do :; done
    printf 'project\n' >"$project"
    ;;
*)
    if [ -n "${IDE_GO_FILE-}" ]; then
        waited=0
        while [ ! -e "$IDE_GO_FILE" ]; do
            sleep 0.05
            waited=$((waited + 1))
            [ "$waited" -lt 6000 ] || exit 3
        done
    fi
    ;;
esac
exit 0
