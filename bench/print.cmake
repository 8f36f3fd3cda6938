brisella_add_bench(NAME bench_print SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_print.cpp
    LIBS brisella_print)
target_include_directories(bench_print PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_CURRENT_LIST_DIR})
