# The Windows program's window: entry, main window, cycle, tray, notices,
# resources; natively the portable parts with their unit tests.
set(WINDOW_CORE_SOURCES
  src/app/control_state.cpp src/app/cycle.cpp src/net/notice.cpp src/shell/tray.cpp)

if(WIN32)
  enable_language(RC)
  target_sources(DynDNSVelloqClient PRIVATE ${WINDOW_CORE_SOURCES}
    src/app/window_proc_win.cpp src/app/window_ops_win.cpp src/shell/tray_win.cpp
    src/util/process_win.cpp resources/velloq.rc)
  set_property(SOURCE resources/velloq.rc APPEND PROPERTY INCLUDE_DIRECTORIES ${CMAKE_SOURCE_DIR}/resources)
  set_property(SOURCE resources/velloq.rc APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_SOURCE_DIR}/resources/idle.ico ${CMAKE_SOURCE_DIR}/resources/running.ico
    ${CMAKE_SOURCE_DIR}/resources/velloq.manifest ${CMAKE_SOURCE_DIR}/src/app/resource_ids.h)
  target_link_libraries(DynDNSVelloqClient PRIVATE comctl32 psapi shell32 user32 gdi32)
else()
  add_executable(window_unit_tests
    tests/unit/test_tray.cpp tests/unit/test_control_state.cpp tests/unit/test_notice.cpp
    tests/unit/test_cycle.cpp tests/unit/shell_recorder.cpp tests/unit/fake_sync.cpp
    ${WINDOW_CORE_SOURCES} tests/support/fake_resolver.cpp ${RECORDING_WINDOW})
  target_include_directories(window_unit_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
  target_link_libraries(window_unit_tests PRIVATE velloq_ui velloq_settings velloq_test_support GTest::gtest_main)
  add_test(NAME window_unit_tests COMMAND window_unit_tests)
endif()

if(WIN32)
  # End-to-end: our driver starts the client under Wine against stand-ins.
  add_executable(e2e_window_driver tests/e2e/driver_win.cpp tests/e2e/client_win.cpp)
  target_link_libraries(e2e_window_driver PRIVATE velloq_settings gtest gtest_main comctl32 gdi32 ${STATIC_FLAGS})
  add_dependencies(e2e_window_driver DynDNSVelloqClient)
  add_test(NAME e2e_window COMMAND ${CMAKE_SOURCE_DIR}/tests/e2e/run_e2e.sh
    $<TARGET_FILE:e2e_window_driver> ${WINE_PREFIX_DIR} ${CMAKE_BINARY_DIR}/screenshots)
  set_tests_properties(e2e_window PROPERTIES RESOURCE_LOCK "wineprefix;standins" TIMEOUT 600)
endif()

if(WIN32)
  velloq_win_test(win_window_tests tests/win/test_process_win.cpp tests/win/test_resources_win.cpp
    src/util/process_win.cpp)
  target_link_libraries(win_window_tests PRIVATE velloq_ui psapi version)
  add_dependencies(win_window_tests DynDNSVelloqClient)
endif()
