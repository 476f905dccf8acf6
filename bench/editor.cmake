# bench_editor: loading a 100 MB text against reading it and counting its line ends; an edit in
# the middle of 2,000,000 rows against one in 1,000 rows; the row store's memory per row.
kestrim_bench(bench_editor SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_row_store.cpp DEPENDS editor syntax classlib bench_text)
# bench_search: the search engine over a 100 MB text against memmem.
kestrim_bench(bench_search SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_search.cpp DEPENDS editor)
# bench_editor_view: painting one screen far down a 2,000,000-row text against at its top; typing
# there with the repaint against typing in 1,000 rows; loading 100 MB into a shown editor and
# painting it against reading the file and counting its line ends.
kestrim_bench(bench_editor_view SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_view.cpp DEPENDS editor Qt6::Widgets bench_text)
