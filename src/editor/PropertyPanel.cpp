#include "editor/PropertyPanel.h"

#include "document/Trunc.h"
#include "editor/ColorCombo.h"
#include "editor/EditMath.h"
#include "editor/EditorController.h"
#include "editor/FigureNames.h"
#include "editor/MillimetreField.h"
#include "editor/ObjectCommands.h"
#include "editor/RulerMath.h"
#include "render/Ornaments.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace bb {

namespace {

template <typename W>
W* named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

}  // namespace

// While the panel loads itself from an object, its controls change nothing: a control's
// signal reaches `f` only outside loading. unlessLoading0 is for signals whose arguments the
// command does not take.
template <typename F>
auto PropertyPanel::unlessLoading(F f) {
    return [this, f](auto&&... args) {
        if (!loading_) f(args...);
    };
}

template <typename F>
auto PropertyPanel::unlessLoading0(F f) {
    return [this, f] {
        if (!loading_) f();
    };
}

PropertyPanel::PropertyPanel(EditorController& ed, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent), editor_(ed) {
    setObjectName(QStringLiteral("Panel10"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    sheetTabs = named(new QTabWidget(this), "PageControl3");
    sheetTabs->setDocumentMode(true);  // tabs as flat buttons
    sheetTabs->setUsesScrollButtons(false);
    outer->addWidget(sheetTabs);
    noSelectionLabel =
        named(new QLabel(QStringLiteral("Kein Objekt ausgewählt"), this), "KeinObjektLabel");
    noSelectionLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    noSelectionLabel->setWordWrap(true);
    noSelectionLabel->setContentsMargins(6, 12, 6, 6);
    noSelectionLabel->setForegroundRole(QPalette::PlaceholderText);
    outer->addWidget(noSelectionLabel, 1);

    buildFigureSheet(dialogs);
    buildTextSheet(dialogs);
    buildPictureSheet(dialogs);
    buildGeneralSheet();
    setStatusTips();
    outer->addWidget(buildGeometryGroup());

    sheetTabs->addTab(figureSheet, QStringLiteral("Figur"));
    sheetTabs->addTab(textSheet, QStringLiteral("Text"));
    sheetTabs->addTab(pictureSheet, QStringLiteral("Bild"));
    sheetTabs->addTab(generalSheet, QStringLiteral("Allgemein"));
    fixWidth();
    for (QWidget* s : {figureSheet, textSheet, pictureSheet, generalSheet}) showSheet(s, false);
    sheetTabs->hide();
}

void PropertyPanel::buildFigureSheet(UserDialogs& dialogs) {
    // The commands are looked up when a control is used: they are made after the panel.
    EditorController& ed = editor_;
    figureSheet = named(new QWidget, "FigurSheet");
    auto* fl = new QVBoxLayout(figureSheet);
    fl->setSpacing(1);
    auto* figGroup = new QButtonGroup(this);
    for (int k = 0; k < 10; ++k) {
        auto* rb = new QRadioButton(QString::fromUtf8(kFigureKindNames[k]), figureSheet);
        rb->setObjectName(QStringLiteral("RadioButton%1").arg(k + 1));
        figGroup->addButton(rb, k);
        fl->addWidget(rb);
        figureRadios[k] = rb;
        connect(rb, &QRadioButton::clicked, this,
                unlessLoading0([&ed, k] { ed.commands().setFigureKind(k); }));
    }
    figureRadios[3]->setChecked(true);
    fl->addWidget(named(new QLabel(QStringLiteral("Farbe:"), figureSheet), "Label1"));
    figureColorCombo = named(new ColorCombo(figureSheet, &dialogs), "ColorCombo1");
    fl->addWidget(figureColorCombo);
    fl->addWidget(named(new QLabel(QStringLiteral("Umrandungsfarbe:"), figureSheet), "Label2"));
    borderColorCombo = named(new ColorCombo(figureSheet, &dialogs), "ColorCombo2");
    fl->addWidget(borderColorCombo);
    auto* fillGroup = new QButtonGroup(this);
    filledRadio = named(new QRadioButton(QStringLiteral("Ausgefüllt"), figureSheet), "FilledCheck");
    borderOnlyRadio =
        named(new QRadioButton(QStringLiteral("Nur Umrandung"), figureSheet), "BorderCheck");
    filledWithBorderRadio =
        named(new QRadioButton(QStringLiteral("Gefüllt und Umrandung"), figureSheet),
              "FilledBorderCheck");
    int mode = 0;
    for (QRadioButton* rb : {filledRadio, borderOnlyRadio, filledWithBorderRadio}) {
        fillGroup->addButton(rb, mode);
        fl->addWidget(rb);
        connect(rb, &QRadioButton::clicked, this,
                unlessLoading0([&ed, mode] { ed.commands().setFillMode(mode); }));
        ++mode;
    }
    filledRadio->setChecked(true);
    fl->addWidget(named(new QLabel(QStringLiteral("Linienstärke:"), figureSheet), "Label5"));
    lineWidthEdit = named(new QSpinBox(figureSheet), "LinieEd");
    lineWidthEdit->setRange(1, 20);
    lineWidthEdit->setValue(1);
    fl->addWidget(lineWidthEdit);
    fl->addStretch(1);
    connect(lineWidthEdit, &QSpinBox::valueChanged, this,
            unlessLoading([&ed](int v) { ed.commands().setLineWidth(v); }));
    connect(figureColorCombo, &ColorCombo::colorChanged, this,
            unlessLoading([&ed](ColorRef c) { ed.commands().setColor(c); }));
    connect(borderColorCombo, &ColorCombo::colorChanged, this,
            unlessLoading([&ed](ColorRef c) { ed.commands().setBorderColor(c); }));
}

void PropertyPanel::buildTextSheet(UserDialogs& dialogs) {
    EditorController& ed = editor_;
    textSheet = named(new QWidget, "TextSheet");
    auto* tl = new QVBoxLayout(textSheet);
    tl->setSpacing(2);
    enterTextButton =
        named(new QPushButton(QStringLiteral("Text eingeben..."), textSheet), "EnterTextBtn");
    tl->addWidget(enterTextButton);
    tl->addWidget(named(new QLabel(QStringLiteral("Farbe:"), textSheet), "Label3"));
    textColorCombo = named(new ColorCombo(textSheet, &dialogs), "ColorCombo3");
    tl->addWidget(textColorCombo);
    fontButton = named(new QPushButton(QStringLiteral("Schriftart..."), textSheet), "FontBtn");
    textEffectsButton =
        named(new QPushButton(QStringLiteral("Texteffekte..."), textSheet), "TextFXBtn");
    tl->addWidget(fontButton);
    tl->addWidget(textEffectsButton);
    auto* alignGroup = new QButtonGroup(this);
    alignLeftRadio = named(new QRadioButton(QStringLiteral("Linksbündig"), textSheet), "Leftalign");
    alignCenterRadio =
        named(new QRadioButton(QStringLiteral("Zentriert"), textSheet), "CenterAlign");
    alignRightRadio =
        named(new QRadioButton(QStringLiteral("Rechtsbündig"), textSheet), "RightAlign");
    int a = 0;
    for (QRadioButton* rb : {alignLeftRadio, alignCenterRadio, alignRightRadio}) {
        alignGroup->addButton(rb, a);
        tl->addWidget(rb);
        connect(rb, &QRadioButton::clicked, this,
                unlessLoading0([&ed, a] { ed.commands().setAlignment(a); }));
        ++a;
    }
    alignLeftRadio->setChecked(true);
    textRotateLeftButton =
        named(new QPushButton(QStringLiteral("Nach links rotieren"), textSheet), "BitBtn2");
    textRotateRightButton =
        named(new QPushButton(QStringLiteral("Nach rechts rotieren"), textSheet), "BitBtn1");
    tl->addWidget(textRotateLeftButton);
    tl->addWidget(textRotateRightButton);
    tl->addStretch(1);
    connect(enterTextButton, &QPushButton::clicked, this, [&ed] { ed.commands().editText(); });
    connect(fontButton, &QPushButton::clicked, this, [&ed] { ed.commands().chooseFont(); });
    connect(textEffectsButton, &QPushButton::clicked, this,
            [&ed] { ed.commands().editTextEffects(); });
    connect(textRotateLeftButton, &QPushButton::clicked, this,
            [&ed] { ed.commands().rotateLeft(); });
    connect(textRotateRightButton, &QPushButton::clicked, this,
            [&ed] { ed.commands().rotateRight(); });
    connect(textColorCombo, &ColorCombo::colorChanged, this,
            unlessLoading([&ed](ColorRef c) { ed.commands().setColor(c); }));
}

void PropertyPanel::buildPictureSheet(UserDialogs& dialogs) {
    EditorController& ed = editor_;
    pictureSheet = named(new QWidget, "BildSheet");
    auto* bl = new QVBoxLayout(pictureSheet);
    ornamentColorLabel =
        named(new QLabel(QStringLiteral("Farbe des Schmucks:"), pictureSheet), "SchmuckFarbeLabel");
    ornamentColorCombo = named(new ColorCombo(pictureSheet, &dialogs), "SchmuckFarbeCombo");
    bl->addWidget(ornamentColorLabel);
    bl->addWidget(ornamentColorCombo);
    ornamentColorCombo->setStatusTip(
        QStringLiteral("Die Farbe, in der der Schmuck gezeichnet wird"));
    ornamentColorLabel->hide();
    ornamentColorCombo->hide();
    connect(ornamentColorCombo, &ColorCombo::colorChanged, this,
            unlessLoading([&ed](ColorRef c) { ed.commands().setColor(c); }));
    keepAspectCheck =
        named(new QCheckBox(QStringLiteral("Nicht verzerren"), pictureSheet), "SVerhCheck");
    keepAspectCheck->setChecked(true);
    rotateLeftButton =
        named(new QPushButton(QStringLiteral("Nach links rotieren"), pictureSheet), "RotLeftBtn");
    rotateRightButton =
        named(new QPushButton(QStringLiteral("Nach rechts rotieren"), pictureSheet), "RotRightBtn");
    transparencyButton =
        named(new QPushButton(QStringLiteral("Transparenz..."), pictureSheet), "TranspBtn");
    roundFrameCheck =
        named(new QCheckBox(QStringLiteral("Runder Rahmen"), pictureSheet), "RunderCheck");
    for (QWidget* w :
         std::initializer_list<QWidget*>{keepAspectCheck, rotateLeftButton, rotateRightButton,
                                         transparencyButton, roundFrameCheck})
        bl->addWidget(w);
    bl->addStretch(1);
    connect(keepAspectCheck, &QCheckBox::clicked, this,
            unlessLoading([&ed](bool on) { ed.commands().setKeepAspect(on); }));
    connect(roundFrameCheck, &QCheckBox::clicked, this,
            unlessLoading([&ed](bool on) { ed.commands().setRoundFrame(on); }));
    connect(rotateLeftButton, &QPushButton::clicked, this, [&ed] { ed.commands().rotateLeft(); });
    connect(rotateRightButton, &QPushButton::clicked, this, [&ed] { ed.commands().rotateRight(); });
    connect(transparencyButton, &QPushButton::clicked, this,
            [&ed] { ed.commands().editTransparency(); });
}

void PropertyPanel::buildGeneralSheet() {
    EditorController& ed = editor_;
    generalSheet = named(new QWidget, "AllgemeinSheet");
    auto* al = new QVBoxLayout(generalSheet);
    deleteButton = named(new QPushButton(QStringLiteral("Löschen..."), generalSheet), "Del1Btn");
    toFrontButton = named(new QPushButton(QStringLiteral("Nach vorne"), generalSheet), "Front1Btn");
    toBackButton = named(new QPushButton(QStringLiteral("Nach hinten"), generalSheet), "Back1Btn");
    al->addWidget(deleteButton);
    al->addWidget(toFrontButton);
    al->addWidget(toBackButton);
    al->addStretch(1);
    connect(deleteButton, &QPushButton::clicked, this, [&ed] { ed.commands().deleteSelected(); });
    connect(toFrontButton, &QPushButton::clicked, this, [&ed] { ed.commands().bringToFront(); });
    connect(toBackButton, &QPushButton::clicked, this, [&ed] { ed.commands().sendToBack(); });
}

void PropertyPanel::setStatusTips() {
    // What each control does, for the status line.
    for (QRadioButton* rb : figureRadios)
        rb->setStatusTip(QStringLiteral("Form der Figur: ") + rb->text());
    const std::pair<QAbstractButton*, const char*> tips[] = {
        {filledRadio, "Füllt die Figur mit ihrer Farbe"},
        {borderOnlyRadio, "Zeichnet nur den Rand der Figur in der Umrandungsfarbe"},
        {filledWithBorderRadio, "Füllt die Figur und zeichnet ihren Rand in der Umrandungsfarbe"},
        {enterTextButton, "Ändert den Text"},
        {fontButton, "Wählt Schriftart, Größe, Stil und Farbe des Textes"},
        {textEffectsButton, "Umrandung und Schatten des Textes"},
        {alignLeftRadio, "Richtet die Zeilen des Textes links aus"},
        {alignCenterRadio, "Zentriert die Zeilen des Textes"},
        {alignRightRadio, "Richtet die Zeilen des Textes rechts aus"},
        {textRotateLeftButton, "Dreht den Text um eine Vierteldrehung nach links"},
        {textRotateRightButton, "Dreht den Text um eine Vierteldrehung nach rechts"},
        {keepAspectCheck, "Behält beim Ändern der Größe die Seitenverhältnisse des Bildes"},
        {rotateLeftButton, "Dreht das Bild um eine Vierteldrehung nach links"},
        {rotateRightButton, "Dreht das Bild um eine Vierteldrehung nach rechts"},
        {transparencyButton, "Lässt eine Farbe des Bildes durchscheinen"},
        {roundFrameCheck, "Zeigt das Bild in einem runden Rahmen"},
        {deleteButton, "Löscht das gewählte Objekt"},
        {toFrontButton, "Legt das gewählte Objekt vor alle anderen"},
        {toBackButton, "Legt das gewählte Objekt hinter alle anderen"},
    };
    for (const auto& [button, tip] : tips) button->setStatusTip(QString::fromUtf8(tip));
}

void PropertyPanel::fixWidth() {
    // The widest that a selection shows (its kind's sheet and "Allgemein") and the geometry
    // fields, at least 145 pixels; measured in the current font and style.
    QWidget* const current = sheetTabs->currentWidget();
    std::vector<std::pair<QWidget*, bool>> shown;
    for (QWidget* s : {figureSheet, textSheet, pictureSheet, generalSheet})
        shown.emplace_back(s, sheetVisible(s));
    int width = std::max(145, geometryGroup->sizeHint().width());
    for (QWidget* kind : {figureSheet, textSheet, pictureSheet}) {
        for (QWidget* s : {figureSheet, textSheet, pictureSheet}) showSheet(s, s == kind);
        showSheet(generalSheet, true);
        width = std::max(width, sheetTabs->sizeHint().width());
    }
    for (const auto& [sheet, on] : shown) showSheet(sheet, on);
    sheetTabs->setCurrentWidget(current);
    setFixedWidth(width);
}

void PropertyPanel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange) fixWidth();
    QWidget::changeEvent(event);
}

