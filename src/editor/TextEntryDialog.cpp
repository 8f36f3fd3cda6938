#include "editor/TextEntryDialog.h"
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

TextEntryDialog::TextEntryDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TxtForm"));
    setWindowTitle(QStringLiteral("Text eingeben..."));
    auto* layout = new QVBoxLayout(this);
    textEdit_ = new QPlainTextEdit(this);
    textEdit_->setObjectName(QStringLiteral("Memo1"));
    textEdit_->setLineWrapMode(QPlainTextEdit::NoWrap);
    textEdit_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    textEdit_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    layout->addWidget(textEdit_, 1);
    addOkCancel(this, layout);
    resize(360, 260);
}

void TextEntryDialog::setLines(const QStringList& lines) {
    textEdit_->clear();
    // A line feed inside a stored line cannot be shown as part of that line; it breaks it.
    textEdit_->setPlainText(lines.join(QLatin1Char('\n')));
}

QStringList TextEntryDialog::lines() const {
    const QString text = textEdit_->toPlainText();
    if (text.isEmpty()) return {};
    return text.split(QLatin1Char('\n'));
}

void TextEntryDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    textEdit_->setFocus();
}

}  // namespace bb
