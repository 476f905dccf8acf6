# bench_kestrim_sql: kestrim-sql printing a million rows as CSV against the sqlite3 program
# printing the same stored rows.
kestrim_bench(bench_kestrim_sql SOURCES ${CMAKE_CURRENT_LIST_DIR}/kestrim_sql_csv_bench.cpp DEPENDS bench_database)
add_dependencies(bench_kestrim_sql kestrim-sql)
target_compile_definitions(bench_kestrim_sql PRIVATE KESTRIM_SQL_PROGRAM="$<TARGET_FILE:kestrim-sql>")
