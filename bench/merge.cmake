# Address lists: how soon the first rows of a 100,000-row CSV list are in, and the whole read.
brisella_add_bench(NAME bench_merge SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_merge.cpp
                   LIBS brisella_merge)
