# The nearby-AP panel of live GPS: its work per fix over a full AP table.
aero_benchmark(bench_live_nearby SOURCES ${CMAKE_CURRENT_LIST_DIR}/live_nearby.cpp LIBS aero_domain)
