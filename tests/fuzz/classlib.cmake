# Fuzz targets of the class library: the component stream readers.
kestrim_fuzz(fuzz_classlib_stream
  SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/classlib_stream.cpp
          ${CMAKE_SOURCE_DIR}/tests/classlib/sample_objects.h
  DEPENDS classlib)
