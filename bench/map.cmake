# Map engine benchmarks: rendering 100000 markers, indexes and map files.
foreach(bench map_render map_data map_osm map_osm_index)
  aero_benchmark(bench_${bench} SOURCES ${CMAKE_CURRENT_LIST_DIR}/${bench}.cpp ${CMAKE_CURRENT_LIST_DIR}/map_bench_support.h
                 LIBS aero_map)
  target_compile_definitions(bench_${bench} PRIVATE AERO_MAP_DATA_DIR="${CMAKE_SOURCE_DIR}/app/map/data"
                             AERO_EXAMPLES_DIR="${CMAKE_SOURCE_DIR}/examples")
  target_include_directories(bench_${bench} PRIVATE ${CMAKE_SOURCE_DIR}/app)
endforeach()
