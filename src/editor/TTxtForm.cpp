#include "editor/TTxtForm.h"
#include "editor/DialogButtons.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace bb {

QStringList splitTextLines(const QString& content) {
    QStringList lines;
    if (content.isEmpty()) return lines;
    lines = content.split(QChar(13));
    if (content.endsWith(QChar(13))) lines.removeLast();
    return lines;
}

QString joinTextLines(const QStringList& lines) {
    return lines.join(QChar(13));
}

TTxtForm::TTxtForm(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TxtForm"));
    setWindowTitle(QStringLiteral("Text eingeben..."));
    auto* layout = new QVBoxLayout(this);
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(Memo1, 1);
    addOkCancel(this, layout);
    resize(360, 260);
}

void TTxtForm::setLines(const QStringList& lines) {
    Memo1->clear();
    // A line feed inside a stored line cannot be shown as part of that line; it breaks it.
    Memo1->setPlainText(lines.join(QLatin1Char('\n')));
}

QStringList TTxtForm::lines() const {
    const QString text = Memo1->toPlainText();
    if (text.isEmpty()) return {};
    return text.split(QLatin1Char('\n'));
}

void TTxtForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    Memo1->setFocus();
}

}  // namespace bb
