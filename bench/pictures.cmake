brisella_add_bench(NAME bench_rotate SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_rotate.cpp
    LIBS brisella_pictures)
