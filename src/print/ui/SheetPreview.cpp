// The print preview's paint box; see SheetPreview.h.
#include "print/ui/SheetPreview.h"

#include "document/CardDocument.h"
#include "document/RenderContext.h"

#include <QPainter>

namespace bb {

SheetPreview::SheetPreview(const CardDocument& doc, const RenderContext& ctx, QWidget* parent)
    : QWidget(parent), doc_(doc), ctx_(ctx) {
    setObjectName(QStringLiteral("VPaint"));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

bool SheetPreview::setSheet(QSize wanted, const PreviewOptions& options) {
    options_ = options;
    wanted_ = wanted;
    const bool sized = size() == wanted;
    if (!sized) setFixedSize(wanted);  // the resize brings its own paint
    update();
    return sized;
}

void SheetPreview::paintEvent(QPaintEvent*) {
    // Size first, then draw: a box of the wrong size waits for the paint of its new size.
    if (size() != wanted_) {
        setFixedSize(wanted_);
        return;
    }
    QPainter painter(this);
    // The sheet of the side being edited, whichever it is at this paint.
    PreviewOptions options = options_;
    options.side = sideSource_ ? sideSource_() : SideOutside;
    RenderContext ctx = ctx_;
    ctx.pictures = pictures_;
    lastCards_ = paintSheetPreview(painter, size(), doc_, ctx, options);
}

}  // namespace bb
