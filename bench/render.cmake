brisella_add_bench(NAME bench_render SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_render.cpp
                   LIBS brisella_render)
target_include_directories(bench_render PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_CURRENT_LIST_DIR})
