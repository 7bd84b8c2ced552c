# The survey archive side by side with the tools that set its limits: GeoPackage imports against
# ogr2ogr writing the same rows, PostGIS imports against a plain COPY, the street-view query.
# A main of its own: it starts a private PostgreSQL cluster and runs ogr2ogr as processes.
if(TARGET aero_archive)
  add_executable(bench_archive ${CMAKE_CURRENT_LIST_DIR}/archive_bench.cpp)
  aero_target_defaults(bench_archive)
  target_link_libraries(bench_archive PRIVATE aero_archive)
  target_compile_definitions(bench_archive PRIVATE
    AERO_PG_SCRIPT="${CMAKE_SOURCE_DIR}/app/archive/tests/pg-cluster.sh")
endif()
