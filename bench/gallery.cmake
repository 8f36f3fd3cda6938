# The design gallery of "Neue Karte erstellen": opening it with every design of the build
# tree, with a cold preview cache and a warm one.
brisella_add_bench(NAME bench_gallery SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_gallery.cpp
                   LIBS brisella_editor WIDGETS)
target_compile_definitions(bench_gallery PRIVATE
    BRISELLA_DESIGNS_DIR="${CMAKE_BINARY_DIR}/designs")
