# Editor views: repaint of both views through their paint handlers on an offscreen window.
brisella_add_bench(NAME bench_views SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_views.cpp
    LIBS brisella_app WIDGETS)
