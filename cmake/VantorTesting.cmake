# vantor_add_gtest(<name> SOURCES ... LIBS ... [LABELS ...] [TIMEOUT s])
# One executable; every test case is its own ctest entry and so its own process
# (the library keeps port objects for the life of a process).
function(vantor_add_gtest name)
  cmake_parse_arguments(ARG "" "TIMEOUT" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gmock GTest::gtest_main Threads::Threads)
  # gtest_discover_tests passes one value per property, so several labels
  # become one joined label; ctest -L matches it as a regular expression.
  string(REPLACE ";" "-" labels "${ARG_LABELS}")
  # A hang guard, not a speed limit: ten times what the slowest test needs
  # on a quiet machine, above the tests' own watchdogs.
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${labels}")
endfunction()

# vantor_add_fuzz(<name> SOURCES ... LIBS ...)
# With VANTOR_FUZZ a libFuzzer binary; otherwise a seeded random test run by
# ctest that feeds the same entry point.
function(vantor_add_fuzz name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  if(VANTOR_FUZZ)
    add_executable(fuzz_${name} ${ARG_SOURCES})
    target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(fuzz_${name} PRIVATE ${ARG_LIBS})
    add_dependencies(fuzzers fuzz_${name})
  else()
    add_executable(random_${name} ${ARG_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz/random_driver.cpp)
    target_link_libraries(random_${name} PRIVATE ${ARG_LIBS})
    add_test(NAME random.${name} COMMAND random_${name} --seed 20261208 --runs 20000)
    # 20000 runs take up to half a minute on a quiet machine in a sanitizer build.
    set_tests_properties(random.${name} PROPERTIES TIMEOUT 1200 LABELS fuzz)
  endif()
endfunction()

if(VANTOR_FUZZ AND NOT TARGET fuzzers)
  add_custom_target(fuzzers)
endif()
