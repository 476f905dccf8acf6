# The embedded engine against plain SQLite on the same file.
kestrim_bench(bench_localdb SOURCES ${CMAKE_CURRENT_LIST_DIR}/localdb_bench.cpp DEPENDS localdb SQLite::SQLite3)
