// The drawing state that the renderer and the coordinate accessors read. It is passed
// explicitly so that views, printing, previews and the command-line tool never share it.
#pragma once

#include "document/CardFormat.h"

#include <QString>

#include <functional>
#include <utility>

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
    // Draws a picture whose file was not found as a crossed frame with its name. Only the
    // editor views set it (MissingPicturesGuard) and only editor-mode drawing reads it, so
    // print, export and previews never show it.
    bool showMissingPictures = false;
    // Names the halves of the card above it ("Rückseite", "Vorderseite" outside, "Innen
    // links", "Innen rechts" inside). Only the editor views set it (HalfLabelsGuard) and only
    // editor-mode drawing reads it, so no output shows the names.
    bool showHalfLabels = false;
    // Fills the fields of a text before it is drawn (a personal card from an address list
    // row); empty draws every text as typed.
    std::function<QString(const QString&)> fillText;
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

// Shows missing pictures as placeholders for the lifetime of the guard (an editor view's draw).
class MissingPicturesGuard {
public:
    explicit MissingPicturesGuard(RenderContext& ctx)
        : ctx_(ctx), saved_(std::exchange(ctx.showMissingPictures, true)) {}
    ~MissingPicturesGuard() { ctx_.showMissingPictures = saved_; }
    MissingPicturesGuard(const MissingPicturesGuard&) = delete;
    MissingPicturesGuard& operator=(const MissingPicturesGuard&) = delete;

private:
    RenderContext& ctx_;
    bool saved_;
};

// Names the card's halves for the lifetime of the guard (an editor view's draw).
class HalfLabelsGuard {
public:
    explicit HalfLabelsGuard(RenderContext& ctx)
        : ctx_(ctx), saved_(std::exchange(ctx.showHalfLabels, true)) {}
    ~HalfLabelsGuard() { ctx_.showHalfLabels = saved_; }
    HalfLabelsGuard(const HalfLabelsGuard&) = delete;
    HalfLabelsGuard& operator=(const HalfLabelsGuard&) = delete;

private:
    RenderContext& ctx_;
    bool saved_;
};

// Sets how texts are filled (empty: drawn as typed) for the lifetime of the guard and gives
// ctx its previous filling back.
class FillTextGuard {
public:
    FillTextGuard(RenderContext& ctx, std::function<QString(const QString&)> fill)
        : ctx_(ctx), saved_(std::exchange(ctx.fillText, std::move(fill))) {}
    ~FillTextGuard() { ctx_.fillText = std::move(saved_); }
    FillTextGuard(const FillTextGuard&) = delete;
    FillTextGuard& operator=(const FillTextGuard&) = delete;

private:
    RenderContext& ctx_;
    std::function<QString(const QString&)> saved_;
};

}  // namespace bb
