# Fuzz targets for what the settings files are made of: the ini reader and code page 932 text.
kestrim_fuzz(fuzz_ini_file SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_ini_file.cpp DEPENDS classlib)
kestrim_fuzz(fuzz_cp932 SOURCES ${CMAKE_CURRENT_LIST_DIR}/fuzz_cp932.cpp DEPENDS classlib)
