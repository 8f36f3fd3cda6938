// The record bar; see RecordBar.h.
#include "merge/ui/RecordBar.h"

#include "merge/MergeSession.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace bb {

RecordBar::RecordBar(MergeSession& session, QWidget* parent) : QWidget(parent), session_(session) {
    setObjectName(QStringLiteral("RecordBar"));
    const auto button = [this](const char* name, const QString& text, const QString& tip,
                               auto step) {
        auto* b = new QToolButton(this);
        b->setObjectName(QLatin1String(name));
        b->setText(text);
        b->setToolTip(tip);
        b->setStatusTip(tip);
        b->setAutoRaise(true);
        connect(b, &QToolButton::clicked, this,
                [this, step] { session_.showRecord(step(session_.shownRecord())); });
        return b;
    };
    first_ = button("FirstRecordBtn", QStringLiteral("|◀"), QStringLiteral("Erster Datensatz"),
                    [](int) { return 0; });
    previous_ = button("PreviousRecordBtn", QStringLiteral("◀"),
                       QStringLiteral("Voriger Datensatz"), [](int r) { return r - 1; });
    next_ = button("NextRecordBtn", QStringLiteral("▶"), QStringLiteral("Nächster Datensatz"),
                   [](int r) { return r + 1; });
    last_ = button("LastRecordBtn", QStringLiteral("▶|"), QStringLiteral("Letzter Datensatz"),
                   [this](int) { return session_.rowCount() - 1; });
    caption_ = new QLabel(this);
    caption_->setObjectName(QStringLiteral("RecordCaption"));
    caption_->setAlignment(Qt::AlignCenter);
    // Wide enough for "Datensatz 99999 von 99999", so the buttons keep their place.
    caption_->setMinimumWidth(
        caption_->fontMetrics().horizontalAdvance(recordCaption(99998, 99999)) + 12);
    listName_ = new QLabel(this);
    listName_->setObjectName(QStringLiteral("RecordListName"));
    listName_->setForegroundRole(QPalette::PlaceholderText);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(2);
    row->addWidget(first_);
    row->addWidget(previous_);
    row->addWidget(caption_);
    row->addWidget(next_);
    row->addWidget(last_);
    row->addSpacing(12);
    row->addWidget(listName_);
    row->addStretch();

    connect(&session_, &MergeSession::changed, this, &RecordBar::refresh);
    refresh();
}

QString RecordBar::caption() const {
    return caption_->text();
}

void RecordBar::refresh() {
    if (!session_.hasList()) {
        hide();
        return;
    }
    // A bar without a parent yet stays out of sight until its layout takes it.
    if (parentWidget()) show();
    const int shown = session_.shownRecord();
    const int count = session_.rowCount();
    caption_->setText(recordCaption(shown, count));
    first_->setEnabled(shown > 0);
    previous_->setEnabled(shown > 0);
    next_->setEnabled(shown + 1 < count);
    last_->setEnabled(shown + 1 < count);
    const QString path = session_.list()->path;
    listName_->setText(QFileInfo(path).fileName());
    listName_->setToolTip(path);
}

}  // namespace bb
