// The dialogs of "Als PDF speichern" and "Per E-Mail senden"; see SendDialogs.h.
#include "app/SendDialogs.h"

#include "editor/DialogButtons.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace bb {

namespace {

QRadioButton* radio(QWidget* parent, QLayout* layout, const QString& text, const char* name) {
    auto* button = new QRadioButton(text, parent);
    button->setObjectName(QLatin1String(name));
    layout->addWidget(button);
    return button;
}

// A titled group of two exclusive choices, the first one chosen.
QGroupBox* choiceGroup(QWidget* parent, const QString& title, const char* name,
                       QRadioButton*& first, const QString& firstText, const char* firstName,
                       QRadioButton*& second, const QString& secondText, const char* secondName) {
    auto* group = new QGroupBox(title, parent);
    group->setObjectName(QLatin1String(name));
    auto* layout = new QVBoxLayout(group);
    first = radio(group, layout, firstText, firstName);
    second = radio(group, layout, secondText, secondName);
    first->setChecked(true);
    return group;
}

}  // namespace

PdfOptionsDialog::PdfOptionsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("PdfOptionsDialog"));
    setWindowTitle(QStringLiteral("Als PDF speichern"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(choiceGroup(this, QStringLiteral("Anordnung"), "PdfAnordnungGroup", folded_,
                                  QStringLiteral("Wie &gedruckt (Außen- und Innenseite je eine "
                                                 "Seite)"),
                                  "PdfGefaltetRadio", stacked_,
                                  QStringLiteral("Beide Seiten &untereinander"),
                                  "PdfUntereinanderRadio"));
    folded_->setStatusTip(QStringLiteral("Seite 1 die Außenseite, Seite 2 die Innenseite"));
    stacked_->setStatusTip(QStringLiteral("Eine Seite: die Außenseite über der Innenseite"));
    marks_ = new QCheckBox(QStringLiteral("&Schnittmarken"), this);
    marks_->setObjectName(QStringLiteral("PdfSchnittmarkenCheck"));
    marks_->setStatusTip(
        QStringLiteral("Feine Marken außerhalb der Karte zeigen, wo geschnitten und gefalzt wird"));
    layout->addWidget(marks_);
    bleed_ = new QCheckBox(QStringLiteral("&3 mm Beschnitt"), this);
    bleed_->setObjectName(QStringLiteral("PdfBeschnittCheck"));
    bleed_->setStatusTip(
        QStringLiteral("Der Hintergrund reicht 3 mm über den Rand, wie es Druckereien verlangen"));
    layout->addWidget(bleed_);
    addOkCancel(this, layout, QStringLiteral("&Weiter..."));
}

CardPdfOptions PdfOptionsDialog::options(CardPdfOptions base) const {
    base.layout = stacked_->isChecked() ? CardPdfOptions::SidesStacked : CardPdfOptions::Folded;
    base.cropMarks = marks_->isChecked();
    base.bleedMm = bleed_->isChecked() ? kPrintShopBleedMm : 0;
    return base;
}

void PdfOptionsDialog::setOptions(const CardPdfOptions& options) {
    (options.layout == CardPdfOptions::SidesStacked ? stacked_ : folded_)->setChecked(true);
    marks_->setChecked(options.cropMarks);
    bleed_->setChecked(options.bleedMm > 0);
}

MailOptionsDialog::MailOptionsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("MailOptionsDialog"));
    setWindowTitle(QStringLiteral("Per E-Mail senden"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(choiceGroup(this, QStringLiteral("Was"), "MailSeitenGroup", outside_,
                                  QStringLiteral("Nur die &Außenseite"), "MailAussenRadio", both_,
                                  QStringLiteral("B&eide Seiten"), "MailBeideRadio"));
    layout->addWidget(choiceGroup(this, QStringLiteral("Als"), "MailFormatGroup", jpeg_,
                                  QStringLiteral("&JPEG-Bild"), "MailJpegRadio", pdf_,
                                  QStringLiteral("&PDF-Datei"), "MailPdfRadio"));
    outside_->setStatusTip(
        QStringLiteral("Die Vorderseite mit der Rückseite, wie man sie von außen sieht"));
    both_->setStatusTip(QStringLiteral("Dazu die Innenseite mit dem Gruß"));
    jpeg_->setStatusTip(QStringLiteral("Ein Bild je Seite, das jedes Telefon zeigt"));
    pdf_->setStatusTip(QStringLiteral("Eine PDF-Datei, zum Ausdrucken beim Empfänger"));
    addOkCancel(this, layout, QStringLiteral("&Senden"));
}

MailContent MailOptionsDialog::content() const {
    return MailContent{both_->isChecked(), pdf_->isChecked()};
}

void MailOptionsDialog::setContent(const MailContent& content) {
    (content.bothSides ? both_ : outside_)->setChecked(true);
    (content.pdf ? pdf_ : jpeg_)->setChecked(true);
}

QString mailFallbackText(const QString& failure, const QStringList& files) {
    QStringList shown;
    for (const QString& file : files) shown << QDir::toNativeSeparators(file);
    return failure +
           (files.size() == 1 ? QStringLiteral("\n\nDie Datei liegt hier:\n")
                              : QStringLiteral("\n\nDie Dateien liegen hier:\n")) +
           shown.join(QLatin1Char('\n'));
}

bool askToShowMailFolder(const QString& text, QWidget* parent) {
    QMessageBox box(QMessageBox::Information, QStringLiteral("Per E-Mail senden"), text,
                    QMessageBox::NoButton, parent);
    box.setObjectName(QStringLiteral("MailFallbackBox"));
    QPushButton* show = box.addButton(QStringLiteral("Im &Ordner zeigen"), QMessageBox::AcceptRole);
    show->setObjectName(QStringLiteral("ImOrdnerZeigenBtn"));
    box.addButton(QStringLiteral("&Schließen"), QMessageBox::RejectRole);
    box.setDefaultButton(show);
    box.exec();
    return box.clickedButton() == show;
}

}  // namespace bb
