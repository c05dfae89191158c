# SPDX-License-Identifier: MIT
# Run at install time: writes the desktop entry for the root actually installed
# to (the prefix given to `cmake --install`, or the packaging prefix).

# A string value: backslash and control characters escaped.
function(quellix_desktop_string out value)
    string(REPLACE "\\" "\\\\" value "${value}")
    string(REPLACE "\n" "\\n" value "${value}")
    string(REPLACE "\t" "\\t" value "${value}")
    string(REPLACE "\r" "\\r" value "${value}")
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

# One argument of Exec: quoted when it holds a reserved character, with the
# characters that stay special inside quotes escaped; '%' is doubled so it is
# not read as a field code.
function(quellix_desktop_exec_argument out value)
    string(REPLACE "%" "%%" value "${value}")
    if(value MATCHES "[ \t\r\n\"'\\\\><~|&;$*?#()`]")
        string(REPLACE "\\" "\\\\" value "${value}")
        string(REPLACE "\"" "\\\"" value "${value}")
        string(REPLACE "`" "\\`" value "${value}")
        string(REPLACE "$" "\\$" value "${value}")
        set(value "\"${value}\"")
    endif()
    quellix_desktop_string(value "${value}")
    set(${out} "${value}" PARENT_SCOPE)
endfunction()

# Installs TEMPLATE, configured, into DESTINATION. DESTINATION and LAUNCHER are
# relative to the root or absolute; STAGING_DIR holds the configured entries.
function(quellix_install_desktop_entry)
    cmake_parse_arguments(PARSE_ARGV 0 arg ""
        "TEMPLATE;DESTINATION;LAUNCHER;ICON;STAGING_DIR" "")
    # A relative prefix is taken from the working directory, as the install
    # itself takes it; at install time that is CMAKE_CURRENT_SOURCE_DIR.
    cmake_path(ABSOLUTE_PATH CMAKE_INSTALL_PREFIX BASE_DIRECTORY "${CMAKE_CURRENT_SOURCE_DIR}"
        NORMALIZE OUTPUT_VARIABLE root)
    cmake_path(ABSOLUTE_PATH arg_LAUNCHER BASE_DIRECTORY "${root}" NORMALIZE
        OUTPUT_VARIABLE launcher)
    cmake_path(ABSOLUTE_PATH arg_DESTINATION BASE_DIRECTORY "${root}" NORMALIZE
        OUTPUT_VARIABLE destination)
    # The root without a trailing separator, except for "/" itself.
    string(REGEX REPLACE "(.)/$" "\\1" root "${root}")

    quellix_desktop_exec_argument(DESKTOP_EXEC "${launcher}")
    quellix_desktop_string(DESKTOP_PATH "${root}")
    quellix_desktop_string(DESKTOP_ICON "${arg_ICON}")

    # Staged per destination, so that installs to other roots running at the
    # same time do not overwrite this one's entry.
    string(MD5 stage "$ENV{DESTDIR}|${root}|${destination}")
    cmake_path(GET arg_TEMPLATE STEM LAST_ONLY name)
    set(staged "${arg_STAGING_DIR}/${stage}/${name}")
    configure_file("${arg_TEMPLATE}" "${staged}" @ONLY)
    file(INSTALL DESTINATION "${destination}" TYPE FILE FILES "${staged}")
endfunction()
