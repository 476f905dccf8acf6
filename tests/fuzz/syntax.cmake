# Fuzz target of the syntax parser: random rows, states and settings.
kestrim_fuzz(fuzz_syntax_parser SOURCES ${CMAKE_CURRENT_LIST_DIR}/syntax_parser.cpp DEPENDS syntax)
