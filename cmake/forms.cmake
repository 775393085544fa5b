# Settings and account forms, and the About window.
set(FORMS_SOURCES src/settings/account.cpp src/settings/forms.cpp src/shell/about_text.cpp)

if(WIN32)
  add_library(velloq_forms STATIC ${FORMS_SOURCES})
  target_link_libraries(velloq_forms PUBLIC velloq_ui velloq_settings velloq_util)

  # The About window shows the OpenSSL version built against and in use.
  add_library(velloq_forms_openssl INTERFACE)
  target_include_directories(velloq_forms_openssl INTERFACE ${OPENSSL_MINGW_ROOT}/include)
  target_link_libraries(velloq_forms_openssl INTERFACE ${OPENSSL_MINGW_ROOT}/lib/libcrypto.a ws2_32 crypt32)

  set(FORMS_WIN_SOURCES src/settings/forms_win.cpp src/shell/about_win.cpp)
  target_sources(DynDNSVelloqClient PRIVATE ${FORMS_WIN_SOURCES})
  target_link_libraries(DynDNSVelloqClient PRIVATE velloq_forms velloq_forms_openssl comctl32 psapi)

  # The forms and About window under Wine, linked with the program's own
  # code (its resources give the icon and the common-controls manifest).
  get_target_property(FORMS_PROGRAM_SOURCES DynDNSVelloqClient SOURCES)
  velloq_win_test(win_forms_tests tests/win/test_about_win.cpp ${FORMS_PROGRAM_SOURCES})
  get_target_property(FORMS_PROGRAM_LIBRARIES DynDNSVelloqClient LINK_LIBRARIES)
  list(REMOVE_ITEM FORMS_PROGRAM_LIBRARIES -municode)
  target_link_libraries(win_forms_tests PRIVATE ${FORMS_PROGRAM_LIBRARIES})

  # End-to-end: the real program under Wine, driven from outside, against
  # stand-in servers of our own on loopback.
  add_executable(e2e_forms_driver tests/e2e/forms_e2e_win.cpp tests/e2e/client_win.cpp)
  target_link_libraries(e2e_forms_driver PRIVATE velloq_forms velloq_sync velloq_forms_openssl gtest gtest_main
    ${STATIC_FLAGS})
  add_dependencies(e2e_forms_driver DynDNSVelloqClient)
  add_test(NAME e2e_forms COMMAND ${CMAKE_SOURCE_DIR}/tests/support/with_standins.sh
    ${CMAKE_SOURCE_DIR}/tests/e2e/forms_standins.list --
    ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh --prefix ${WINE_PREFIX_DIR} $<TARGET_FILE:e2e_forms_driver>)
  set_tests_properties(e2e_forms PROPERTIES RESOURCE_LOCK "wineprefix;standins" TIMEOUT 600)
else()
  add_library(velloq_forms STATIC ${FORMS_SOURCES})
  target_link_libraries(velloq_forms PUBLIC velloq_ui velloq_settings velloq_util)

  add_executable(forms_tests tests/unit/test_forms.cpp tests/unit/test_about_text.cpp
    tests/support/fake_resolver.cpp ${RECORDING_WINDOW})
  target_link_libraries(forms_tests PRIVATE velloq_forms velloq_test_support GTest::gtest_main)
  add_test(NAME forms_tests COMMAND forms_tests)
endif()
