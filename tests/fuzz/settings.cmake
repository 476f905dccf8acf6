# Fuzz targets of the ini reader (the settings files are read through it).
kestrim_fuzz(fuzz_ini_file SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_ini_file.cpp DEPENDS classlib)
