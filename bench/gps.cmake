# NMEA assembly + decoding throughput of the GPS control's core.
aero_benchmark(bench_gps_decode SOURCES ${CMAKE_CURRENT_LIST_DIR}/gps_decode.cpp LIBS gps)
