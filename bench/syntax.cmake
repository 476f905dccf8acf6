# Benchmark of the syntax parser: colouring a large SQL text against a plain line-end scan.
kestrim_bench(bench_syntax SOURCES ${CMAKE_CURRENT_LIST_DIR}/syntax_tokenise.cpp DEPENDS syntax)
