# Precompiled headers. Most of a library's compile time goes into parsing the same Qt and
# standard headers for every source file; each library parses them once into a precompiled
# header of its own (same flags as its sources, so it is always valid). Sources still include
# what they use: tidy and a build with -DBRISELLA_PCH=OFF compile them without it.
option(BRISELLA_PCH "Precompile the common Qt and standard headers of each library" ON)

set(BRISELLA_PCH_CORE
    <algorithm> <cmath> <cstring> <functional> <memory> <optional> <utility> <vector>
    <QByteArray> <QDir> <QFile> <QFileInfo> <QImage> <QObject> <QPainter> <QString>
    <QStringList>)
set(BRISELLA_PCH_WIDGETS ${BRISELLA_PCH_CORE}
    <QAction> <QApplication> <QCheckBox> <QDialog> <QLabel> <QMenu> <QPushButton> <QSpinBox>
    <QTabWidget> <QVBoxLayout> <QWidget>)

# ccache caches compiles that use a precompiled header only with this sloppiness; the
# launcher given on the command line gets it, so cache hits stay as they were.
if(BRISELLA_PCH AND CMAKE_CXX_COMPILER_LAUNCHER MATCHES "ccache"
   AND NOT CMAKE_CXX_COMPILER_LAUNCHER MATCHES "CCACHE_SLOPPINESS")
    set(CMAKE_CXX_COMPILER_LAUNCHER ${CMAKE_COMMAND} -E env
        CCACHE_SLOPPINESS=pch_defines,time_macros ${CMAKE_CXX_COMPILER_LAUNCHER})
endif()

# brisella_pch(target CORE|WIDGETS): the target's sources get the common headers of that kind.
function(brisella_pch target kind)
    if(BRISELLA_PCH)
        target_precompile_headers(${target} PRIVATE ${BRISELLA_PCH_${kind}})
    endif()
endfunction()
