// A field for a length in millimetres, in German notation whatever the desktop's language:
// "2,50" with a decimal comma and no thousands separator. A typed point counts as the decimal
// comma, as a user on a keyboard with a point on its number pad means it; a plain German
// field would take "2.5" for 25. Header-only, so that every dialog with lengths can use it
// without linking the editor.
#pragma once

#include <QDoubleSpinBox>
#include <QLocale>

namespace bb {

class MillimetreField : public QDoubleSpinBox {
public:
    explicit MillimetreField(QWidget* parent = nullptr) : QDoubleSpinBox(parent) {
        QLocale german(QLocale::German, QLocale::Germany);
        german.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
        setLocale(german);
        setGroupSeparatorShown(false);
    }

    // The text with every point turned into the decimal comma.
    static QString withComma(QString text) { return text.replace(QLatin1Char('.'), QChar(u',')); }

    QValidator::State validate(QString& text, int& pos) const override {
        text = withComma(text);
        return QDoubleSpinBox::validate(text, pos);
    }
    void fixup(QString& text) const override {
        text = withComma(text);
        QDoubleSpinBox::fixup(text);
    }
    double valueFromText(const QString& text) const override {
        return QDoubleSpinBox::valueFromText(withComma(text));
    }
};

}  // namespace bb
