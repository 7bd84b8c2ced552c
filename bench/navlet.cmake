# Track log download from the receiver simulator over a pseudo-terminal.
aero_benchmark(bench_navlet_download SOURCES ${CMAKE_CURRENT_LIST_DIR}/navlet_download.cpp LIBS navlet)
add_dependencies(bench_navlet_download navlet-sim)
