#include "merge/ui/RowChoiceBox.h"

#include "merge/MergeSession.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QColor>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>
#include <QVBoxLayout>

namespace bb {

RowChoiceBox::RowChoiceBox(MergeSession& session, QWidget* parent)
    : QGroupBox(QStringLiteral("Datensätze"), parent), session_(session) {
    auto* allRadio = new QRadioButton(QStringLiteral("Alle Datensätze"), this);
    allRadio->setObjectName(QStringLiteral("AllRowsRadio"));
    allRadio->setStatusTip(QStringLiteral("Jeder Datensatz der Liste"));
    auto* rangeRadio = new QRadioButton(QStringLiteral("Bereich:"), this);
    rangeRadio->setObjectName(QStringLiteral("RangeRadio"));
    rangeRadio->setStatusTip(QStringLiteral("Die Datensätze mit den angegebenen Nummern"));
    auto* tickedRadio = new QRadioButton(QStringLiteral("Angekreuzte Datensätze"), this);
    tickedRadio->setObjectName(QStringLiteral("TickedRadio"));
    tickedRadio->setStatusTip(QStringLiteral("Die in der Tabelle angekreuzten Datensätze"));
    choice_ = new QButtonGroup(this);
    choice_->addButton(allRadio, int(MergeSession::Rows::All));
    choice_->addButton(rangeRadio, int(MergeSession::Rows::Range));
    choice_->addButton(tickedRadio, int(MergeSession::Rows::Ticked));
    range_ = new QLineEdit(this);
    range_->setObjectName(QStringLiteral("RangeEdit"));
    range_->setPlaceholderText(QStringLiteral("1-20, 25"));
    plan_ = new QLabel(this);
    plan_->setObjectName(QStringLiteral("PlanLabel"));
    plan_->setWordWrap(true);
    plan_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* rangeRow = new QHBoxLayout;
    rangeRow->addWidget(rangeRadio);
    rangeRow->addWidget(range_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(allRadio);
    layout->addLayout(rangeRow);
    layout->addWidget(tickedRadio);
    layout->addWidget(plan_);

    connect(choice_, &QButtonGroup::idClicked, this,
            [this](int id) { session_.setRowChoice(MergeSession::Rows(id)); });
    connect(range_, &QLineEdit::textEdited, this, [this](const QString& text) {
        session_.setRangeText(text);
        session_.setRowChoice(MergeSession::Rows::Range);
    });
}

void RowChoiceBox::refresh() {
    if (QAbstractButton* b = choice_->button(int(session_.rowChoice()))) b->setChecked(true);
    if (range_->text() != session_.rangeText()) range_->setText(session_.rangeText());
}

void RowChoiceBox::showPlan(const QString& text) {
    plan_->setPalette(QPalette());
    plan_->setText(text);
}

void RowChoiceBox::showRefusal(const QString& why) {
    QPalette p = plan_->palette();
    p.setColor(QPalette::WindowText, QColor(190, 0, 0));
    plan_->setPalette(p);
    plan_->setText(why);
}

}  // namespace bb
