// "Spruch einfügen...": a dialog to choose a greeting text by occasion, tone and a search word,
// to adjust it in the preview and to keep texts of one's own ("Eigene Sprüche"); and putting
// the chosen text on the card.
#pragma once

#include "content/Verses.h"

#include <QDialog>

#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

namespace bb {

class EditorController;

class VerseDialog : public QDialog {
    Q_OBJECT
public:
    // `own` is loaded here; adding and deleting own texts write its file.
    explicit VerseDialog(OwnVerses& own, QWidget* parent = nullptr);

    // The text in the preview (as possibly changed there), lines separated by '\n'.
    QString chosenText() const;
    // The texts the list shows now, in its order.
    const std::vector<Verse>& shown() const { return shown_; }

    // The first item of the occasion combo after "Alle": the user's own texts only.
    static QString ownOccasionItem() { return QStringLiteral("Eigene Sprüche"); }

private:
    void buildFilters(QVBoxLayout& layout);
    void buildPreview(QVBoxLayout& layout);
    void buildOwnRow(QVBoxLayout& layout);
    void connectControls();
    void refill();
    void showCurrent();
    void addOwn();
    void removeOwn();
    // The occasion and tone chosen in the combos; empty for "Alle" (and "Eigene Sprüche").
    QString chosenOccasion() const;
    QString chosenTone() const;

    OwnVerses& own_;
    std::vector<Verse> shown_;
    QComboBox* occasion_ = nullptr;
    QComboBox* tone_ = nullptr;
    QLineEdit* search_ = nullptr;
    QListWidget* list_ = nullptr;
    QPlainTextEdit* preview_ = nullptr;
    QLabel* origin_ = nullptr;
    QLabel* status_ = nullptr;
    QPushButton* addOwn_ = nullptr;
    QPushButton* removeOwn_ = nullptr;
    QPushButton* ok_ = nullptr;
};

// Puts `text` (lines separated by '\n') on the card as one undo step "Spruch einfügen": while
// the selected text is being typed on, at its caret (replacing the characters selected
// there); into a selected text object otherwise, in place of its text; with no text selected
// as a new text object in the middle of the visible part of the card, in the font for new
// texts, its frame as wide as its longest line. False when nothing was put on the card (an
// empty text, no free slot).
bool insertVerseText(EditorController& editor, const QString& text);

// Shows the dialog with the own texts of `ownFile` through the editor's modal runner and
// puts the chosen text on the card. False when it was cancelled or nothing was inserted.
bool runVerseDialog(EditorController& editor, const QString& ownFile);

}  // namespace bb
