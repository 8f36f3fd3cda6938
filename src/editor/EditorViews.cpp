#include "editor/EditorViews.h"

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "editor/EditorView.h"
#include "editor/Ruler.h"
#include "render/BackgroundPictures.h"

#include <QGridLayout>
#include <QScrollArea>
#include <QTimer>

namespace bb {

EditorViews::EditorViews(CardDocument& doc, RenderContext& ctx)
    : doc_(doc), ctx_(ctx), pictures_(std::make_shared<BackgroundPictures>()) {
    // Pictures arriving one after another bring one repaint of both views.
    arrivedConnection_ = QObject::connect(pictures_.get(), &BackgroundPictures::arrived, [this] {
        if (repaintQueued_ || !outside_) return;
        repaintQueued_ = true;
        QTimer::singleShot(0, outside_, [this] {
            repaintQueued_ = false;
            paintBoth();
        });
    });
}
EditorViews::~EditorViews() {
    QObject::disconnect(arrivedConnection_);
}

QWidget* EditorViews::createSidePage(int side, QWidget* parent) {
    auto* page = new QWidget(parent);
    page->setObjectName(side == 1 ? QStringLiteral("TabSheet4") : QStringLiteral("TabSheet1"));
    auto* grid = new QGridLayout(page);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(0);
    auto* top = new Ruler(Ruler::Top, page);
    top->setObjectName(side == 1 ? QStringLiteral("TRuler2") : QStringLiteral("TRuler"));
    auto* left = new Ruler(Ruler::Left, page);
    left->setObjectName(side == 1 ? QStringLiteral("LRuler2") : QStringLiteral("LRuler"));
    // Guides are pulled out of the rulers into the view.
    top->setCursor(Qt::SplitVCursor);
    top->setToolTip(QStringLiteral("Ziehen Sie eine waagerechte Hilfslinie in die Karte"));
    left->setCursor(Qt::SplitHCursor);
    left->setToolTip(QStringLiteral("Ziehen Sie eine senkrechte Hilfslinie in die Karte"));
    auto* scroll = new QScrollArea(page);
    scroll->setObjectName(side == 1 ? QStringLiteral("ScrollBox3") : QStringLiteral("ScrollBox1"));
    scroll->setFrameShape(QFrame::NoFrame);
    // A view smaller than its box stands in the middle of it, on the work area's colour, so
    // that the work area seems to fill the box.
    scroll->setBackgroundRole(QPalette::Base);
    scroll->setAlignment(Qt::AlignCenter);
    scroll->setWidgetResizable(false);
    auto* view = new EditorView(*this, side);
    view->resize(paintBoxSize());
    scroll->setWidget(view);
    grid->addWidget(top, 0, 0, 1, 2);
    grid->addWidget(left, 1, 0);
    grid->addWidget(scroll, 1, 1);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);
    view->attach(scroll, top, left);
    (side == 1 ? inside_ : outside_) = view;
    return page;
}

void EditorViews::setInput(EditorInput* input) {
    input_ = input;
}

QSize EditorViews::paintBoxSize() const {
    return QSize(doc_.screenPixels(doc_.sideWidthUnits), doc_.screenPixels(doc_.sideHeightUnits));
}

void EditorViews::layoutFromDocument() {
    doc_.updateSideUnits();
    if (outside_) outside_->resize(paintBoxSize());
}

void EditorViews::paintBoth() {
    if (outside_) outside_->paintView();
    if (inside_) inside_->paintView();
}

void EditorViews::centreViews() {
    for (EditorView* v : {outside_, inside_})
        if (v) v->centre();
}

}  // namespace bb
