// "Text eingeben...": the memo in which a text object's lines are edited.
#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

namespace bb {

// A text's content split at each carriage return (13), which is dropped; a carriage return at
// the very end adds no empty line, and an empty text gives no lines.
QStringList splitTextLines(const QString& content);
// The lines joined with one carriage return between two lines.
QString joinTextLines(const QStringList& lines);

class TextEntryDialog : public QDialog {
    Q_OBJECT
public:
    explicit TextEntryDialog(QWidget* parent = nullptr);
    // Shows a text's lines, one paragraph each; a line feed inside a line is shown as a line
    // break within its paragraph (Shift+Enter types one).
    void setContent(const QString& content);
    // The text as edited. Unedited it is exactly the text given to setContent; otherwise the
    // paragraphs joined with carriage returns, where an Enter at the very end adds nothing.
    QString content() const;
    // The paragraphs, line feeds inside them kept, without the empty one after a final Enter.
    QStringList lines() const;
    QPlainTextEdit* textEdit() const { return textEdit_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QStringList paragraphs() const;

    QPlainTextEdit* textEdit_ = nullptr;
    QString content_;
    QStringList shown_;
};

}  // namespace bb
