brisella_add_bench(NAME bench_render SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_render.cpp
                   LIBS brisella_render)
