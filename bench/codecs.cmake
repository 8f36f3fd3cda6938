brisella_add_bench(NAME bench_codecs SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_codecs.cpp LIBS brisella_pictures)