QWidget* PropertyPanel::buildGeometryGroup() {
    geometryGroup =
        named(new QGroupBox(QStringLiteral("Position und Größe"), this), "GeometryGroup");
    auto* form = new QFormLayout(geometryGroup);
    form->setContentsMargins(4, 4, 4, 4);
    form->setSpacing(2);
    const auto millimetres = [&](const char* name, const char* label, const char* tip,
                                 bool length) {
        auto* edit = named(new MillimetreField(geometryGroup), name);
        edit->setDecimals(2);
        edit->setSuffix(QStringLiteral(" mm"));
        edit->setRange(length ? 0.0 : -99999.99, 99999.99);
        edit->setSingleStep(1.0);
        edit->setAccelerated(true);
        // A typed value counts at Enter or when the field is left, not at every digit.
        edit->setKeyboardTracking(false);
        edit->setStatusTip(QString::fromUtf8(tip));
        auto* caption = named(new QLabel(QString::fromUtf8(label), geometryGroup),
                              (QByteArray(name) + "Label").constData());
        caption->setBuddy(edit);
        form->addRow(caption, edit);
        return edit;
    };
    posXEdit = millimetres("PosXEdit", "X:", "Abstand des Objekts vom linken Kartenrand", false);
    posYEdit = millimetres("PosYEdit", "Y:", "Abstand des Objekts vom oberen Kartenrand", false);
    widthEdit = millimetres("WidthEdit", "Breite:", "Breite des Objekts", true);
    heightEdit = millimetres("HeightEdit", "Höhe:", "Höhe des Objekts", true);
    aspectLockCheck =
        named(new QCheckBox(QStringLiteral("Seitenverhältnis sperren"), geometryGroup),
              "AspectLockCheck");
    aspectLockCheck->setStatusTip(
        QStringLiteral("Ändert beim Eingeben von Breite oder Höhe die andere Seite mit"));
    form->addRow(aspectLockCheck);
    angleEdit = named(new QDoubleSpinBox(geometryGroup), "AngleEdit");
    angleEdit->setDecimals(1);
    angleEdit->setSuffix(QStringLiteral("°"));
    angleEdit->setRange(0.0, 359.9);
    angleEdit->setWrapping(true);
    angleEdit->setSingleStep(1.0);
    angleEdit->setKeyboardTracking(false);
    angleEdit->setStatusTip(QStringLiteral("Dreht das Objekt um seine Mitte, im Uhrzeigersinn"));
    auto* angleCaption =
        named(new QLabel(QStringLiteral("Winkel:"), geometryGroup), "AngleEditLabel");
    angleCaption->setBuddy(angleEdit);
    form->addRow(angleCaption, angleEdit);
    EditorController& ed = editor_;
    connect(angleEdit, &QDoubleSpinBox::valueChanged, this,
            unlessLoading([&ed](double v) { ed.commands().setAngle(v); }));
    connect(posXEdit, &QDoubleSpinBox::valueChanged, this,
            unlessLoading([&ed](double v) { ed.commands().moveSelectedTo(true, v); }));
    connect(posYEdit, &QDoubleSpinBox::valueChanged, this,
            unlessLoading([&ed](double v) { ed.commands().moveSelectedTo(false, v); }));
    connect(widthEdit, &QDoubleSpinBox::valueChanged, this, unlessLoading([this](double v) {
                editor_.commands().resizeSelectedTo(true, v, aspectLockCheck->isChecked());
            }));
    connect(heightEdit, &QDoubleSpinBox::valueChanged, this, unlessLoading([this](double v) {
                editor_.commands().resizeSelectedTo(false, v, aspectLockCheck->isChecked());
            }));
    geometryGroup->hide();
    return geometryGroup;
}

