// The two editor views of a card (outside and inside), the state they share and the
// operations the window runs on both.
#pragma once

#include "document/EditedSide.h"
#include "editor/EditorInput.h"

#include <QObject>
#include <QSize>

#include <memory>

class QWidget;

namespace bb {

class CardDocument;
struct RenderContext;
class EditorView;
class BackgroundPictures;

// The state both views share and the operations the window runs on them.
class EditorViews {
public:
    EditorViews(CardDocument& doc, RenderContext& ctx);
    ~EditorViews();
    EditorViews(const EditorViews&) = delete;
    EditorViews& operator=(const EditorViews&) = delete;

    CardDocument& doc() { return doc_; }
    RenderContext& ctx() { return ctx_; }
    // The side the views edit (the active side tab) and the object selected on it.
    EditedSide& edited() { return edited_; }
    const EditedSide& edited() const { return edited_; }

    // Builds the page of one side: top ruler, left ruler, scroll box and paint box.
    QWidget* createSidePage(int side, QWidget* parent);
    EditorView* view(int side) const { return side == 1 ? inside_ : outside_; }
    EditorView* outsideView() const { return outside_; }
    EditorView* insideView() const { return inside_; }

    // The event handler of both views; null restores the one that does nothing.
    void setInput(EditorInput* input);
    EditorInput& input() { return input_ ? *input_ : nullInput_; }

    // While set (a zoom click resizing the views) the views draw no card.
    bool zoomInProgress = false;

    // sideWidthUnits/sideHeightUnits from the card format and outsideView sized to
    // Trunc(units × zoomFactor ÷ unitsPerPixel) in each direction.
    void layoutFromDocument();
    // The paint-box size for the document's current scale.
    QSize paintBoxSize() const;
    // Repaints both views.
    void paintBoth();
    // Where the views get their pictures' pixels: decoded in the background, the views
    // repainted as they arrive. Other drawings in the window (the sheet preview) share it.
    const std::shared_ptr<BackgroundPictures>& pictures() const { return pictures_; }
    // Scrolls both views to the centre: (paint box size − visible size) div 2 on each axis.
    void centreViews();

private:
    CardDocument& doc_;
    RenderContext& ctx_;
    EditorView* outside_ = nullptr;
    EditorView* inside_ = nullptr;
    EditorInput* input_ = nullptr;
    EditorInput nullInput_;
    EditedSide edited_;
    std::shared_ptr<BackgroundPictures> pictures_;
    bool repaintQueued_ = false;  // a repaint for arrived pictures is on its way
    // The sheet preview may keep the decoder beyond these views: cut on destruction.
    QMetaObject::Connection arrivedConnection_;
};

}  // namespace bb
