# bench_app: filling the string grid from a query against reading the same rows into plain vectors.
kestrim_bench(bench_app SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/app_grid_fill.cpp DEPENDS app db classlib classlib_widgets Qt6::Widgets bench_database)
