# Fuzz target of the editor's text model: a random text and random edits, undone again.
kestrim_fuzz(fuzz_editor_edits SOURCES ${CMAKE_CURRENT_LIST_DIR}/editor_edits.cpp DEPENDS editor)
# Fuzz target of the search engine: random texts, patterns, selections and options.
kestrim_fuzz(fuzz_find_text SOURCES ${CMAKE_CURRENT_LIST_DIR}/find_text.cpp DEPENDS editor)
