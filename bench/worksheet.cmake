# bench_worksheet: a million-row query through the worksheet's fetch and CSV export against the
# sqlite3 command-line program printing the same rows.
kestrim_bench(bench_worksheet SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/worksheet_fetch.cpp
  ${KESTRIM_VERSION_BLOCK_SOURCE} DEPENDS app localdb Qt6::Widgets)
