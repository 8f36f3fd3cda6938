# Export of a side as a picture.
brisella_add_bench(NAME bench_export SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_export.cpp
                   LIBS brisella_render)
