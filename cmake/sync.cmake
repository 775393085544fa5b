# The sync engine: gate, check-IP query, update request over TCP and TLS,
# reply words. Portable; its exchange tests run against our stand-in
# servers natively and under Wine.
set(SYNC_SOURCES
  src/sync/exchange.cpp src/sync/checkip.cpp src/sync/update.cpp src/net/tls.cpp)
set(STANDINS ${CMAKE_SOURCE_DIR}/tests/support/with_standins.sh ${CMAKE_SOURCE_DIR}/tests/sync/standins.list --)

if(WIN32)
  add_library(velloq_sync STATIC ${SYNC_SOURCES} src/util/clock_win.cpp)
  target_include_directories(velloq_sync PUBLIC ${OPENSSL_MINGW_ROOT}/include)
  target_link_libraries(velloq_sync PUBLIC velloq_ui velloq_settings velloq_net velloq_util
    ${OPENSSL_MINGW_ROOT}/lib/libssl.a ${OPENSSL_MINGW_ROOT}/lib/libcrypto.a ws2_32 crypt32 user32 advapi32)
  target_link_libraries(DynDNSVelloqClient PRIVATE velloq_sync)

  add_executable(win_sync_worker_tests tests/sync/test_workers.cpp tests/support/recording_window_win.cpp
    tests/support/recording_log.cpp)
  target_link_libraries(win_sync_worker_tests PRIVATE velloq_sync gtest gtest_main ${STATIC_FLAGS})
  add_test(NAME win_sync_worker_tests COMMAND ${STANDINS}
    ${CMAKE_SOURCE_DIR}/scripts/wine-run.sh --prefix ${WINE_PREFIX_DIR} $<TARGET_FILE:win_sync_worker_tests>)
  set_tests_properties(win_sync_worker_tests PROPERTIES RESOURCE_LOCK "wineprefix;standins" TIMEOUT 300)
else()
  find_package(OpenSSL REQUIRED)
  add_library(velloq_sync STATIC ${SYNC_SOURCES})
  target_link_libraries(velloq_sync PUBLIC velloq_ui velloq_settings velloq_net velloq_util OpenSSL::SSL OpenSSL::Crypto)

  add_executable(sync_unit_tests tests/sync/test_exchange.cpp tests/sync/test_begin_sync.cpp
    tests/support/fake_clock.cpp tests/support/fake_resolver.cpp ${RECORDING_WINDOW})
  target_link_libraries(sync_unit_tests PRIVATE velloq_sync velloq_test_support GTest::gtest_main)
  add_test(NAME sync_unit_tests COMMAND sync_unit_tests)

  add_executable(sync_worker_tests tests/sync/test_workers.cpp src/net/resolve.cpp
    src/util/clock_posix.cpp src/util/worker_posix.cpp ${RECORDING_WINDOW})
  target_link_libraries(sync_worker_tests PRIVATE velloq_sync velloq_test_support GTest::gtest_main)
  add_test(NAME sync_worker_tests COMMAND ${STANDINS} $<TARGET_FILE:sync_worker_tests>)
  set_tests_properties(sync_worker_tests PROPERTIES RESOURCE_LOCK standins TIMEOUT 300)
endif()

# The sync benchmark (scripts/bench.sh builds it without sanitizers).
if(NOT WIN32)
  add_executable(sync_bench EXCLUDE_FROM_ALL tests/bench/sync_bench.cpp src/net/resolve.cpp
    src/util/clock_posix.cpp src/util/worker_posix.cpp ${RECORDING_WINDOW})
  target_link_libraries(sync_bench PRIVATE velloq_sync velloq_test_support)
endif()
