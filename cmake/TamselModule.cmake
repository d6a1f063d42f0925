# tamsel_module(<target> DEPS <libs...>)
# One static library per folder, built from the folder's *.cpp; its tests live
# in <folder>/tests/*.cpp and become <target>_tests, registered with CTest.
function(tamsel_module target)
  cmake_parse_arguments(ARG "" "" "DEPS;TEST_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  if(TAMSEL_BUILD_TESTS)
    file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
    if(test_sources)
      add_executable(${target}_tests ${test_sources})
      target_link_libraries(${target}_tests PRIVATE ${target} ${ARG_TEST_DEPS}
                            tamsel_test_support GTest::gtest_main)
      gtest_discover_tests(${target}_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
    endif()
  endif()
endfunction()
