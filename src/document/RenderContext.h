// The settings that the renderer and the coordinate accessors read: a plain value, passed
// explicitly and copied where an output needs other settings, so that views, printing,
// previews and the command-line tool never share or change each other's.
#pragma once

#include "document/CardFormat.h"
#include "pictures/PicturePixels.h"

#include <QString>

#include <functional>
#include <memory>
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
    // Draws a picture whose file was not found as a crossed frame with its name. Only the
    // editor views set it (withEditorMarks) and only editor-mode drawing reads it, so
    // print, export and previews never show it.
    bool showMissingPictures = false;
    // Names the halves of the card above it ("Rückseite", "Vorderseite" outside, "Innen
    // links", "Innen rechts" inside). Only the editor views set it (withEditorMarks) and only
    // editor-mode drawing reads it, so no output shows the names.
    bool showHalfLabels = false;
    // Fills the fields of a text before it is drawn (a personal card from an address list
    // row); empty draws every text as typed.
    std::function<QString(const QString&)> fillText;
    // Where pictures get their pixels at the size they are drawn; unset, each is decoded
    // when drawn and the drawing waits for it (outputs). The editor's views set one that
    // decodes in the background.
    std::shared_ptr<const PicturePixels> pictures;
};

// ctx in output mode at `dpi` (device pixels per inch).
inline RenderContext atOutputDpi(RenderContext ctx, double dpi) {
    ctx.renderMode = RenderOutput;
    ctx.outputScale = dpi / 20000.0;
    return ctx;
}

// ctx with missing pictures drawn as placeholders and the card's halves named (an editor
// view's draw).
inline RenderContext withEditorMarks(RenderContext ctx) {
    ctx.showMissingPictures = true;
    ctx.showHalfLabels = true;
    return ctx;
}

// ctx with texts filled by `fill` (empty: drawn as typed).
inline RenderContext withFilledTexts(RenderContext ctx,
                                     std::function<QString(const QString&)> fill) {
    ctx.fillText = std::move(fill);
    return ctx;
}

}  // namespace bb