void PropertyPanel::showGeometry(const CardObject* o) {
    if (geometryGroup->isHidden() == (o != nullptr)) geometryGroup->setVisible(o != nullptr);
    if (!o) {
        geometrySlot_ = 0;
        return;
    }
    // Several objects: the box around them all; it moves, its size is the objects' own.
    const std::vector<int> picks = editor_.selection();
    CardObject block;
    if (picks.size() > 1) {
        int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
        for (int s : picks) {
            const CardObject& m = *editor_.editedSlots()[s];
            left = std::min<int64_t>(left, m.x);
            top = std::min<int64_t>(top, m.y);
            right = std::max(right, int64_t(m.x) + m.width);
            bottom = std::max(bottom, int64_t(m.y) + m.height);
        }
        block.x = clampInt32(left);
        block.y = clampInt32(top);
        block.width = clampInt32(right - left);
        block.height = clampInt32(bottom - top);
        o = &block;
    }
    widthEdit->setEnabled(picks.size() <= 1);
    heightEdit->setEnabled(picks.size() <= 1);
    // A field being typed in keeps its text while the same object stays selected.
    const int slot = editor_.selectedSlot();
    const bool sameObject = slot == geometrySlot_;
    geometrySlot_ = slot;
    const CardDocument& d = editor_.doc();
    const auto show = [sameObject](QDoubleSpinBox* edit, double mm) {
        if (sameObject && edit->hasFocus()) return;
        edit->setValue(mm);
    };
    show(posXEdit, cardPositionMm(o->x, d.sideWidthUnits, d.format.cardWidth));
    show(posYEdit, cardPositionMm(o->y, d.sideHeightUnits, d.format.cardHeight));
    show(widthEdit, cardLengthMm(o->width, d.sideWidthUnits, d.format.cardWidth));
    show(heightEdit, cardLengthMm(o->height, d.sideHeightUnits, d.format.cardHeight));
    // Shown to the tenth the field holds; 359.95 and more is a full turn.
    const double angle = std::round(objectAngle(*o) * 10.0) / 10.0;
    show(angleEdit, angle >= 360.0 ? 0.0 : angle);
}

