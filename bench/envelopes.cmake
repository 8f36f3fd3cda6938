# Envelopes: 1000 envelopes from a list, laid out and written as one PDF.
brisella_add_bench(NAME bench_envelopes SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_envelopes.cpp
                   LIBS brisella_print)
