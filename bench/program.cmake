# The headless program end to end: import of a 100000-line summary, filtering, live position.
if(TARGET aero_program)
  aero_benchmark(bench_program SOURCES ${CMAKE_CURRENT_LIST_DIR}/program_bench.cpp ${CMAKE_CURRENT_LIST_DIR}/GuiBenchMain.cpp LIBS aero_program)
endif()
