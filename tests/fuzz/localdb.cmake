# Fuzz targets of the embedded engine.

# The built-in functions: number and date format models, TO_NUMBER, TO_DATE and the character
# functions on random models, values and positions.
kestrim_fuzz(fuzz_localdb_functions SOURCES ${CMAKE_CURRENT_LIST_DIR}/localdb_functions.cpp DEPENDS localdb)

# The SQL front end and a session: random statement text, parsed and then run on a scratch
# database.
kestrim_fuzz(fuzz_localdb_sql SOURCES ${CMAKE_CURRENT_LIST_DIR}/localdb_sql.cpp DEPENDS localdb)

# The PL/SQL compiler and runtime: random unit and block texts, compiled and, when they may not
# loop for ever, run on a scratch database.
kestrim_fuzz(fuzz_localdb_plsql SOURCES ${CMAKE_CURRENT_LIST_DIR}/localdb_plsql.cpp DEPENDS localdb)
