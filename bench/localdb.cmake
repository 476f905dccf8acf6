# The embedded engine against plain SQLite on the same file.
kestrim_bench(bench_localdb SOURCES ${CMAKE_CURRENT_LIST_DIR}/localdb_bench.cpp DEPENDS bench_database)
# Regular expression matching against LIKE on the same rows.
kestrim_bench(bench_localdb_regex SOURCES ${CMAKE_CURRENT_LIST_DIR}/localdb_regex_bench.cpp DEPENDS bench_database)
# Analytic functions and LISTAGG against SQLite's window functions and group_concat.
kestrim_bench(bench_localdb_analytic SOURCES ${CMAKE_CURRENT_LIST_DIR}/localdb_analytic_bench.cpp DEPENDS bench_database)
# PL/SQL loops, inserts and stored functions in queries against their baselines.
kestrim_bench(bench_plsql SOURCES ${CMAKE_CURRENT_LIST_DIR}/plsql_bench.cpp DEPENDS localdb)
