// The paint box of the print preview. It draws only when it already has the size
// that the preview wants; a size change brings a new paint.
#pragma once

#include "pictures/PicturePixels.h"
#include "print/PreviewPaint.h"

#include <QWidget>

#include <functional>
#include <memory>

namespace bb {

class CardDocument;
struct RenderContext;

class SheetPreview : public QWidget {
    Q_OBJECT

public:
    SheetPreview(const CardDocument& doc, const RenderContext& ctx, QWidget* parent = nullptr);

    // The size the sheet needs and what to draw on it. Returns true when the box already
    // had that size (a paint follows either way).
    bool setSheet(QSize wanted, const PreviewOptions& options);
    QSize wantedSize() const { return wanted_; }
    int lastCardCount() const { return lastCards_; }
    QSize sizeHint() const override { return wanted_; }
    // Tells which side the editor shows; the sheet of that side is drawn at each paint
    // (the outside while none is set).
    void setSideSource(std::function<int()> source) { sideSource_ = std::move(source); }
    // Where the pictures' pixels come from (the editor's background decoder, so that the
    // preview never waits for a photo); unset, each picture is decoded when drawn.
    void setPictures(std::shared_ptr<const PicturePixels> pictures) {
        pictures_ = std::move(pictures);
    }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const CardDocument& doc_;
    const RenderContext& ctx_;
    QSize wanted_;
    PreviewOptions options_;
    std::function<int()> sideSource_;
    std::shared_ptr<const PicturePixels> pictures_;
    int lastCards_ = 0;
};

}  // namespace bb
