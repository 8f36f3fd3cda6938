// The drawing state that the renderer and the coordinate accessors read. It is passed
// explicitly so that views, printing, previews and the command-line tool never share it.
#pragma once

#include "document/CardFormat.h"

namespace bb {

enum RenderModeValue : int { RenderScreen = 0, RenderOutput = 1 };

struct RenderContext {
    int renderMode = RenderScreen;
    double outputScale = 0.0;  // device pixels per document unit in output mode
    double mmPerInchX = kNominalMmPerInch;
    double mmPerInchY = kNominalMmPerInch;
    int screenDpi = 96;  // the main window's horizontal resolution (d of the font height)
    int fontDpi = 96;    // pixels per inch of the font dialog's font (p of the font height)
    bool busy = false;   // set while drawCardSide runs; views skip painting meanwhile
};

// Sets output mode at `dpi` for the lifetime of the guard and restores the previous state.
class OutputModeGuard {
public:
    OutputModeGuard(RenderContext& ctx, double dpi) : ctx_(ctx), saved_(ctx) {
        ctx_.renderMode = RenderOutput;
        ctx_.outputScale = dpi / 20000.0;
    }
    ~OutputModeGuard() {
        ctx_.renderMode = saved_.renderMode;
        ctx_.outputScale = saved_.outputScale;
    }
    OutputModeGuard(const OutputModeGuard&) = delete;
    OutputModeGuard& operator=(const OutputModeGuard&) = delete;

private:
    RenderContext& ctx_;
    RenderContext saved_;
};

}  // namespace bb
