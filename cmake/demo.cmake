# The demonstration's helper tool (scripts/run.sh).
if(WIN32)
  add_executable(velloq_demo_tool tools/demo_tool_win.cpp)
  target_link_libraries(velloq_demo_tool PRIVATE velloq_sync velloq_settings ${STATIC_FLAGS} -municode)
endif()
