// The property panel at the right of the editor: the sheets "Figur", "Text", "Bild"
// and "Allgemein", which follow the selected object at every repaint. The panel only reads
// its controls; every change it makes is one of the object commands (ObjectCommands).
#pragma once

#include <QWidget>

class QCheckBox;
class QDoubleSpinBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace bb {

class ColorCombo;
class EditorController;
class UserDialogs;
struct CardObject;

class PropertyPanel : public QWidget {
    Q_OBJECT
public:
    PropertyPanel(EditorController& editor, UserDialogs& dialogs, QWidget* parent = nullptr);

    // Shows the sheets that fit the selected object and loads their controls from it.
    void updateFromSelection();
    // The controls bound to the selection: loaded when an object becomes selected.
    void loadSelectionControls(const CardObject& o);

    QTabWidget* sheetTabs = nullptr;
    // Stands in the sheets' place while nothing is selected; the panel keeps its width.
    QLabel* noSelectionLabel = nullptr;
    QWidget* figureSheet = nullptr;
    QWidget* textSheet = nullptr;
    QWidget* pictureSheet = nullptr;
    QWidget* generalSheet = nullptr;
    QRadioButton* figureRadios[10] = {};  // RadioButton1 .. RadioButton10
    ColorCombo* figureColorCombo = nullptr;
    ColorCombo* borderColorCombo = nullptr;
    ColorCombo* textColorCombo = nullptr;
    QLabel* ornamentColorLabel = nullptr;
    ColorCombo* ornamentColorCombo = nullptr;  // a picture showing a recolourable ornament
    QRadioButton* filledRadio = nullptr;
    QRadioButton* borderOnlyRadio = nullptr;
    QRadioButton* filledWithBorderRadio = nullptr;
    QSpinBox* lineWidthEdit = nullptr;
    QPushButton* enterTextButton = nullptr;
    QPushButton* fontButton = nullptr;
    QPushButton* textEffectsButton = nullptr;
    QRadioButton* alignLeftRadio = nullptr;
    QRadioButton* alignCenterRadio = nullptr;
    QRadioButton* alignRightRadio = nullptr;
    QPushButton* textRotateLeftButton = nullptr;
    QPushButton* textRotateRightButton = nullptr;
    QCheckBox* keepAspectCheck = nullptr;
    QPushButton* rotateLeftButton = nullptr;
    QPushButton* rotateRightButton = nullptr;
    QPushButton* transparencyButton = nullptr;
    QCheckBox* roundFrameCheck = nullptr;
    QPushButton* deleteButton = nullptr;
    QPushButton* toFrontButton = nullptr;
    QPushButton* toBackButton = nullptr;

    // "Position und Größe": the selected object's box in millimetres on the card, and the
    // lock that keeps its aspect when one side is typed.
    QGroupBox* geometryGroup = nullptr;
    QDoubleSpinBox* posXEdit = nullptr;
    QDoubleSpinBox* posYEdit = nullptr;
    QDoubleSpinBox* widthEdit = nullptr;
    QDoubleSpinBox* heightEdit = nullptr;
    QCheckBox* aspectLockCheck = nullptr;
    // "Winkel": the whole turn of the selected object in degrees, clockwise.
    QDoubleSpinBox* angleEdit = nullptr;

    bool sheetVisible(QWidget* sheet) const;

protected:
    void changeEvent(QEvent* event) override;

private:
    // The four sheets and their controls, each wired to the object commands.
    void buildFigureSheet(UserDialogs& dialogs);
    void buildTextSheet(UserDialogs& dialogs);
    void buildPictureSheet(UserDialogs& dialogs);
    void buildGeneralSheet();
    void setStatusTips();
    template <typename F>
    auto unlessLoading(F f);
    template <typename F>
    auto unlessLoading0(F f);
    void showSheet(QWidget* sheet, bool on);
    // Fixes the width to the widest sheet, so the column does not change with the selection.
    void fixWidth();
    QWidget* buildGeometryGroup();
    void showGeometry(const CardObject* o);
    // Unchecks every button of the exclusive group `member` belongs to.
    static void uncheckAll(QRadioButton* member);
    // Shows `on`, or the third state when the selected objects differ (`mixed`).
    static void showCheck(QCheckBox* box, bool on, bool mixed);

    EditorController& editor_;
    bool loading_ = false;
    int geometrySlot_ = 0;
};

}  // namespace bb
