# Card file benchmarks: save and open of full cards.
brisella_add_bench(NAME bench_cardfile SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_cardfile.cpp
                   LIBS brisella_render)
