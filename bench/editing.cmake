# Editing: drag moves over a full card, object menu and property panel for a selection.
brisella_add_bench(NAME bench_editing SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_editing.cpp
    LIBS brisella_editor WIDGETS)
