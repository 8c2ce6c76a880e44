# Install rules: `cmake --install build [--prefix P]`, and what scripts/package packs.
#   bin/velor, bin/velor-capture                 the player and the headless capture tool
#   share/velor/                                 the generated content and the effect files
#   share/applications/velor.desktop             the menu entry
#   share/icons/hicolor/128x128/apps/velor.png   its icon, painted by velor-content
#   share/man/man6/velor.6, man1/velor-capture.1
#   share/doc/velor/                             README and the licence
# Nothing installed names the prefix: the programs find share/velor relative to themselves, so the
# tree plays wherever it is copied or unpacked.
# Installing (and CPack) takes what the build made and builds nothing itself: scripts/build first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY ON)
install(TARGETS velor velor-capture RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The content: what velor-content writes into the run folder, and the effect files copied beside it.
set(VELOR_DATA_DESTINATION ${CMAKE_INSTALL_DATADIR}/velor)
install(FILES ${VELOR_RUN_DIR}/data.xyz ${VELOR_RUN_DIR}/Vob_058f.s3m DESTINATION ${VELOR_DATA_DESTINATION})
file(GLOB _velor_effects CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/assets/*.fx)
install(FILES ${_velor_effects} DESTINATION ${VELOR_DATA_DESTINATION})
install(DIRECTORY ${VELOR_RUN_DIR}/textures DESTINATION ${VELOR_DATA_DESTINATION}
        FILES_MATCHING REGEX "/[^/]+\\.(png|PNG|jpg|tga|dds)$")

install(FILES ${PROJECT_SOURCE_DIR}/packaging/velor.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${VELOR_ICON} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)

# Manual pages: the options as --help words them (tests/packaging keeps the two in step), the
# version filled in, compressed as man expects them installed.
set(VELOR_MAN_PAGES velor.6 velor-capture.1)
set(_velor_man_files)
foreach(_page ${VELOR_MAN_PAGES})
  configure_file(${PROJECT_SOURCE_DIR}/packaging/${_page}.in ${CMAKE_BINARY_DIR}/packaging/${_page} @ONLY)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/packaging/${_page}.gz
    COMMAND gzip -9 -n -f -k ${CMAKE_BINARY_DIR}/packaging/${_page}
    DEPENDS ${CMAKE_BINARY_DIR}/packaging/${_page}
    VERBATIM)
  list(APPEND _velor_man_files ${CMAKE_BINARY_DIR}/packaging/${_page}.gz)
  string(REGEX REPLACE ".*\\." "" _section ${_page})
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${_page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man${_section})
endforeach()
add_custom_target(velor-man-pages ALL DEPENDS ${_velor_man_files})

install(FILES ${PROJECT_SOURCE_DIR}/README.md DESTINATION ${CMAKE_INSTALL_DOCDIR})
# The licence goes with the documentation when the tree carries one.
foreach(_licence LICENSE LICENSE.md LICENSE.txt COPYING)
  if(EXISTS ${PROJECT_SOURCE_DIR}/${_licence})
    install(FILES ${PROJECT_SOURCE_DIR}/${_licence} DESTINATION ${CMAKE_INSTALL_DOCDIR})
    set(VELOR_LICENCE_FILE ${PROJECT_SOURCE_DIR}/${_licence})
    break()
  endif()
endforeach()
