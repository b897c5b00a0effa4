# Shared helpers for the subsystem folders.

# The stock archive as the build makes it, outside the program folder (the build
# puts a copy into the program folder only while its stock folder is missing).
set(ZEBLON_STOCK_ARCHIVE "${CMAKE_BINARY_DIR}/assets/STOCK.ZIP")

# zeblon_test(NAME [QT_MAIN] SOURCES a.cpp b.cpp LIBS lib1 lib2)
# A GoogleTest executable; its cases are registered one by one in CTest and run offscreen.
# QT_MAIN: the test's main() creates a QApplication first (widgets, events).
function(zeblon_test name)
  cmake_parse_arguments(ZT "QT_MAIN" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ZT_SOURCES})
  if(ZT_QT_MAIN)
    target_link_libraries(${name} PRIVATE ${ZT_LIBS} zeblon_qt_test_main GTest::gtest GTest::gmock)
  else()
    target_link_libraries(${name} PRIVATE ${ZT_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
  endif()
  target_compile_definitions(${name} PRIVATE
    ZEBLON_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    ZEBLON_BINARY_DIR="${CMAKE_BINARY_DIR}"
    ZEBLON_PROGRAM_DIR="${ZEBLON_PROGRAM_DIR}"
    ZEBLON_STOCK_ARCHIVE="${ZEBLON_STOCK_ARCHIVE}")
  if(NOT ZT_TIMEOUT)
    set(ZT_TIMEOUT 300)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8" TIMEOUT ${ZT_TIMEOUT})
endfunction()

# zeblon_bench(NAME SOURCES a.cpp LIBS lib1)
function(zeblon_bench name)
  cmake_parse_arguments(ZB "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ZB_SOURCES})
  target_link_libraries(${name} PRIVATE ${ZB_LIBS} benchmark::benchmark)
  target_compile_definitions(${name} PRIVATE
    ZEBLON_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
    ZEBLON_BINARY_DIR="${CMAKE_BINARY_DIR}"
    ZEBLON_PROGRAM_DIR="${ZEBLON_PROGRAM_DIR}"
    ZEBLON_STOCK_ARCHIVE="${ZEBLON_STOCK_ARCHIVE}")
endfunction()

# zeblon_fuzz(NAME SOURCES a.cpp LIBS lib1)
# A libFuzzer target (clang, built with ZEBLON_FUZZ=ON by scripts/fuzz.sh, which
# also adds the sanitizers to every target of that build).
function(zeblon_fuzz name)
  cmake_parse_arguments(ZF "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ZF_SOURCES})
  target_link_libraries(${name} PRIVATE ${ZF_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES AUTOMOC OFF)
endfunction()
