# SPDX-License-Identifier: MIT
# Run by CPack after it has built the Debian package (CPACK_POST_BUILD_SCRIPTS):
# takes the entry of /opt itself out of the package's files. /opt is the
# system's (base-files makes it); a package that lists it has dpkg try to
# remove it, and warn that it is not empty, whenever the package is removed.
# The file archive is written anew from its own contents, in its own order,
# without that entry: GNU tar's --delete corrupts CPack's archives.

foreach(package IN LISTS CPACK_PACKAGE_FILES)
    set(work "${package}.members")
    file(REMOVE_RECURSE "${work}")
    file(MAKE_DIRECTORY "${work}/tree")
    execute_process(WORKING_DIRECTORY "${work}" COMMAND_ERROR_IS_FATAL ANY
        COMMAND ar x "${package}")
    execute_process(WORKING_DIRECTORY "${work}" COMMAND_ERROR_IS_FATAL ANY
        COMMAND tar --extract --gzip --preserve-permissions --file data.tar.gz --directory tree)
    execute_process(WORKING_DIRECTORY "${work}" OUTPUT_FILE "${work}/kept"
        COMMAND tar --list --gzip --file data.tar.gz
        COMMAND grep --invert-match --line-regexp --fixed-strings ./opt/)
    file(REMOVE "${work}/data.tar.gz")
    execute_process(WORKING_DIRECTORY "${work}" COMMAND_ERROR_IS_FATAL ANY
        COMMAND tar --create --format=gnu --no-recursion --owner=root:0 --group=root:0
            --file data.tar --directory tree --verbatim-files-from --files-from "${work}/kept")
    execute_process(WORKING_DIRECTORY "${work}" COMMAND_ERROR_IS_FATAL ANY
        COMMAND gzip -9n data.tar)
    # The members in the order dpkg requires.
    file(REMOVE "${package}")
    execute_process(WORKING_DIRECTORY "${work}" COMMAND_ERROR_IS_FATAL ANY
        COMMAND ar rcD "${package}" debian-binary control.tar.gz data.tar.gz)
    file(REMOVE_RECURSE "${work}")
endforeach()
