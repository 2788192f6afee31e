# What `cmake --install` puts where, and the .deb that CPack makes of it (`cpack -G DEB`).
include(GNUInstallDirs)

install(TARGETS quorvel quorvel-mtc-send quorvel-ltc-send RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS scripts/demo.sh DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME quorvel-demo)
install(FILES data/org.quorvel.Quorvel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/icons/org.quorvel.Quorvel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Drawn again for menus and panels, where the scalable icon's thin strokes blur.
foreach(size 16x16 24x24)
    install(FILES data/icons/${size}/org.quorvel.Quorvel.svg
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}/apps)
endforeach()
install(FILES data/org.quorvel.Quorvel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# Man pages and the changelog are installed compressed, as Debian wants them; -n keeps name and
# time out of the gzip header, so the same sources give the same package.
find_program(QUORVEL_GZIP gzip REQUIRED)
set(_quorvel_docs ${CMAKE_CURRENT_BINARY_DIR}/package-docs)
set(_quorvel_man_pages "")
foreach(page quorvel quorvel-mtc-send quorvel-ltc-send quorvel-demo)
    set(gz ${_quorvel_docs}/${page}.1.gz)
    add_custom_command(OUTPUT ${gz}
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/data/man/${page}.1
                ${_quorvel_docs}/${page}.1
        COMMAND ${QUORVEL_GZIP} -9nf ${_quorvel_docs}/${page}.1
        DEPENDS data/man/${page}.1
        VERBATIM)
    list(APPEND _quorvel_man_pages ${gz})
endforeach()
set(CPACK_PACKAGE_CONTACT "The Quorvel developers <maintainers@quorvel.org>")
add_custom_command(OUTPUT ${_quorvel_docs}/copyright ${_quorvel_docs}/changelog.gz
    COMMAND ${CMAKE_COMMAND} -DLICENSE=${PROJECT_SOURCE_DIR}/LICENSE
            -DCHANGELOG=${PROJECT_SOURCE_DIR}/CHANGELOG.md -DVERSION=${PROJECT_VERSION}
            -DMAINTAINER=${CPACK_PACKAGE_CONTACT} -DOUT_DIR=${_quorvel_docs}
            -P ${PROJECT_SOURCE_DIR}/cmake/QuorvelPackageDocs.cmake
    COMMAND ${QUORVEL_GZIP} -9nf ${_quorvel_docs}/changelog
    DEPENDS LICENSE CHANGELOG.md cmake/QuorvelPackageDocs.cmake
    VERBATIM)
add_custom_target(quorvel_package_docs ALL
    DEPENDS ${_quorvel_man_pages} ${_quorvel_docs}/copyright ${_quorvel_docs}/changelog.gz)
install(FILES ${_quorvel_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The licence travels in copyright, as Debian wants it; a LICENSE beside it would repeat it.
install(FILES ${_quorvel_docs}/copyright ${_quorvel_docs}/changelog.gz README.md CHANGELOG.md
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvel)

set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR "The Quorvel developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "timecode calculator with a live MIDI Time Code input")
# Control-file lines stay under 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvel adds and subtracts SMPTE timecodes at 24 to 60 fps and 29.97 or 59.94\n\
drop-frame, and shows the MIDI Time Code that a DAW, a video deck or a sync box\n\
sends over the ALSA sequencer or JACK, to be captured into the calculator.\n\
Includes quorvel-mtc-send and quorvel-ltc-send, MTC and LTC generators, and\n\
quorvel-demo, which plays timecode into Quorvel without MIDI hardware.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://quorvel.org/)
# Depends comes from the binaries' libraries; the SVG plugins are loaded, not linked, and the
# demo runs jackd.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6svg6")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "jackd2")
include(CPack)
