# What `cmake --install` puts where (GNU directory layout): the tool and, under names
# that say what they are, the simulated module and the command-line companion; the
# presence pictures in the shared data folder; the desktop entry, the icon in the
# hicolor theme, the AppStream metainfo and the man pages.
include(GNUInstallDirs)

set(TIVANE_DOC_DIR ${CMAKE_INSTALL_DATAROOTDIR}/doc/tivanepelotool)
set(TIVANE_DATA_DIR ${CMAKE_INSTALL_DATADIR}/tivanepelotool)
set(TIVANE_DESKTOP_ID org.tivanepelo.TivanePeloTool)

install(TARGETS TivanePeloTool RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(PROGRAMS $<TARGET_FILE:simradar> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME tivanepelo-simradar)
install(PROGRAMS $<TARGET_FILE:radarcli> DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME tivanepelo-radarcli)

install(DIRECTORY ${PROJECT_SOURCE_DIR}/res/Image/ DESTINATION ${TIVANE_DATA_DIR}/Image
        FILES_MATCHING PATTERN "*.png")

install(FILES ${PROJECT_SOURCE_DIR}/res/desktop/${TIVANE_DESKTOP_ID}.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/res/desktop/${TIVANE_DESKTOP_ID}.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size 48 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/res/icons/hicolor/${size}x${size}/apps/tivanepelotool.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
endforeach()
install(FILES ${PROJECT_SOURCE_DIR}/res/man/TivanePeloTool.1 ${PROJECT_SOURCE_DIR}/res/man/tivanepelo-radarcli.1
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# The access rule for USB serial bridges, where udev reads packaged rules.
install(FILES ${PROJECT_SOURCE_DIR}/res/udev/70-tivanepelotool.rules
        DESTINATION lib/udev/rules.d)

# The package's copyright file and changelog, where Debian keeps them.
install(FILES ${PROJECT_SOURCE_DIR}/res/debian/copyright DESTINATION ${TIVANE_DOC_DIR})
