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
# Renamed copies are not among the targets the package strips: strip them here.
foreach(name tivanepelo-simradar tivanepelo-radarcli)
  install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
                \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${name}\")")
endforeach()

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
# Man pages and the changelog compressed, as Debian keeps them (-n: no name or time
# inside, so the same text gives the same bytes).
set(TIVANE_GZIPPED)
foreach(source man/TivanePeloTool.1 man/tivanepelo-radarcli.1 man/tivanepelo-simradar.1 debian/changelog)
  get_filename_component(name ${source} NAME)
  set(gzipped ${CMAKE_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${gzipped}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/packaging
    COMMAND sh -c "gzip -9n -c '${PROJECT_SOURCE_DIR}/res/${source}' > '${gzipped}'"
    DEPENDS ${PROJECT_SOURCE_DIR}/res/${source}
    VERBATIM)
  list(APPEND TIVANE_GZIPPED ${gzipped})
endforeach()
add_custom_target(packaging_files ALL DEPENDS ${TIVANE_GZIPPED})
install(FILES ${CMAKE_BINARY_DIR}/packaging/TivanePeloTool.1.gz ${CMAKE_BINARY_DIR}/packaging/tivanepelo-radarcli.1.gz
              ${CMAKE_BINARY_DIR}/packaging/tivanepelo-simradar.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${CMAKE_BINARY_DIR}/packaging/changelog.gz DESTINATION ${TIVANE_DOC_DIR})
# The access rule for USB serial bridges, where udev reads packaged rules.
install(FILES ${PROJECT_SOURCE_DIR}/res/udev/70-tivanepelotool.rules
        DESTINATION lib/udev/rules.d)

# The package's copyright file and changelog, where Debian keeps them.
install(FILES ${PROJECT_SOURCE_DIR}/res/debian/copyright DESTINATION ${TIVANE_DOC_DIR})