void PropertyPanel::showSheet(QWidget* sheet, bool on) {
    const int i = sheetTabs->indexOf(sheet);
    if (i >= 0 && sheetTabs->isTabVisible(i) != on) sheetTabs->setTabVisible(i, on);
}

bool PropertyPanel::sheetVisible(QWidget* sheet) const {
    const int i = sheetTabs->indexOf(sheet);
    return i >= 0 && sheetTabs->isTabVisible(i);
}

void PropertyPanel::updateFromSelection() {
    const CardObject* o = editor_.selected();
    const int kind = o ? o->kind : -1;
    loading_ = true;
    if (sheetTabs->isHidden() == (o != nullptr)) {
        sheetTabs->setVisible(o != nullptr);
        noSelectionLabel->setVisible(o == nullptr);
    }
    showSheet(generalSheet, o != nullptr);
    showSheet(figureSheet, kind == KindFigure);
    showSheet(textSheet, kind == KindText);
    showSheet(pictureSheet, kind == KindPicture);
    showGeometry(o);
    // The selected objects of the current one's kind: a value they do not share shows none.
    std::vector<const CardObject*> same;
    for (int s : editor_.selection())
        if (editor_.editedSlots()[s]->kind == kind) same.push_back(editor_.editedSlots()[s]);
    const auto shared = [&same](int32_t CardObject::*field) {
        return std::all_of(same.begin(), same.end(),
                           [&](const CardObject* m) { return m->*field == same.front()->*field; });
    };
    if (kind == KindFigure) {
        if (!shared(&CardObject::figureKind)) {
            uncheckAll(figureRadios[0]);
        } else if (o->figureKind >= 0 && o->figureKind < 10) {
            figureRadios[o->figureKind]->setChecked(true);
        }
        const bool line = o->figureKind >= FigLineHorizontal && o->figureKind <= FigLineDown;
        borderColorCombo->setVisible(!line);
        QRadioButton* fills[3] = {filledRadio, borderOnlyRadio, filledWithBorderRadio};
        for (QRadioButton* rb : fills) rb->setEnabled(!line);
        if (!line) {
            if (shared(&CardObject::fillMode) && o->fillMode >= 0 && o->fillMode <= 2) {
                fills[o->fillMode]->setChecked(true);
            } else {
                // No fill mode of the three: none is checked.
                auto* g = filledRadio->group();
                g->setExclusive(false);
                for (QRadioButton* rb : fills) rb->setChecked(false);
                g->setExclusive(true);
            }
        }
        // lineWidthEdit offers 1..20. A width outside (0, a hairline, in cards made before
        // figures started at 1) is shown as it is, so that choosing 1 changes it.
        lineWidthEdit->setRange(std::min(1, o->lineWidth), std::max(20, o->lineWidth));
        lineWidthEdit->setValue(o->lineWidth);
        sheetTabs->setCurrentWidget(figureSheet);
    } else if (kind == KindText) {
        QRadioButton* aligns[3] = {alignLeftRadio, alignCenterRadio, alignRightRadio};
        if (shared(&CardObject::alignment) && o->alignment >= 0 && o->alignment <= 2) {
            aligns[o->alignment]->setChecked(true);
        } else {
            auto* g = alignLeftRadio->group();
            g->setExclusive(false);
            for (QRadioButton* rb : aligns) rb->setChecked(false);
            g->setExclusive(true);
        }
        sheetTabs->setCurrentWidget(textSheet);
    } else if (kind == KindPicture) {
        const bool aspectShared = std::all_of(same.begin(), same.end(), [&](const CardObject* m) {
            return m->keepAspect == o->keepAspect;
        });
        showCheck(keepAspectCheck, o->keepAspect, !aspectShared);
        const bool ornament = isRecolourableOrnament(*o);
        ornamentColorLabel->setVisible(ornament);
        ornamentColorCombo->setVisible(ornament);
        sheetTabs->setCurrentWidget(pictureSheet);
    }
    loading_ = false;
}

