# Helper functions, one per kind of target, so every folder is built alike.

set(SEATWATCH_WARNINGS -Wall -Wextra -Wpedantic)
if(SEATWATCH_WERROR)
  list(APPEND SEATWATCH_WARNINGS -Werror)
endif()
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # GCC 12 reports impossible overlaps inside std::string's own inlined
  # copies at -O3 (GCC bug 105329); the warning says nothing about our code.
  list(APPEND SEATWATCH_WARNINGS -Wno-restrict)
endif()

# All static libraries made so far, for tools, benchmarks and fuzzers that
# link "everything".
set_property(GLOBAL PROPERTY SEATWATCH_LIBRARIES "")

# seatwatch_library(NAME DIR [DEPS lib...] [SYSTEM_DEPS lib...])
# Builds every .cpp of DIR (not below it) into the static library
# seatwatch_NAME. Headers are included as "DIR/file.h" from the source root.
function(seatwatch_library name)
  cmake_parse_arguments(ARG "" "" "DEPS;SYSTEM_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    # A folder whose first sources are still being written: an empty library
    # keeps the rest of the tree configurable.
    set(sources ${PROJECT_BINARY_DIR}/empty.cpp)
    file(WRITE ${sources} "")
  endif()
  add_library(seatwatch_${name} STATIC ${sources})
  target_include_directories(seatwatch_${name} PUBLIC ${PROJECT_SOURCE_DIR})
  target_compile_options(seatwatch_${name} PRIVATE ${SEATWATCH_WARNINGS})
  foreach(dep ${ARG_DEPS})
    target_link_libraries(seatwatch_${name} PUBLIC seatwatch_${dep})
  endforeach()
  if(ARG_SYSTEM_DEPS)
    target_link_libraries(seatwatch_${name} PUBLIC ${ARG_SYSTEM_DEPS})
  endif()
  set_property(GLOBAL APPEND PROPERTY SEATWATCH_LIBRARIES seatwatch_${name})
endfunction()

# seatwatch_executable(NAME SOURCES... [DEPS lib...])
function(seatwatch_executable name)
  cmake_parse_arguments(ARG "" "" "SOURCES;DEPS;SYSTEM_DEPS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_compile_options(${name} PRIVATE ${SEATWATCH_WARNINGS})
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  foreach(dep ${ARG_DEPS})
    target_link_libraries(${name} PRIVATE seatwatch_${dep})
  endforeach()
  if(ARG_SYSTEM_DEPS)
    target_link_libraries(${name} PRIVATE ${ARG_SYSTEM_DEPS})
  endif()
endfunction()

# seatwatch_tests(FOLDER [DEPS lib...])
# Builds every .cpp of tests/FOLDER into seatwatch_FOLDER_tests and registers
# each test case with CTest. Tests find the source tree and the corpus through
# SEATWATCH_SOURCE_DIR.
function(seatwatch_tests folder)
  cmake_parse_arguments(ARG "" "" "DEPS;SYSTEM_DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  set(target seatwatch_${folder}_tests)
  add_executable(${target} ${sources})
  target_compile_options(${target} PRIVATE ${SEATWATCH_WARNINGS})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
  target_compile_definitions(${target} PRIVATE
    SEATWATCH_SOURCE_DIR="${PROJECT_SOURCE_DIR}"
    SEATWATCH_BINARY_DIR="${PROJECT_BINARY_DIR}")
  foreach(dep ${ARG_DEPS})
    target_link_libraries(${target} PRIVATE seatwatch_${dep})
  endforeach()
  target_link_libraries(${target} PRIVATE ${ARG_SYSTEM_DEPS} GTest::gmock GTest::gtest_main)
  gtest_discover_tests(${target} DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "TZ=UTC")
  add_dependencies(seatwatch_tests ${target})
endfunction()
