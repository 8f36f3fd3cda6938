#include "editor/PropertyPanel.h"

#include "editor/ColorCombo.h"
#include "editor/EditorController.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>

namespace bb {

namespace {

template <typename W>
W* named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

}  // namespace

PropertyPanel::PropertyPanel(EditorController& ed, UserDialogs& dialogs, QWidget* parent)
    : QWidget(parent), editor_(ed) {
    setObjectName(QStringLiteral("Panel10"));
    setFixedWidth(145);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    PageControl3 = named(new QTabWidget(this), "PageControl3");
    PageControl3->setDocumentMode(true);  // tabs as flat buttons
    PageControl3->setUsesScrollButtons(false);
    outer->addWidget(PageControl3);

    // While the panel loads itself from an object, its controls change nothing.
    const auto guard = [this](auto f) {
        return [this, f](auto&&... args) {
            if (!loading_) f(args...);
        };
    };
    const auto guard0 = [this](auto f) {
        return [this, f] {
            if (!loading_) f();
        };
    };

    // "Figur"
    FigurSheet = named(new QWidget, "FigurSheet");
    auto* fl = new QVBoxLayout(FigurSheet);
    fl->setSpacing(1);
    static const char* figNames[10] = {"Kreis",
                                       "Ellipse",
                                       "Quadrat",
                                       "Rechteck",
                                       "Quadrat abgerundet",
                                       "Rechteck abgerundet",
                                       "Linie horizontal",
                                       "Linie vertikal",
                                       "Linie schräg hoch",
                                       "Linie schräg runter"};
    auto* figGroup = new QButtonGroup(this);
    for (int k = 0; k < 10; ++k) {
        auto* rb = new QRadioButton(QString::fromUtf8(figNames[k]), FigurSheet);
        rb->setObjectName(QStringLiteral("RadioButton%1").arg(k + 1));
        figGroup->addButton(rb, k);
        fl->addWidget(rb);
        FigureRadios[k] = rb;
        connect(rb, &QRadioButton::clicked, this, guard0([&ed, k] { ed.setFigureKind(k); }));
    }
    FigureRadios[3]->setChecked(true);
    fl->addWidget(named(new QLabel(QStringLiteral("Farbe:"), FigurSheet), "Label1"));
    ColorCombo1 = named(new ColorCombo(FigurSheet, &dialogs), "ColorCombo1");
    fl->addWidget(ColorCombo1);
    fl->addWidget(named(new QLabel(QStringLiteral("Umrandungsfarbe:"), FigurSheet), "Label2"));
    ColorCombo2 = named(new ColorCombo(FigurSheet, &dialogs), "ColorCombo2");
    fl->addWidget(ColorCombo2);
    auto* fillGroup = new QButtonGroup(this);
    FilledCheck = named(new QRadioButton(QStringLiteral("Ausgefüllt"), FigurSheet), "FilledCheck");
    BorderCheck =
        named(new QRadioButton(QStringLiteral("Nur Umrandung"), FigurSheet), "BorderCheck");
    FilledBorderCheck = named(new QRadioButton(QStringLiteral("Gefüllt und Umrandung"), FigurSheet),
                              "FilledBorderCheck");
    int mode = 0;
    for (QRadioButton* rb : {FilledCheck, BorderCheck, FilledBorderCheck}) {
        fillGroup->addButton(rb, mode);
        fl->addWidget(rb);
        connect(rb, &QRadioButton::clicked, this, guard0([&ed, mode] { ed.setFillMode(mode); }));
        ++mode;
    }
    FilledCheck->setChecked(true);
    fl->addWidget(named(new QLabel(QStringLiteral("Linienstärke:"), FigurSheet), "Label5"));
    LinieEd = named(new QSpinBox(FigurSheet), "LinieEd");
    LinieEd->setRange(1, 20);
    LinieEd->setValue(1);
    fl->addWidget(LinieEd);
    fl->addStretch(1);
    connect(LinieEd, &QSpinBox::valueChanged, this, guard([&ed](int v) { ed.setLineWidth(v); }));
    connect(ColorCombo1, &ColorCombo::colorChanged, this,
            guard([&ed](ColorRef c) { ed.setColor(c); }));
    connect(ColorCombo2, &ColorCombo::colorChanged, this,
            guard([&ed](ColorRef c) { ed.setBorderColor(c); }));

    // "Text"
    TextSheet = named(new QWidget, "TextSheet");
    auto* tl = new QVBoxLayout(TextSheet);
    tl->setSpacing(2);
    EnterTextBtn =
        named(new QPushButton(QStringLiteral("Text eingeben..."), TextSheet), "EnterTextBtn");
    tl->addWidget(EnterTextBtn);
    tl->addWidget(named(new QLabel(QStringLiteral("Farbe:"), TextSheet), "Label3"));
    ColorCombo3 = named(new ColorCombo(TextSheet, &dialogs), "ColorCombo3");
    tl->addWidget(ColorCombo3);
    FontBtn = named(new QPushButton(QStringLiteral("Schriftart..."), TextSheet), "FontBtn");
    TextFXBtn = named(new QPushButton(QStringLiteral("Texteffekte..."), TextSheet), "TextFXBtn");
    tl->addWidget(FontBtn);
    tl->addWidget(TextFXBtn);
    auto* alignGroup = new QButtonGroup(this);
    Leftalign = named(new QRadioButton(QStringLiteral("Linksbündig"), TextSheet), "Leftalign");
    CenterAlign = named(new QRadioButton(QStringLiteral("Zentriert"), TextSheet), "CenterAlign");
    RightAlign = named(new QRadioButton(QStringLiteral("Rechtsbündig"), TextSheet), "RightAlign");
    int a = 0;
    for (QRadioButton* rb : {Leftalign, CenterAlign, RightAlign}) {
        alignGroup->addButton(rb, a);
        tl->addWidget(rb);
        connect(rb, &QRadioButton::clicked, this, guard0([&ed, a] { ed.setAlignment(a); }));
        ++a;
    }
    Leftalign->setChecked(true);
    BitBtn2 = named(new QPushButton(QStringLiteral("Nach links rotieren"), TextSheet), "BitBtn2");
    BitBtn1 = named(new QPushButton(QStringLiteral("Nach rechts rotieren"), TextSheet), "BitBtn1");
    tl->addWidget(BitBtn2);
    tl->addWidget(BitBtn1);
    tl->addStretch(1);
    connect(EnterTextBtn, &QPushButton::clicked, this, [&ed] { ed.EditTextNow(); });
    connect(FontBtn, &QPushButton::clicked, this, [&ed] { ed.FontBtnClick(); });
    connect(TextFXBtn, &QPushButton::clicked, this, [&ed] { ed.Texteffekte1Click(); });
    connect(BitBtn2, &QPushButton::clicked, this, [&ed] { ed.Nachlinksrotieren1Click(); });
    connect(BitBtn1, &QPushButton::clicked, this, [&ed] { ed.Nachrechtsrotieren1Click(); });
    connect(ColorCombo3, &ColorCombo::colorChanged, this,
            guard([&ed](ColorRef c) { ed.setColor(c); }));

    // "Bild"
    BildSheet = named(new QWidget, "BildSheet");
    auto* bl = new QVBoxLayout(BildSheet);
    SVerhCheck = named(new QCheckBox(QStringLiteral("Nicht verzerren"), BildSheet), "SVerhCheck");
    SVerhCheck->setChecked(true);
    RotLeftBtn =
        named(new QPushButton(QStringLiteral("Nach links rotieren"), BildSheet), "RotLeftBtn");
    RotRightBtn =
        named(new QPushButton(QStringLiteral("Nach rechts rotieren"), BildSheet), "RotRightBtn");
    TranspBtn = named(new QPushButton(QStringLiteral("Transparenz..."), BildSheet), "TranspBtn");
    RunderCheck = named(new QCheckBox(QStringLiteral("Runder Rahmen"), BildSheet), "RunderCheck");
    for (QWidget* w : std::initializer_list<QWidget*>{SVerhCheck, RotLeftBtn, RotRightBtn,
                                                      TranspBtn, RunderCheck})
        bl->addWidget(w);
    bl->addStretch(1);
    connect(SVerhCheck, &QCheckBox::clicked, this, guard([&ed](bool on) { ed.setKeepAspect(on); }));
    connect(RunderCheck, &QCheckBox::clicked, this,
            guard([&ed](bool on) { ed.setRoundFrame(on); }));
    connect(RotLeftBtn, &QPushButton::clicked, this, [&ed] { ed.Nachlinksrotieren1Click(); });
    connect(RotRightBtn, &QPushButton::clicked, this, [&ed] { ed.Nachrechtsrotieren1Click(); });
    connect(TranspBtn, &QPushButton::clicked, this, [&ed] { ed.Transparenz1Click(); });

    // "Allgemein"
    AllgemeinSheet = named(new QWidget, "AllgemeinSheet");
    auto* al = new QVBoxLayout(AllgemeinSheet);
    Del1Btn = named(new QPushButton(QStringLiteral("Löschen..."), AllgemeinSheet), "Del1Btn");
    Front1Btn = named(new QPushButton(QStringLiteral("Nach vorne"), AllgemeinSheet), "Front1Btn");
    Back1Btn = named(new QPushButton(QStringLiteral("Nach hinten"), AllgemeinSheet), "Back1Btn");
    al->addWidget(Del1Btn);
    al->addWidget(Front1Btn);
    al->addWidget(Back1Btn);
    al->addStretch(1);
    connect(Del1Btn, &QPushButton::clicked, this, [&ed] { ed.Lschen1Click(); });
    connect(Front1Btn, &QPushButton::clicked, this, [&ed] { ed.Nachvorne1Click(); });
    connect(Back1Btn, &QPushButton::clicked, this, [&ed] { ed.NachHinen1Click(); });

    PageControl3->addTab(FigurSheet, QStringLiteral("Figur"));
    PageControl3->addTab(TextSheet, QStringLiteral("Text"));
    PageControl3->addTab(BildSheet, QStringLiteral("Bild"));
    PageControl3->addTab(AllgemeinSheet, QStringLiteral("Allgemein"));
    for (QWidget* s : {FigurSheet, TextSheet, BildSheet, AllgemeinSheet}) showSheet(s, false);
}

void PropertyPanel::showSheet(QWidget* sheet, bool on) {
    const int i = PageControl3->indexOf(sheet);
    if (i >= 0 && PageControl3->isTabVisible(i) != on) PageControl3->setTabVisible(i, on);
}

bool PropertyPanel::sheetVisible(QWidget* sheet) const {
    const int i = PageControl3->indexOf(sheet);
    return i >= 0 && PageControl3->isTabVisible(i);
}

void PropertyPanel::CheckAllPanelOptions() {
    const Tobs* o = editor_.selected();
    const int kind = o ? o->Kind : -1;
    loading_ = true;
    showSheet(AllgemeinSheet, o != nullptr);
    showSheet(FigurSheet, kind == KindFigure);
    showSheet(TextSheet, kind == KindText);
    showSheet(BildSheet, kind == KindPicture);
    if (kind == KindFigure) {
        if (o->FigureKind >= 0 && o->FigureKind < 10) FigureRadios[o->FigureKind]->setChecked(true);
        const bool line = o->FigureKind >= FigLineHorizontal && o->FigureKind <= FigLineDown;
        ColorCombo2->setVisible(!line);
        QRadioButton* fills[3] = {FilledCheck, BorderCheck, FilledBorderCheck};
        for (QRadioButton* rb : fills) rb->setEnabled(!line);
        if (!line) {
            if (o->FillMode >= 0 && o->FillMode <= 2) {
                fills[o->FillMode]->setChecked(true);
            } else {
                // No fill mode of the three: none is checked.
                auto* g = FilledCheck->group();
                g->setExclusive(false);
                for (QRadioButton* rb : fills) rb->setChecked(false);
                g->setExclusive(true);
            }
        }
        // LinieEd holds 1..20; a width outside shows clamped and is not written back.
        LinieEd->setValue(o->LineWidth);
        PageControl3->setCurrentWidget(FigurSheet);
    } else if (kind == KindText) {
        QRadioButton* aligns[3] = {Leftalign, CenterAlign, RightAlign};
        if (o->Alignment >= 0 && o->Alignment <= 2) {
            aligns[o->Alignment]->setChecked(true);
        } else {
            auto* g = Leftalign->group();
            g->setExclusive(false);
            for (QRadioButton* rb : aligns) rb->setChecked(false);
            g->setExclusive(true);
        }
        PageControl3->setCurrentWidget(TextSheet);
    } else if (kind == KindPicture) {
        SVerhCheck->setChecked(o->KeepAspect);
        PageControl3->setCurrentWidget(BildSheet);
    }
    loading_ = false;
}

void PropertyPanel::loadSelectionControls(const Tobs& o) {
    loading_ = true;
    ColorCombo1->setColor(o.Color);
    ColorCombo2->setColor(o.BorderColor);
    ColorCombo3->setColor(o.Color);
    RunderCheck->setChecked(o.RoundFrame);
    loading_ = false;
}

}  // namespace bb
