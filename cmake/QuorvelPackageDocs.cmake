# Writes the package's Debian documents from the project's own, so each fact has one source.
#   cmake -DLICENSE=... -DCHANGELOG=... -DVERSION=... -DMAINTAINER=... -DOUT_DIR=...
#         -P QuorvelPackageDocs.cmake
# OUT_DIR/copyright: machine-readable (DEP-5), from LICENSE.
# OUT_DIR/changelog: Debian changelog format, one entry per release heading of CHANGELOG.md
#   ("## [1.2.3] - YYYY-MM-DD"); a VERSION without a heading yet is the UNRELEASED top entry.

foreach(var LICENSE CHANGELOG VERSION MAINTAINER OUT_DIR)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "QuorvelPackageDocs: ${var} is not set")
    endif()
endforeach()

# ---- copyright ----
file(STRINGS ${LICENSE} license_lines)
set(holder "")
set(body "")
set(in_body FALSE)
foreach(line IN LISTS license_lines)
    if(line MATCHES "^Copyright \\(c\\) (.+)$")
        set(holder "${CMAKE_MATCH_1}")
        set(in_body TRUE)
    elseif(in_body)
        # A blank line inside a field is written " ."; the leading blank one is dropped.
        if(line STREQUAL "")
            if(NOT body STREQUAL "")
                string(APPEND body " .\n")
            endif()
        else()
            string(APPEND body " ${line}\n")
        endif()
    endif()
endforeach()
if(holder STREQUAL "" OR body STREQUAL "")
    message(FATAL_ERROR "QuorvelPackageDocs: no \"Copyright (c)\" line and text in ${LICENSE}")
endif()
# Expat is the Debian name of the MIT licence this text is.
file(WRITE ${OUT_DIR}/copyright
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/
Upstream-Name: Quorvel
Upstream-Contact: ${MAINTAINER}
Source: https://quorvel.org/

Files: *
Copyright: ${holder}
License: Expat
${body}")

# ---- changelog ----
# RFC 5322 date of a YYYY-MM-DD day at midnight UTC (Sakamoto's weekday).
function(rfc_date iso out)
    string(REGEX MATCH "^([0-9]+)-([0-9]+)-([0-9]+)$" _ "${iso}")
    math(EXPR y "${CMAKE_MATCH_1}")
    math(EXPR m "${CMAKE_MATCH_2}")
    math(EXPR d "${CMAKE_MATCH_3}")
    set(offsets 0 3 2 5 0 3 5 1 4 6 2 4)
    set(months Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
    set(days Sun Mon Tue Wed Thu Fri Sat)
    math(EXPR i "${m} - 1")
    list(GET offsets ${i} offset)
    list(GET months ${i} month)
    set(wy ${y})
    if(m LESS 3)
        math(EXPR wy "${y} - 1")
    endif()
    math(EXPR w "(${wy} + ${wy} / 4 - ${wy} / 100 + ${wy} / 400 + ${offset} + ${d}) % 7")
    list(GET days ${w} weekday)
    set(${out} "${weekday}, ${CMAKE_MATCH_3} ${month} ${y} 00:00:00 +0000" PARENT_SCOPE)
endfunction()

file(STRINGS ${CHANGELOG} headings REGEX "^## \\[[^]]+\\] - [0-9]+-[0-9]+-[0-9]+")
set(entries "")
set(released FALSE)
foreach(heading IN LISTS headings)
    string(REGEX MATCH "^## \\[([^]]+)\\] - ([0-9-]+)" _ "${heading}")
    set(release ${CMAKE_MATCH_1})
    rfc_date(${CMAKE_MATCH_2} date)
    if(release STREQUAL VERSION)
        set(released TRUE)
    endif()
    string(APPEND entries "quorvel (${release}) unstable; urgency=medium

  * Quorvel ${release}; what changed is in CHANGELOG.md beside this file.

 -- ${MAINTAINER}  ${date}

")
endforeach()
if(NOT released)
    string(TIMESTAMP now "%a, %d %b %Y %H:%M:%S +0000" UTC)
    set(entries "quorvel (${VERSION}) UNRELEASED; urgency=medium

  * Quorvel ${VERSION}, not released yet; see CHANGELOG.md beside this file.

 -- ${MAINTAINER}  ${now}

${entries}")
endif()
string(STRIP "${entries}" entries)
file(WRITE ${OUT_DIR}/changelog "${entries}\n")
