#include "editor/FontDialog.h"

#include "editor/ColorCombo.h"
#include "editor/DialogButtons.h"
#include "pictures/DibImage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

namespace bb {

namespace {

// The largest point size a text keeps (its height must fit the stored field).
constexpr int kMaxPointSize = 1638;

QLabel* namedLabel(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(name));
    return label;
}

}  // namespace

FontDialog::FontDialog(UserDialogs* dialogs, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("FontDialog1"));
    setWindowTitle(QStringLiteral("Schriftart"));
    auto* layout = new QVBoxLayout(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);

    familyBox = new QFontComboBox(this);
    familyBox->setObjectName(QStringLiteral("FontNameBox"));
    familyBox->setFontFilters(QFontComboBox::ScalableFonts);
    familyBox->setEditable(false);
    styleBox = new QComboBox(this);
    styleBox->setObjectName(QStringLiteral("FontStyleBox"));
    styleBox->addItems({QStringLiteral("Standard"), QStringLiteral("Kursiv"),
                        QStringLiteral("Fett"), QStringLiteral("Fett Kursiv")});
    sizeEdit = new QSpinBox(this);
    sizeEdit->setObjectName(QStringLiteral("FontSizeEdit"));
    sizeEdit->setRange(1, kMaxPointSize);
    sizeEdit->setValue(12);

    QLabel* familyLabel = namedLabel(QStringLiteral("Schrift&art:"), "FontNameLabel", this);
    QLabel* styleLabel = namedLabel(QStringLiteral("Schrift&schnitt:"), "FontStyleLabel", this);
    QLabel* sizeLabel = namedLabel(QStringLiteral("Schrift&grad:"), "FontSizeLabel", this);
    familyLabel->setBuddy(familyBox);
    styleLabel->setBuddy(styleBox);
    sizeLabel->setBuddy(sizeEdit);
    grid->addWidget(familyLabel, 0, 0);
    grid->addWidget(styleLabel, 0, 1);
    grid->addWidget(sizeLabel, 0, 2);
    grid->addWidget(familyBox, 1, 0);
    grid->addWidget(styleBox, 1, 1);
    grid->addWidget(sizeEdit, 1, 2);
    grid->setColumnStretch(0, 1);

    auto* lower = new QHBoxLayout;
    layout->addLayout(lower);
    auto* effects = new QGroupBox(QStringLiteral("Effekte"), this);
    effects->setObjectName(QStringLiteral("EffectsGroup"));
    auto* el = new QVBoxLayout(effects);
    strikeOutCheck = new QCheckBox(QStringLiteral("&Durchgestrichen"), effects);
    strikeOutCheck->setObjectName(QStringLiteral("StrikeOutCheck"));
    underlineCheck = new QCheckBox(QStringLiteral("&Unterstrichen"), effects);
    underlineCheck->setObjectName(QStringLiteral("UnderlineCheck"));
    colorBox = new ColorCombo(effects, dialogs);
    colorBox->setObjectName(QStringLiteral("FontColorBox"));
    QLabel* colorLabel = namedLabel(QStringLiteral("&Farbe:"), "FontColorLabel", effects);
    colorLabel->setBuddy(colorBox);
    el->addWidget(strikeOutCheck);
    el->addWidget(underlineCheck);
    el->addWidget(colorLabel);
    el->addWidget(colorBox);
    el->addStretch(1);
    lower->addWidget(effects);

    auto* sample = new QGroupBox(QStringLiteral("Beispiel"), this);
    sample->setObjectName(QStringLiteral("SampleGroup"));
    auto* sl = new QVBoxLayout(sample);
    sampleLabel = namedLabel(QStringLiteral("AaBbYyZzÄöÜß"), "SampleLabel", sample);
    sampleLabel->setAlignment(Qt::AlignCenter);
    sampleLabel->setMinimumSize(sampleLabel->fontMetrics().averageCharWidth() * 24,
                                sampleLabel->fontMetrics().height() * 4);
    sl->addWidget(sampleLabel);
    lower->addWidget(sample, 1);
    addOkCancel(this, layout);

    connect(familyBox, &QFontComboBox::currentFontChanged, this, [this](const QFont& f) {
        if (loading_) return;
        family_ = f.family();
        fixedPitch_ = QFontDatabase::isFixedPitch(family_);
        showSample();
    });
    connect(styleBox, &QComboBox::currentIndexChanged, this, [this] { showSample(); });
    connect(sizeEdit, &QSpinBox::valueChanged, this, [this] { showSample(); });
    connect(strikeOutCheck, &QCheckBox::toggled, this, [this] { showSample(); });
    connect(underlineCheck, &QCheckBox::toggled, this, [this] { showSample(); });
    connect(colorBox, &ColorCombo::colorChanged, this, [this] { showSample(); });

    setChoice(QFont(QStringLiteral("Times New Roman"), 12), Qt::black);
}

void FontDialog::setChoice(const QFont& font, const QColor& color) {
    loading_ = true;
    family_ = font.family();
    fixedPitch_ = font.fixedPitch();
    familyBox->setCurrentFont(font);
    styleBox->setCurrentIndex((font.bold() ? Bold : Regular) + (font.italic() ? Italic : 0));
    int size = font.pointSize();
    if (size <= 0 && font.pixelSize() > 0) size = qRound(font.pixelSize() * 72.0 / 96.0);
    sizeEdit->setValue(qBound(1, size, kMaxPointSize));
    strikeOutCheck->setChecked(font.strikeOut());
    underlineCheck->setChecked(font.underline());
    colorBox->setColor(fromQColor(color.isValid() ? color : QColor(Qt::black)));
    loading_ = false;
    showSample();
}

QFont FontDialog::chosenFont() const {
    QFont font(family_);
    font.setPointSize(sizeEdit->value());
    const int style = styleBox->currentIndex();
    font.setBold(style == Bold || style == BoldItalic);
    font.setItalic(style == Italic || style == BoldItalic);
    font.setStrikeOut(strikeOutCheck->isChecked());
    font.setUnderline(underlineCheck->isChecked());
    font.setFixedPitch(fixedPitch_);
    return font;
}

QColor FontDialog::chosenColor() const {
    return toQColor(colorBox->color());
}

void FontDialog::showSample() {
    if (loading_) return;
    QFont font = chosenFont();
    // The sample shows the face, not the size: large sizes would not fit the box.
    font.setPointSize(qMin(font.pointSize(), 28));
    sampleLabel->setFont(font);
    QPalette p = sampleLabel->palette();
    p.setColor(QPalette::WindowText, chosenColor());
    sampleLabel->setPalette(p);
}

}  // namespace bb
