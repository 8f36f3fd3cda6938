// "Umschläge drucken": one envelope per chosen row of the card's address list, in the order of
// its cards. The size (with or without window), the recipient template, the sender, a small
// picture from the card, how the envelope goes into the printer (with a test page) and printing
// on A4 for printers without an envelope feed; a preview of the envelope of the record shown.
// The choices are kept in the user's settings; the envelopes themselves come from an
// EnvelopeMaker.
#pragma once

#include "print/EnvelopeMaker.h"

#include <QDialog>

#include <functional>
#include <optional>

class QCheckBox;
class QComboBox;
class QFormLayout;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSettings;

namespace bb {

class MergeSession;
class RowChoiceBox;
class PrinterTarget;
class UserDialogs;

class EnvelopeDialog : public QDialog {
    Q_OBJECT
public:
    EnvelopeDialog(const EnvelopeMaker& maker, MergeSession& session, PrinterTarget& printer,
                   QSettings& settings, UserDialogs& dialogs, QWidget* parent = nullptr);

    // Runs the sender dialog ("Absender ändern..."); exec by default, tests answer it.
    void setRunModal(std::function<int(QDialog&)> run) { runModal_ = std::move(run); }

    // The envelopes the dialog's choices make now; nullopt with a German reason when there
    // are none (no list, a bad range, nothing ticked).
    std::optional<EnvelopeOrder> order(QString* error = nullptr) const;
    EnvelopeFeed feed() const;
    bool onA4() const;
    const EnvelopeKind* currentKind() const;

    // Before each showing: reads the sender again (it may have changed in the settings).
    void prepare();

    // The buttons' work, also for tests.
    bool printEnvelopes();
    bool savePdf();
    bool printTestPage();

signals:
    // The printer was given the envelope's paper: the cards' own paper is due again.
    void printerUsed();

private:
    void buildControls();
    QFormLayout* buildEnvelopeForm();
    QGroupBox* buildFeedBox();
    QHBoxLayout* buildButtons();
    void restoreChoices();
    void storeChoices();
    void refresh();
    void refreshSender();
    void editSender();
    void report(const QString& text);
    // The placement for the current size and feed; nullopt after telling why it does not fit.
    std::optional<EnvelopePlacement> placement();

    const EnvelopeMaker& maker_;
    MergeSession& session_;
    PrinterTarget& printer_;
    QSettings& settings_;
    UserDialogs& dialogs_;
    std::function<int(QDialog&)> runModal_;
    std::vector<EnvelopeKind> kinds_;
    SenderFields sender_;

    QComboBox* sizeCombo_ = nullptr;
    QCheckBox* windowCheck_ = nullptr;
    QPlainTextEdit* templateEdit_ = nullptr;
    QLabel* senderLabel_ = nullptr;
    QCheckBox* pictureCheck_ = nullptr;
    QComboBox* edgeCombo_ = nullptr;
    QComboBox* faceCombo_ = nullptr;
    QComboBox* alignCombo_ = nullptr;
    QComboBox* leadCombo_ = nullptr;
    QCheckBox* a4Check_ = nullptr;
    QWidget* preview_ = nullptr;
    RowChoiceBox* rows_ = nullptr;
    QPushButton* printBtn_ = nullptr;
    QPushButton* pdfBtn_ = nullptr;
};

}  // namespace bb
