brisella_add_bench(NAME bench_print SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_print.cpp
    LIBS brisella_print)