void PropertyPanel::loadSelectionControls(const CardObject& o) {
    loading_ = true;
    figureColorCombo->setColor(o.color);
    borderColorCombo->setColor(o.borderColor);
    textColorCombo->setColor(o.color);
    ornamentColorCombo->setColor(o.color);
    bool roundShared = true;
    for (int s : editor_.selection()) {
        const CardObject& m = *editor_.editedSlots()[s];
        if (m.kind == KindPicture && m.roundFrame != o.roundFrame) roundShared = false;
    }
    showCheck(roundFrameCheck, o.roundFrame, !roundShared);
    // Colours the selected objects do not share show no entry.
    const auto differs = [this](bool (*reaches)(const CardObject&), ColorRef CardObject::*field,
                                ColorRef value) {
        for (int s : editor_.selection()) {
            const CardObject& m = *editor_.editedSlots()[s];
            if (reaches(m) && m.*field != value) return true;
        }
        return false;
    };
    const auto coloured = [](const CardObject& m) {
        return m.kind == KindFigure || m.kind == KindText || isRecolourableOrnament(m);
    };
    const auto figure = [](const CardObject& m) { return m.kind == KindFigure; };
    if (differs(coloured, &CardObject::color, o.color)) {
        figureColorCombo->showMixed();
        textColorCombo->showMixed();
        ornamentColorCombo->showMixed();
    }
    if (differs(figure, &CardObject::borderColor, o.borderColor)) borderColorCombo->showMixed();
    loading_ = false;
}

void PropertyPanel::showCheck(QCheckBox* box, bool on, bool mixed) {
    // A box that speaks for objects that differ shows the third state; a click on it then
    // checks it, and the command sets all of them.
    if (mixed) {
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
        return;
    }
    box->setTristate(false);
    box->setChecked(on);
}

void PropertyPanel::uncheckAll(QRadioButton* member) {
    QButtonGroup* g = member->group();
    if (!g) return;
    g->setExclusive(false);
    for (QAbstractButton* b : g->buttons()) b->setChecked(false);
    g->setExclusive(true);
}

}  // namespace bb
