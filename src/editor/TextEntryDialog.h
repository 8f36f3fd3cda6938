// "Text eingeben...": the memo in which a text object's lines are edited, with the formatting
// of selected characters (bigger, smaller, bold, italic, colour, font), line and letter
// spacing, the arc a text can be set on, and spell checking of what is typed.
#pragma once

#include "document/ObjectExtras.h"

#include <QDialog>
#include <QStringList>

#include <functional>
#include <vector>

class QCheckBox;
class QDoubleSpinBox;
class QFontComboBox;
class QMenu;
class QPlainTextEdit;
class QSpinBox;
class QToolButton;
class QVBoxLayout;

namespace bb {

struct CardObject;
class SpellChecker;
class TextEntryHighlighter;

// A text's content split at each carriage return (13), which is dropped; a carriage return at
// the very end adds no empty line, and an empty text gives no lines.
QStringList splitTextLines(const QString& content);
// The lines joined with one carriage return between two lines.
QString joinTextLines(const QStringList& lines);

class TextEntryDialog : public QDialog {
    Q_OBJECT
public:
    explicit TextEntryDialog(QWidget* parent = nullptr);
    ~TextEntryDialog() override;
    // Shows a text's lines, one paragraph each; a line feed inside a line is shown as a line
    // break within its paragraph (Shift+Enter types one). Spans and spacing stay as they were.
    void setContent(const QString& content);
    // The text as edited. Unedited it is exactly the text given to setContent; otherwise the
    // paragraphs joined with carriage returns, where an Enter at the very end adds nothing.
    QString content() const;
    // The paragraphs, line feeds inside them kept, without the empty one after a final Enter.
    QStringList lines() const;
    QPlainTextEdit* textEdit() const { return textEdit_; }

    // Shows text `o`: its content, formatted spans, spacing and arc.
    void setText(const CardObject& o);
    // Writes the edited content, spans, spacing and arc into `o`.
    void storeInto(CardObject& o) const;
    // The spans as edited, in positions of content().
    const std::vector<TextRun>& runs() const { return runs_; }

    // Changes the format of the memo's selected characters.
    void formatSelection(const std::function<void(TextRun&)>& change);
    // Where the colour of selected characters is asked for (the program's colour dialog).
    std::function<bool(QColor&)> chooseColor;

    // Spell checking of the memo: misspelt words underlined, suggestions on a right click.
    void setSpellChecker(SpellChecker* checker);
    // The right-click menu at `pos` of the memo's viewport: the spelling entries first when a
    // misspelt word is there. The caller owns it.
    QMenu* contextMenuAt(QPoint pos);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildFormatTools(QVBoxLayout* layout);
    void buildSpacingControls(QVBoxLayout* layout);
    QStringList paragraphs() const;
    // The memo's text with its spans and the text's own font, as a text object.
    CardObject shownText() const;
    void textChanged();
    void refreshFormats();
    void chooseSelectionColor();

    QPlainTextEdit* textEdit_ = nullptr;
    QToolButton* biggerButton_ = nullptr;
    QToolButton* smallerButton_ = nullptr;
    QToolButton* boldButton_ = nullptr;
    QToolButton* italicButton_ = nullptr;
    QToolButton* colorButton_ = nullptr;
    QFontComboBox* fontBox_ = nullptr;
    QSpinBox* lineSpacing_ = nullptr;
    QDoubleSpinBox* letterSpacing_ = nullptr;
    QCheckBox* onArc_ = nullptr;
    QDoubleSpinBox* arcRadius_ = nullptr;
    QCheckBox* arcDown_ = nullptr;
    TextEntryHighlighter* highlighter_ = nullptr;
    SpellChecker* spell_ = nullptr;

    QString content_;
    QStringList shown_;
    QString raw_;  // the memo's text when last seen, to follow each change with the spans
    TextRun base_;
    std::vector<TextRun> runs_;
};

}  // namespace bb
