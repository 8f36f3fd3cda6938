// "Schriftart": one dialog for a text's font, size, style, strike-out, underline and colour.
// Only scalable fonts are offered, since texts are drawn at every scale of every output.
#pragma once

#include <QColor>
#include <QDialog>
#include <QFont>

class QCheckBox;
class QComboBox;
class QFontComboBox;
class QLabel;
class QSpinBox;

namespace bb {

class ColorCombo;
class UserDialogs;

class FontDialog : public QDialog {
    Q_OBJECT
public:
    // `dialogs` answers the colour box's entry for other colours.
    explicit FontDialog(UserDialogs* dialogs = nullptr, QWidget* parent = nullptr);

    // Presets the controls. A family that is not installed keeps its name until another
    // family is picked, so that opening and confirming never renames a text's font.
    void setChoice(const QFont& font, const QColor& color);
    QFont chosenFont() const;
    QColor chosenColor() const;

    // Style entries of styleBox, top to bottom.
    enum Style { Regular = 0, Italic = 1, Bold = 2, BoldItalic = 3 };

    QFontComboBox* familyBox = nullptr;
    QComboBox* styleBox = nullptr;
    QSpinBox* sizeEdit = nullptr;
    QCheckBox* strikeOutCheck = nullptr;
    QCheckBox* underlineCheck = nullptr;
    ColorCombo* colorBox = nullptr;
    QLabel* sampleLabel = nullptr;

private:
    void showSample();

    QString family_;
    bool fixedPitch_ = false;
    bool loading_ = false;
};

}  // namespace bb
