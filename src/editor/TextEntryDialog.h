// "Text eingeben...": the textEdit in which a text object's lines are edited.
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
    void setLines(const QStringList& lines);
    QStringList lines() const;
    QPlainTextEdit* textEdit() const { return textEdit_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* textEdit_ = nullptr;
};

}  // namespace bb
