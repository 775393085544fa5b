# The Windows installer (NSIS, built on Linux) and its round trip under Wine.
if(WIN32)
  find_program(MAKENSIS makensis REQUIRED)
  set(SETUP_EXE ${CMAKE_BINARY_DIR}/DynDNSVelloqClient-${PROJECT_VERSION}-setup.exe)
  add_custom_command(OUTPUT ${SETUP_EXE}
    COMMAND ${MAKENSIS} -V2 -DEXE=$<TARGET_FILE:DynDNSVelloqClient> -DOUTFILE=${SETUP_EXE}
            ${CMAKE_SOURCE_DIR}/installer/velloq.nsi
    DEPENDS DynDNSVelloqClient ${CMAKE_SOURCE_DIR}/installer/velloq.nsi
    COMMENT "Building the installer")
  add_custom_target(installer ALL DEPENDS ${SETUP_EXE})

  add_test(NAME win_installer_round_trip
    COMMAND ${CMAKE_SOURCE_DIR}/tests/installer/test_installer.sh ${WINE_PREFIX_DIR} ${SETUP_EXE})
  set_tests_properties(win_installer_round_trip PROPERTIES RESOURCE_LOCK wineprefix TIMEOUT 300)
endif()
