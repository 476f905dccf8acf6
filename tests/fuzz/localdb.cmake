# Fuzz targets of the embedded engine.

# The built-in functions: number and date format models, TO_NUMBER, TO_DATE and the character
# functions on random models, values and positions.
kestrim_fuzz(fuzz_localdb_functions SOURCES ${CMAKE_CURRENT_LIST_DIR}/localdb_functions.cpp DEPENDS localdb)
