// The "Absender" dialog; see SenderDialog.h.
#include "print/ui/SenderDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace bb {

SenderDialog::SenderDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AbsenderDlg"));
    setWindowTitle(QStringLiteral("Absender"));
    const auto edit = [this](const char* name, const QString& placeholder) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setPlaceholderText(placeholder);
        e->setMinimumWidth(260);
        return e;
    };
    name_ = edit("SenderNameEdit", QStringLiteral("Vorname Nachname"));
    street_ = edit("SenderStreetEdit", QStringLiteral("Straße und Hausnummer"));
    place_ = edit("SenderPlaceEdit", QStringLiteral("Postleitzahl und Ort"));
    country_ = edit("SenderCountryEdit", kDefaultSenderCountry);

    auto* note =
        new QLabel(QStringLiteral("Der Absender steht oben links auf jedem Umschlag. Empfänger im "
                                  "selben Land bekommen keine Länderzeile."),
                   this);
    note->setWordWrap(true);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&Name:"), name_);
    form->addRow(QStringLiteral("&Straße:"), street_);
    form->addRow(QStringLiteral("&PLZ Ort:"), place_);
    form->addRow(QStringLiteral("&Land:"), country_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("OkBtn"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Abbrechen"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("CancelBtn"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(note);
    layout->addLayout(form);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void SenderDialog::fill(const SenderFields& sender) {
    name_->setText(sender.name);
    street_->setText(sender.street);
    place_->setText(sender.place);
    country_->setText(sender.country);
}

SenderFields SenderDialog::fields() const {
    SenderFields s;
    s.name = name_->text().simplified();
    s.street = street_->text().simplified();
    s.place = place_->text().simplified();
    s.country = country_->text().simplified();
    // An emptied country field means the usual one again.
    if (s.country.isEmpty()) s.country = kDefaultSenderCountry;
    return s;
}

}  // namespace bb
