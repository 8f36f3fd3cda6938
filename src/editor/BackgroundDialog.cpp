#include "editor/BackgroundDialog.h"

#include "document/CardDocument.h"
#include "document/ChosenPicture.h"
#include "document/DrawnValues.h"
#include "document/UserDialogs.h"
#include "editor/ColorCombo.h"
#include "editor/PictureOpenDialog.h"
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
    BackgroundPreviewBox(BackgroundDialog& form, QWidget* parent) : QWidget(parent), form_(form) {}

protected:
    void paintEvent(QPaintEvent*) override { form_.paintPreview(this); }

private:
    BackgroundDialog& form_;
};

BackgroundDialog::BackgroundDialog(CardDocument& doc, const EditedSide& edited,
                                   UserDialogs& dialogs, PictureOpenDialog& pictureOpenDialog,
                                   const QString& programFolder, QWidget* parent)
    : QDialog(parent),
      doc_(doc),
      edited_(edited),
      dialogs_(dialogs),
      pictureOpenDialog_(pictureOpenDialog),
      programFolder_(programFolder) {
    setObjectName(QStringLiteral("bkgndform"));
    setWindowTitle(QStringLiteral("Hintergrundbild auswählen"));
    auto* layout = new QHBoxLayout(this);
    auto* left = new QVBoxLayout;
    previewBox = new BackgroundPreviewBox(*this, this);
    previewBox->setObjectName(QStringLiteral("PreviewBox"));
    previewBox->setMinimumSize(388, 281);
    left->addWidget(previewBox, 1);
    auto* buttons = new QHBoxLayout;
    openButton = new QPushButton(QStringLiteral("Ö&ffnen..."), this);
    openButton->setObjectName(QStringLiteral("OeffnenBtn"));
    openButton->setToolTip(QStringLiteral("Öffnet ein Hintergrundbild"));
    openButton->setStatusTip(openButton->toolTip());
    noneButton = new QPushButton(QStringLiteral("&Keins"), this);
    noneButton->setObjectName(QStringLiteral("KeinsBtn"));
    noneButton->setToolTip(QStringLiteral("Kein Hintergrundbild auswählen..."));
    noneButton->setStatusTip(noneButton->toolTip());
    backButton = new QPushButton(QStringLiteral("&Zurück"), this);
    backButton->setObjectName(QStringLiteral("ZurueckBtn"));
    backButton->setToolTip(QStringLiteral("Zurück zum Hauptprogramm..."));
    backButton->setStatusTip(backButton->toolTip());
    buttons->addWidget(openButton);
    buttons->addWidget(noneButton);
    buttons->addWidget(backButton);
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
        rb->setStatusTip(QStringLiteral("Anordnung des Hintergrundes: ") + rb->text());
        group_->addButton(rb, mode);
        bl->addWidget(rb);
    }
    modeButton(BgCover)->setChecked(true);
    bl->addWidget(new QLabel(QStringLiteral("Farbe:"), box));
    colorBox_ = new ColorCombo(box, &dialogs_);
    colorBox_->setObjectName(QStringLiteral("ColorBox"));
    bl->addWidget(colorBox_);
    bl->addStretch(1);
    layout->addWidget(box);

    connect(openButton, &QPushButton::clicked, this,
            [this] { choosePicture(runModal_ ? runModal_ : [](QDialog& d) { return d.exec(); }); });
    connect(noneButton, &QPushButton::clicked, this, &BackgroundDialog::removePicture);
    connect(backButton, &QPushButton::clicked, this, &QDialog::accept);
}

QRadioButton* BackgroundDialog::modeButton(int mode) const {
    return qobject_cast<QRadioButton*>(group_->button(mode));
}

int BackgroundDialog::checkedMode() const {
    return group_->checkedId();  // -1 when none is checked
}

void BackgroundDialog::run(const std::function<int(QDialog&)>& runModal) {
    runModal_ = runModal;
    activate();
    runModal(*this);
    applyAndClose();
    runModal_ = nullptr;
}

void BackgroundDialog::activate() {
    const Background& bg = editedBackground();
    if (QRadioButton* rb = modeButton(bg.backgroundMode)) rb->setChecked(true);
    colorBox_->setColor(bg.backgroundColor);
    picture_ = bg.backgroundPicture;
    fileName_ = bg.backgroundFile;
    previewBox->update();
}

void BackgroundDialog::choosePicture(const std::function<int(QDialog&)>& runModal) {
    pictureOpenDialog_.prepare(pictureOpenDialog_.startFolder().folderFor(doc_.fileName),
                               pictureOpenFilter());
    if (runModal(pictureOpenDialog_) != QDialog::Accepted) return;
    fileName_ = pictureOpenDialog_.chosenPath;
    // The background's present picture is replaced, so it does not count against the budget.
    // A deferred picture holds no pixels and is not counted.
    const bool counted = !picture_.isNull() && !picture_.isDeferred();
    const qint64 others = cardPictureBytes(doc_) - (counted ? picture_.byteCount() : 0);
    if (!loadChosenPicture(picture_, fileName_, programFolder_, std::max<qint64>(0, others),
                           dialogs_, kAppTitle)) {
        fileName_.clear();
    } else if (checkedMode() < BgStretched || checkedMode() > BgTiled) {
        // A picture chosen under the solid colour (or no arrangement) would not be shown:
        // it takes the first arrangement of the list.
        modeButton(BgCover)->setChecked(true);
    }
    editedBackground().backgroundPicture = picture_;
    editedBackground().backgroundFile = fileName_;
    previewBox->update();
}

void BackgroundDialog::removePicture() {
    picture_ = DibImage();
    fileName_.clear();
    editedBackground().backgroundMode = BgNone;
    editedBackground().backgroundPicture = DibImage();
    editedBackground().backgroundFile.clear();
    previewBox->update();
}

void BackgroundDialog::applyAndClose() {
    Background& bg = editedBackground();
    bg.backgroundMode = checkedMode();
    if (!picture_.isNull()) {
        bg.backgroundPicture = picture_;
        bg.backgroundFile = fileName_;
    } else {
        bg.backgroundPicture = DibImage();
        bg.backgroundFile.clear();
    }
    settleBackground(bg);
    bg.backgroundColor = colorBox_->color();
    if (repaintViews) repaintViews();
}

void BackgroundDialog::paintPreview(QWidget* box) {
    QPainter p(box);
    p.fillRect(box->rect(), box->palette().color(QPalette::Window));
    if (picture_.isNull()) return;
    const QRect r =
        backgroundPreviewRect(box->width(), box->height(), picture_.width(), picture_.height());
    if (!r.isEmpty()) DrawDib(p, r.x(), r.y(), r.width(), r.height(), picture_);
}

}  // namespace bb
