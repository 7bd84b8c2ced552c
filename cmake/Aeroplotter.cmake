# Shared build rules: warnings, Qt hygiene, test registration.

function(aero_target_defaults target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  if(AEROPLOTTER_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
  target_compile_definitions(${target} PRIVATE
    QT_NO_CONTEXTLESS_CONNECT
    QT_DISABLE_DEPRECATED_BEFORE=0x060000
    QT_NO_KEYWORDS)
endfunction()

# aero_library(name SOURCES ... LIBS ...)
function(aero_library name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} STATIC ${A_SOURCES})
  aero_target_defaults(${name})
  target_link_libraries(${name} PUBLIC ${A_LIBS})
endfunction()

# aero_test(name SOURCES ... LIBS ... [GUI])
# One gtest executable per library; GUI tests get a QApplication on the offscreen platform.
# Executables land in build/bin, tests included.
function(aero_test name)
  cmake_parse_arguments(T "GUI" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  aero_target_defaults(${name})
  if(T_GUI)
    target_link_libraries(${name} PRIVATE ${T_LIBS} aero_testing_gui)
  else()
    target_link_libraries(${name} PRIVATE ${T_LIBS} aero_testing_core)
  endif()
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
  # Tests find the built tools beside themselves and the sources through AEROPLOTTER_SOURCE_DIR.
endfunction()

# aero_fuzzer(name SOURCES ... LIBS ... SEEDS dir|file ... [DICT file]): a libFuzzer entry point,
# built only with AEROPLOTTER_FUZZ (clang). fuzz-targets.txt of the build tree lists each as
# "name dictionary-or-minus seeds...", which scripts/fuzz.sh runs.
function(aero_fuzzer name)
  cmake_parse_arguments(F "" "DICT" "SOURCES;LIBS;SEEDS" ${ARGN})
  if(NOT AEROPLOTTER_FUZZ)
    return()
  endif()
  add_executable(${name} ${F_SOURCES})
  aero_target_defaults(${name})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  list(TRANSFORM F_SEEDS PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/)
  string(JOIN " " seeds ${F_SEEDS})
  set(dict -)
  if(F_DICT)
    set(dict ${CMAKE_CURRENT_SOURCE_DIR}/${F_DICT})
  endif()
  file(APPEND ${CMAKE_BINARY_DIR}/fuzz-targets.txt "${name} ${dict} ${seeds}\n")
endfunction()

# aero_benchmark(name SOURCES ... LIBS ...)
function(aero_benchmark name)
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${B_SOURCES})
  aero_target_defaults(${name})
  target_link_libraries(${name} PRIVATE ${B_LIBS} benchmark::benchmark)
endfunction()
