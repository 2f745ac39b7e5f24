# brisvale_test(<name> SOURCES ... LIBS ... [WIDGETS])
# One GoogleTest executable registered with CTest. Widget tests get a
# QApplication on Qt's offscreen platform; every test process gets its own
# temporary XDG_CONFIG_HOME and Windows directory from the shared test main.
function(brisvale_test name)
  cmake_parse_arguments(T "WIDGETS" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  if(T_WIDGETS)
    target_link_libraries(${name} PRIVATE brisvale_test_widget_main)
  else()
    target_link_libraries(${name} PRIVATE brisvale_test_core_main)
  endif()
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;BRISVALE_TEST_DATA=${CMAKE_SOURCE_DIR}/tests/data"
    TIMEOUT 600)
endfunction()
