// "Text eingeben...": the memo in which a text object's lines are edited.
#pragma once

#include <QDialog>
#include <QStringList>

class QPlainTextEdit;

namespace bb {

// A text's Content split at each carriage return (13), which is dropped; a carriage return at
// the very end adds no empty line, and an empty text gives no lines.
QStringList splitTextLines(const QString& content);
// The lines joined with one carriage return between two lines.
QString joinTextLines(const QStringList& lines);

class TTxtForm : public QDialog {
    Q_OBJECT
public:
    explicit TTxtForm(QWidget* parent = nullptr);
    void setLines(const QStringList& lines);
    QStringList lines() const;
    QPlainTextEdit* memo() const { return Memo1; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    QPlainTextEdit* Memo1 = nullptr;
};

}  // namespace bb
