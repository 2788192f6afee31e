# What `cmake --install` puts where, and the .deb that CPack makes of it (`cpack -G DEB`).
include(GNUInstallDirs)

install(TARGETS quorvel quorvel-mtc-send RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS scripts/demo.sh DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME quorvel-demo)
install(FILES data/org.quorvel.Quorvel.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES data/icons/org.quorvel.Quorvel.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/org.quorvel.Quorvel.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES data/man/quorvel.1 data/man/quorvel-mtc-send.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES LICENSE README.md CHANGELOG.md DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quorvel)

set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR "The Quorvel developers")
set(CPACK_PACKAGE_CONTACT "The Quorvel developers <maintainers@quorvel.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "timecode calculator with a live MIDI Time Code input")
set(CPACK_PACKAGE_DESCRIPTION
    "Quorvel adds and subtracts SMPTE timecodes at 24 to 60 fps and 29.97 or 59.94 drop-frame,\n\
and shows the MIDI Time Code that a DAW, a video deck or a sync box sends over the ALSA\n\
sequencer or JACK, ready to be captured into the calculator. Includes quorvel-mtc-send, an MTC\n\
generator, and quorvel-demo, which plays timecode into Quorvel without MIDI hardware.")
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
