# tamsel_module(<target> DEPS <libs...>)
# One static library per folder, built from the folder's *.cpp; its tests live
# in <folder>/tests/*.cpp and become <target>_tests, registered with CTest.
#
# A file whose name ends in _windows (Windows), _posix (every other system)
# or _linux (Linux) before ".cpp" or "_test.cpp" is built only on that
# platform; this is how each operating-system seam gets its implementation.

# Drops from the list named by var the files meant for other platforms.
function(tamsel_keep_platform_files var)
  set(kept)
  foreach(file IN LISTS ${var})
    get_filename_component(name ${file} NAME_WE)
    string(REGEX REPLACE "_test$" "" name ${name})
    if(name MATCHES "_windows$")
      set(wanted ${WIN32})
    elseif(name MATCHES "_posix$")
      set(wanted ${UNIX})
    elseif(name MATCHES "_linux$")
      string(COMPARE EQUAL "${CMAKE_SYSTEM_NAME}" Linux wanted)
    else()
      set(wanted TRUE)
    endif()
    if(wanted)
      list(APPEND kept ${file})
    endif()
  endforeach()
  set(${var} ${kept} PARENT_SCOPE)
endfunction()

function(tamsel_module target)
  cmake_parse_arguments(ARG "" "" "DEPS;TEST_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  tamsel_keep_platform_files(sources)
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(${target} PUBLIC ${ARG_DEPS})
  if(TAMSEL_BUILD_TESTS)
    file(GLOB test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/tests/*.cpp)
    tamsel_keep_platform_files(test_sources)
    if(test_sources)
      add_executable(${target}_tests ${test_sources})
      target_link_libraries(${target}_tests PRIVATE ${target} ${ARG_TEST_DEPS}
                            tamsel_test_support GTest::gtest_main)
      gtest_discover_tests(${target}_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 600)
    endif()
  endif()
endfunction()
