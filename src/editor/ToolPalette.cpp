#include "editor/ToolPalette.h"

#include "editor/Icons.h"

#include <QButtonGroup>
#include <QToolButton>
#include <QVBoxLayout>

namespace bb {

ToolPalette::ToolPalette(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Toolbar"));
    struct Def {
        const char* name;
        const char* caption;
        const char* hint;
    };
    static const Def defs[7] = {
        {"SpeedItem3", "Zeiger", "Verändert Objekte"},
        {"SpeedZoom", "Lupe", "Vergrößert oder Verkleinert"},
        {"SpeedHand", "Hand", "Verschiebt den sichtbaren Ausschnitt"},
        {"SpeedItem1", "Figur", "Neue Figur aufziehen"},
        {"SpeedItem2", "Text", "Neuen Text aufziehen"},
        {"SpeedItem10", "Bild", "Neues Bild aufziehen"},
        {"SpeedInhalt", "Inhalt", "Inhalt eines Textobjektes editieren"},
    };
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    group_ = new QButtonGroup(this);
    group_->setExclusive(true);
    for (int i = 0; i < 7; ++i) {
        auto* b = new QToolButton(this);
        b->setObjectName(QString::fromLatin1(defs[i].name));
        b->setText(QString::fromUtf8(defs[i].caption));
        const QString hint = QString::fromUtf8(defs[i].hint);
        b->setToolTip(hint);
        b->setStatusTip(hint);
        b->setCheckable(true);
        b->setAutoRaise(true);
        b->setIcon(themedIcon(iconNameFor(b->objectName())));
        b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        // All as wide as the column, so that the icons stand in one line.
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        b->setMinimumWidth(56);
        group_->addButton(b, i);
        buttons_[i] = b;
        if (i == ToolContent)
            b->hide();
        else
            layout->addWidget(b);
    }
    layout->addStretch(1);
    buttons_[ToolPointer]->setChecked(true);
    connect(group_, &QButtonGroup::idToggled, this, [this](int id, bool on) {
        if (!on) return;
        current_ = EditorTool(id);
        emit toolChanged(id);
    });
}

void ToolPalette::setCurrent(EditorTool tool) {
    if (tool < ToolPointer || tool > ToolContent) return;
    buttons_[tool]->setChecked(true);
}

QToolButton* ToolPalette::button(EditorTool tool) const {
    return tool >= ToolPointer && tool <= ToolContent ? buttons_[tool] : nullptr;
}

}  // namespace bb
