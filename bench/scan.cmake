# Scanner: a full scan from SANE's test backend and the event loop's longest pause meanwhile.
brisella_add_bench(NAME bench_scan SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_scan.cpp
                   LIBS brisella_scan)
target_include_directories(bench_scan PRIVATE ${CMAKE_SOURCE_DIR}/tests)
