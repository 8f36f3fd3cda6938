// The property panel Panel10 at the right of the editor: the sheets "Figur", "Text", "Bild"
// and "Allgemein", which follow the selected object at every repaint.
#pragma once

#include <QWidget>

class QCheckBox;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace bb {

class ColorCombo;
class EditorController;
class UserDialogs;
struct Tobs;

class PropertyPanel : public QWidget {
    Q_OBJECT
public:
    PropertyPanel(EditorController& editor, UserDialogs& dialogs, QWidget* parent = nullptr);

    // Shows the sheets that fit the selected object and loads their controls from it.
    void CheckAllPanelOptions();
    // The controls bound to the selection: loaded when an object becomes selected.
    void loadSelectionControls(const Tobs& o);

    QTabWidget* PageControl3 = nullptr;
    QWidget* FigurSheet = nullptr;
    QWidget* TextSheet = nullptr;
    QWidget* BildSheet = nullptr;
    QWidget* AllgemeinSheet = nullptr;
    QRadioButton* FigureRadios[10] = {};  // RadioButton1 .. RadioButton10
    ColorCombo* ColorCombo1 = nullptr;
    ColorCombo* ColorCombo2 = nullptr;
    ColorCombo* ColorCombo3 = nullptr;
    QRadioButton* FilledCheck = nullptr;
    QRadioButton* BorderCheck = nullptr;
    QRadioButton* FilledBorderCheck = nullptr;
    QSpinBox* LinieEd = nullptr;
    QPushButton* EnterTextBtn = nullptr;
    QPushButton* FontBtn = nullptr;
    QPushButton* TextFXBtn = nullptr;
    QRadioButton* Leftalign = nullptr;
    QRadioButton* CenterAlign = nullptr;
    QRadioButton* RightAlign = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QCheckBox* SVerhCheck = nullptr;
    QPushButton* RotLeftBtn = nullptr;
    QPushButton* RotRightBtn = nullptr;
    QPushButton* TranspBtn = nullptr;
    QCheckBox* RunderCheck = nullptr;
    QPushButton* Del1Btn = nullptr;
    QPushButton* Front1Btn = nullptr;
    QPushButton* Back1Btn = nullptr;

    bool sheetVisible(QWidget* sheet) const;

private:
    void showSheet(QWidget* sheet, bool on);

    EditorController& editor_;
    bool loading_ = false;
};

}  // namespace bb
