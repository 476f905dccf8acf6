# bench_editor: loading a 100 MB text against reading it and counting its line ends; an edit in
# the middle of 2,000,000 rows against one in 1,000 rows; the row store's memory per row.
kestrim_bench(bench_editor SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_row_store.cpp DEPENDS editor syntax classlib)
# bench_search: the search engine over a 100 MB text against memmem.
kestrim_bench(bench_search SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_search.cpp DEPENDS editor)
