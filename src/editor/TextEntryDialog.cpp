#include "editor/TextEntryDialog.h"
#include "editor/DialogButtons.h"

#include <QDialogButtonBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextDocument>
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

void TextEntryDialog::setContent(const QString& content) {
    content_ = content;
    QStringList lines = splitTextLines(content);
    for (QString& line : lines) line.replace(QChar(10), QChar::LineSeparator);
    textEdit_->clear();
    textEdit_->setPlainText(lines.join(QChar(10)));
    shown_ = paragraphs();
}

QString TextEntryDialog::content() const {
    if (paragraphs() == shown_) return content_;
    return joinTextLines(lines());
}

QStringList TextEntryDialog::paragraphs() const {
    QStringList out;
    for (QTextBlock b = textEdit_->document()->begin(); b.isValid(); b = b.next()) out << b.text();
    return out;
}

QStringList TextEntryDialog::lines() const {
    QStringList out = paragraphs();
    if (out.size() == 1 && out.front().isEmpty()) return {};
    // The empty paragraph after an Enter at the very end is no line of the text.
    if (out.size() > 1 && out.back().isEmpty()) out.removeLast();
    for (QString& line : out) line.replace(QChar::LineSeparator, QChar(10));
    return out;
}

void TextEntryDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    textEdit_->setFocus();
}

}  // namespace bb
