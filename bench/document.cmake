# Card file benchmarks: save and open of full cards.
brisella_add_bench(NAME bench_cardfile SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_cardfile.cpp
                   LIBS brisella_render)
# Undo history: recording a step, undo and redo over 2000 objects, memory of 1000 steps.
brisella_add_bench(NAME bench_history SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_history.cpp
                   LIBS brisella_document)
