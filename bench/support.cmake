# What the benchmarks share: best-of-rounds timing, a scratch database of the engine, and the
# SQL-like text the editor benchmarks load.
add_library(bench_text STATIC ${CMAKE_CURRENT_LIST_DIR}/support/sql_text.h ${CMAKE_CURRENT_LIST_DIR}/support/sql_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/support/bench_timing.h)
target_link_libraries(bench_text PUBLIC Qt6::Core)
target_include_directories(bench_text PUBLIC ${CMAKE_SOURCE_DIR})
kestrim_warnings(bench_text)
add_library(bench_database STATIC ${CMAKE_CURRENT_LIST_DIR}/support/scratch_database.h
  ${CMAKE_CURRENT_LIST_DIR}/support/scratch_database.cpp ${CMAKE_CURRENT_LIST_DIR}/support/bench_timing.h)
target_link_libraries(bench_database PUBLIC localdb SQLite::SQLite3)
target_include_directories(bench_database PUBLIC ${CMAKE_SOURCE_DIR})
kestrim_warnings(bench_database)
