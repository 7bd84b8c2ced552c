# Survey readers: text-summary lines per second, and the AP table filled from them.
aero_benchmark(bench_import_reader SOURCES ${CMAKE_CURRENT_LIST_DIR}/import_reader.cpp LIBS aero_domain)
