// The questions before a card leaves the program: "Als PDF speichern" (layout, crop marks,
// bleed) and "Per E-Mail senden" (which sides, JPEG or PDF), and the offer to show the folder
// of a mail's files when no mail program took them.
#pragma once

#include "print/CardPdf.h"
#include "print/MailLauncher.h"

#include <QDialog>

class QCheckBox;
class QRadioButton;

namespace bb {

class PdfOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit PdfOptionsDialog(QWidget* parent = nullptr);
    // The layout, marks and bleed chosen (the rest of `base` kept).
    CardPdfOptions options(CardPdfOptions base = {}) const;
    void setOptions(const CardPdfOptions& options);

private:
    QRadioButton* folded_ = nullptr;
    QRadioButton* stacked_ = nullptr;
    QCheckBox* marks_ = nullptr;
    QCheckBox* bleed_ = nullptr;
};

class MailOptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit MailOptionsDialog(QWidget* parent = nullptr);
    MailContent content() const;
    void setContent(const MailContent& content);

private:
    QRadioButton* outside_ = nullptr;
    QRadioButton* both_ = nullptr;
    QRadioButton* jpeg_ = nullptr;
    QRadioButton* pdf_ = nullptr;
};

// The message of a mail that the mail program did not take: why, and where the files lie.
QString mailFallbackText(const QString& failure, const QStringList& files);

// Shows that message with "Im Ordner zeigen" and "Schließen"; true for "Im Ordner zeigen".
bool askToShowMailFolder(const QString& text, QWidget* parent);

}  // namespace bb
