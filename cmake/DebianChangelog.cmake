# SPDX-FileCopyrightText: 2026 Zeluvar developers
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the Debian changelog of the package from the metainfo's <releases>, so the two cannot
# disagree: one entry per <release>, newest first as there, with its version, its date and each
# paragraph or list item of its description as one item. Sets ${date_var} to the date of the
# release of the project version.
function(write_debian_changelog metainfo package maintainer output date_var)
    file(READ ${metainfo} rest)
    # CMake's lists split at these: control characters stand in for them until the end.
    string(ASCII 29 semicolon)
    string(ASCII 30 opening_bracket)
    string(ASCII 31 closing_bracket)
    string(REPLACE ";" "${semicolon}" rest "${rest}")
    string(REPLACE "[" "${opening_bracket}" rest "${rest}")
    string(REPLACE "]" "${closing_bracket}" rest "${rest}")
    set(changelog "")
    while(rest MATCHES "<release ")
        string(FIND "${rest}" "<release " start)
        string(SUBSTRING "${rest}" ${start} -1 rest)
        string(FIND "${rest}" "</release>" end)
        if(end EQUAL -1 OR NOT rest MATCHES "^<release version=\"([^\"]+)\" date=\"([0-9-]+)\">")
            message(FATAL_ERROR "${metainfo}: each <release> needs its version, its date and a "
                                "<description> of what changed, which the Debian changelog takes")
        endif()
        set(version ${CMAKE_MATCH_1})
        set(date ${CMAKE_MATCH_2})
        string(SUBSTRING "${rest}" 0 ${end} release)
        string(SUBSTRING "${rest}" ${end} -1 rest)

        # Only the untranslated text: a translated <p> carries xml:lang.
        string(REGEX MATCHALL "<(p|li)>[^<]*</(p|li)>" items "${release}")
        if(NOT items)
            message(FATAL_ERROR "${metainfo}: the <release> of ${version} has no <description> of what changed")
        endif()
        execute_process(COMMAND date -u -R -d ${date} OUTPUT_VARIABLE rfc_date
                        OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
        if(version STREQUAL PROJECT_VERSION)
            set(${date_var} ${date} PARENT_SCOPE)
        endif()

        string(APPEND changelog "${package} (${version}) unstable; urgency=medium\n\n")
        foreach(item IN LISTS items)
            string(REGEX REPLACE "</?(p|li)>" "" item "${item}")
            string(STRIP "${item}" item)
            string(REGEX REPLACE "[ \t\r\n]+" ";" words "${item}")
            # Lines up to 79 characters, as Debian's tools show them.
            set(line "  *")
            foreach(word IN LISTS words)
                string(LENGTH "${line} ${word}" length)
                if(length GREATER 79 AND NOT line STREQUAL "  *")
                    string(APPEND changelog "${line}\n")
                    set(line "   ")
                endif()
                string(APPEND line " ${word}")
            endforeach()
            string(APPEND changelog "${line}\n")
        endforeach()
        string(APPEND changelog "\n -- ${maintainer}  ${rfc_date}\n\n")
    endwhile()

    string(REGEX REPLACE "\n\n$" "\n" changelog "${changelog}")
    string(REPLACE "${semicolon}" ";" changelog "${changelog}")
    string(REPLACE "${opening_bracket}" "[" changelog "${changelog}")
    string(REPLACE "${closing_bracket}" "]" changelog "${changelog}")
    string(REPLACE "&lt;" "<" changelog "${changelog}")
    string(REPLACE "&gt;" ">" changelog "${changelog}")
    string(REPLACE "&quot;" "\"" changelog "${changelog}")
    string(REPLACE "&apos;" "'" changelog "${changelog}")
    string(REPLACE "&amp;" "&" changelog "${changelog}")  # last: "&amp;lt;" is "&lt;"
    file(WRITE ${output} "${changelog}")
endfunction()
