# Card browser: filling the grid from a folder of cards, responsiveness during the walk,
# memory of the thumbnails, reading and downscaling of one preview.
brisella_add_bench(NAME bench_browser SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_browser.cpp
                   LIBS brisella_browser_ui WIDGETS)
target_include_directories(bench_browser PRIVATE ${CMAKE_SOURCE_DIR}/tests)
