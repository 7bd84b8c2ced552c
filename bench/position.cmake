# Position methods: re-estimating a full table from its kept sightings (Google Benchmark), and
# the study of their accuracy on the simulated drives of examples/make-drive.py (a plain main).
aero_benchmark(bench_position SOURCES ${CMAKE_CURRENT_LIST_DIR}/position_estimate.cpp LIBS aero_domain)
add_executable(position_study ${CMAKE_CURRENT_LIST_DIR}/position_study.cpp)
aero_target_defaults(position_study)
target_link_libraries(position_study PRIVATE aero_domain)
