#include "editor/EditorTab.h"

#include "document/CardDocument.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"

#include <QHBoxLayout>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>

namespace bb {

EditorTab::EditorTab(CardDocument& doc, RenderContext& ctx, QWidget* parent)
    : QWidget(parent), doc_(doc), views_(std::make_unique<EditorViews>(doc, ctx)) {
    setObjectName(QStringLiteral("TabSheet3"));
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->setSpacing(0);
    toolBar_ = new QToolBar(this);
    toolBar_->setObjectName(QStringLiteral("SpeedBar2"));
    toolBar_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    outer->addWidget(toolBar_);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    outer->addLayout(row, 1);

    toolColumn_ = new QWidget(this);
    toolColumn_->setObjectName(QStringLiteral("ToolColumn"));
    auto* tl = new QVBoxLayout(toolColumn_);
    tl->setContentsMargins(0, 0, 0, 0);
    toolColumn_->hide();
    row->addWidget(toolColumn_);

    sideTabs_ = new QTabWidget(this);
    sideTabs_->setObjectName(QStringLiteral("PageControl2"));
    sideTabs_->setTabPosition(QTabWidget::South);
    sideTabs_->addTab(views_->createSidePage(0, sideTabs_), QStringLiteral("Außenseite"));
    sideTabs_->addTab(views_->createSidePage(1, sideTabs_), QStringLiteral("Innenseite"));
    middle_ = new QVBoxLayout;
    middle_->setContentsMargins(0, 0, 0, 0);
    middle_->setSpacing(0);
    middle_->addWidget(sideTabs_, 1);
    row->addLayout(middle_, 1);

    propertyColumn_ = new QWidget(this);
    propertyColumn_->setObjectName(QStringLiteral("PropertyColumn"));
    auto* pl = new QVBoxLayout(propertyColumn_);
    pl->setContentsMargins(0, 0, 0, 0);
    propertyColumn_->hide();
    row->addWidget(propertyColumn_);

    connect(sideTabs_, &QTabWidget::currentChanged, this, [this](int index) {
        if (!switching_) sideTabChanged(index);
    });
}

EditorTab::~EditorTab() = default;

void EditorTab::sideTabChanged(int index) {
    views_->edited().side = index == 1 ? SideInside : SideOutside;
    views_->paintBoth();
}

void EditorTab::selectSide(int side) {
    switching_ = true;
    sideTabs_->setCurrentIndex(side == 1 ? 1 : 0);
    switching_ = false;
    sideTabChanged(side);
}

void EditorTab::setRecordBar(QWidget* bar) {
    middle_->insertWidget(0, bar);
}

void EditorTab::syncSideTab() {
    switching_ = true;
    sideTabs_->setCurrentIndex(views_->edited().side == 1 ? 1 : 0);
    switching_ = false;
}

}  // namespace bb
