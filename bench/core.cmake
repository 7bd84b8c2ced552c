# The AP table: SSID de-duplication and MAC lookups at full size.
aero_benchmark(bench_core_aplist SOURCES ${CMAKE_CURRENT_LIST_DIR}/core_aplist.cpp LIBS aero_domain)
