#include "editor/Tbkgndform.h"

#include "document/CardDocument.h"
#include "document/UserDialogs.h"
#include "editor/ColorCombo.h"
#include "editor/TBMPOpenForm.h"
#include "pictures/DibFilters.h"
#include "pictures/PictureOps.h"
#include "render/DrawDib.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace bb {

QRect backgroundPreviewRect(int boxWidth, int boxHeight, int pw, int ph) {
    if (pw < 1 || ph < 1 || boxWidth < 1 || boxHeight < 1) return {};
    qint64 w = boxWidth;
    qint64 h = qint64(ph) * boxWidth / pw;
    if (boxHeight < h) {
        w = qint64(pw) * boxHeight / ph;
        h = boxHeight;
    }
    return QRect(int((boxWidth - w) / 2), int((boxHeight - h) / 2), int(w), int(h));
}

class BackgroundPreviewBox : public QWidget {
public:
    BackgroundPreviewBox(Tbkgndform& form, QWidget* parent) : QWidget(parent), form_(form) {}

protected:
    void paintEvent(QPaintEvent*) override { form_.paintPreview(this); }

private:
    Tbkgndform& form_;
};

Tbkgndform::Tbkgndform(CardDocument& doc, UserDialogs& dialogs, TBMPOpenForm& openForm,
                       const QString& programFolder, QWidget* parent)
    : QDialog(parent),
      doc_(doc),
      dialogs_(dialogs),
      openForm_(openForm),
      programFolder_(programFolder) {
    setObjectName(QStringLiteral("bkgndform"));
    setWindowTitle(QStringLiteral("Hintergrundbild auswählen"));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    PreviewBox = new BackgroundPreviewBox(*this, this);
    PreviewBox->setObjectName(QStringLiteral("PreviewBox"));
    PreviewBox->setMinimumSize(388, 281);
    left->addWidget(PreviewBox, 1);
    auto* buttons = new QHBoxLayout;
    OeffnenBtn = new QPushButton(QStringLiteral("Ö&ffnen..."), this);
    OeffnenBtn->setObjectName(QStringLiteral("OeffnenBtn"));
    OeffnenBtn->setToolTip(QStringLiteral("Öffnet ein Hintergrundbild"));
    KeinsBtn = new QPushButton(QStringLiteral("&Keins"), this);
    KeinsBtn->setObjectName(QStringLiteral("KeinsBtn"));
    KeinsBtn->setToolTip(QStringLiteral("Kein Hintergrundbild auswählen..."));
    ZurueckBtn = new QPushButton(QStringLiteral("&Zurück"), this);
    ZurueckBtn->setObjectName(QStringLiteral("ZurueckBtn"));
    ZurueckBtn->setToolTip(QStringLiteral("Zurück zum Hauptprogramm..."));
    buttons->addWidget(OeffnenBtn);
    buttons->addWidget(KeinsBtn);
    buttons->addWidget(ZurueckBtn);
    left->addLayout(buttons);
    layout->addLayout(left, 1);

    auto* box = new QGroupBox(QStringLiteral("Einstellungen"), this);
    box->setObjectName(QStringLiteral("Einstellungen"));
    box->setToolTip(QStringLiteral("Wählen Sie die gewünschte Anordnung des Hintergrundbildes"));
    auto* bl = new QVBoxLayout(box);
    group_ = new QButtonGroup(this);
    // Top to bottom, each with the mode it stands for.
    const std::pair<const char*, int> radios[] = {
        {"Zentriert größer", BgCover},        {"Zentriert kleiner", BgFit},
        {"Nebeneinander (Kacheln)", BgTiled}, {"Angepasst an Karte", BgStretched},
        {"Einfarbiger Hintergrund", BgColor},
    };
    for (const auto& [caption, mode] : radios) {
        auto* rb = new QRadioButton(QString::fromUtf8(caption), box);
        rb->setObjectName(QStringLiteral("Mode%1Radio").arg(mode));
        group_->addButton(rb, mode);
        bl->addWidget(rb);
    }
    modeButton(BgCover)->setChecked(true);
    bl->addWidget(new QLabel(QStringLiteral("Farbe:"), box));
    ColorBox = new ColorCombo(box, &dialogs_);
    ColorBox->setObjectName(QStringLiteral("ColorBox"));
    bl->addWidget(ColorBox);
    bl->addStretch(1);
    layout->addWidget(box);

    connect(OeffnenBtn, &QPushButton::clicked, this,
            [this] { OeffnenClick(runModal_ ? runModal_ : [](QDialog& d) { return d.exec(); }); });
    connect(KeinsBtn, &QPushButton::clicked, this, &Tbkgndform::KeinsClick);
    connect(ZurueckBtn, &QPushButton::clicked, this, &QDialog::accept);
}

QRadioButton* Tbkgndform::modeButton(int mode) const {
    return qobject_cast<QRadioButton*>(group_->button(mode));
}

int Tbkgndform::checkedMode() const {
    return group_->checkedId();  // -1 when none is checked
}

void Tbkgndform::run(const std::function<int(QDialog&)>& runModal) {
    runModal_ = runModal;
    activate();
    runModal(*this);
    closeApply();
    runModal_ = nullptr;
}

void Tbkgndform::activate() {
    const Background& bg = doc_.Working;
    if (QRadioButton* rb = modeButton(bg.BackgroundMode)) rb->setChecked(true);
    ColorBox->setColor(bg.BackgroundColor);
    picture_ = bg.BackgroundPicture;
    fileName_ = bg.BackgroundFile;
    PreviewBox->update();
}

void Tbkgndform::OeffnenClick(const std::function<int(QDialog&)>& runModal) {
    openForm_.prepare(programFolder_, GetDIBOpenFilter());
    if (runModal(openForm_) != QDialog::Accepted) return;
    fileName_ = openForm_.ChosenPicturePath;
    if (!LoadDIBit(picture_, fileName_, programFolder_)) {
        dialogs_.message(
            QStringLiteral("Konnte Bild (") + fileName_ + QStringLiteral(") nicht Laden."),
            kAppTitle, MsgIcon::Error, BtnOk);
        fileName_.clear();
    }
    doc_.Working.BackgroundPicture = picture_;
    doc_.Working.BackgroundFile = fileName_;
    PreviewBox->update();
}

void Tbkgndform::KeinsClick() {
    picture_ = DibImage();
    fileName_.clear();
    doc_.Working.BackgroundMode = BgNone;
    doc_.Working.BackgroundPicture = DibImage();
    doc_.Working.BackgroundFile.clear();
    PreviewBox->update();
}

void Tbkgndform::closeApply() {
    Background& bg = doc_.Working;
    bg.BackgroundMode = checkedMode();
    if (!picture_.isNull()) {
        bg.BackgroundPicture = picture_;
        bg.BackgroundFile = fileName_;
    } else {
        bg.BackgroundPicture = DibImage();
        bg.BackgroundFile.clear();
        if (bg.BackgroundMode != BgColor) bg.BackgroundMode = BgNone;
    }
    bg.BackgroundColor = ColorBox->color();
    if (repaintViews) repaintViews();
}

void Tbkgndform::paintPreview(QWidget* box) {
    QPainter p(box);
    p.fillRect(box->rect(), box->palette().color(QPalette::Window));
    if (picture_.isNull()) return;
    const QRect r =
        backgroundPreviewRect(box->width(), box->height(), picture_.width(), picture_.height());
    if (!r.isEmpty()) DrawDib(p, r.x(), r.y(), r.width(), r.height(), picture_);
}

}  // namespace bb
