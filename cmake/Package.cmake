# The Debian package: `cmake --build build --target package` or tools/make-deb.sh.
# Its runtime dependencies are found by dpkg-shlibdeps from the installed programs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tivanepelotool)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "TivanePelo <tools@tivanepelo.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "bench tool for presence-radar modules on a serial port")
string(CONCAT CPACK_DEBIAN_PACKAGE_DESCRIPTION
       "Connects to a presence-radar module on a serial port, shows its presence\n"
       "state, the distance and a 15-second waveform, and records every received\n"
       "byte. Recordings replay and export, the detection parameters are read,\n"
       "written with a check and kept as snapshots. Includes a command-line\n"
       "companion and a simulated module.")
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Loaded at run time, so dpkg-shlibdeps cannot see them: the window's platform plugins,
# and Qt's own Chinese texts.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
include(CPack)
