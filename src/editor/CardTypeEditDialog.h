// "Kartentyp bearbeiten": the fields of one card type, with gaps instead of pitches. Created
// once and reused; it keeps the values it showed last.
#pragma once

#include "document/CardFormat.h"
#include "document/CardTypeFields.h"

#include <QDialog>

#include <functional>

class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

namespace bb {

class UserDialogs;

class CardTypeEditDialog : public QDialog {
    Q_OBJECT
public:
    explicit CardTypeEditDialog(UserDialogs& dialogs, QWidget* parent = nullptr);

    // Fills the fields from a card format (gap := pitch − size).
    void fill(const CardFormat& format);
    // Reads the fields back (pitch := size + gap, name cut to 50 characters).
    CardFormat readBack() const;
    CardTypeFields fields() const;
    void setFields(const CardTypeFields& f);

    // Shows the dialog modally; the hook replaces the modal loop in tests (it gets the
    // dialog, may change its fields, and returns Accepted or Rejected). OK with fields that
    // make no usable card type is refused with a message; from a hook that counts as Cancel.
    int runModal();
    // True when the fields make a usable card type; otherwise tells the user why. A grid that
    // no known paper holds is allowed after a warning that the user confirms with OK.
    bool confirmValues();
    void accept() override;
    void setModalHook(std::function<int(CardTypeEditDialog&)> hook) { hook_ = std::move(hook); }

    QLineEdit* nameEdit = nullptr;
    QDoubleSpinBox* leftMarginEdit = nullptr;
    QDoubleSpinBox* topMarginEdit = nullptr;
    QDoubleSpinBox* widthEdit = nullptr;
    QDoubleSpinBox* heightEdit = nullptr;
    QDoubleSpinBox* horizontalGapEdit = nullptr;
    QDoubleSpinBox* verticalGapEdit = nullptr;
    QSpinBox* cardsAcrossEdit = nullptr;
    QSpinBox* cardsDownEdit = nullptr;

private:
    UserDialogs& dialogs_;
    std::function<int(CardTypeEditDialog&)> hook_;
};

}  // namespace bb
