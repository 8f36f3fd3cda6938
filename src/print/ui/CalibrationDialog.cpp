// The printer calibration dialog; see CalibrationDialog.h.
#include "print/ui/CalibrationDialog.h"

#include "document/FileErrors.h"
#include "document/UserDialogs.h"
#include "editor/MillimetreField.h"
#include "print/Calibration.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"

#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace bb {

namespace {

QDoubleSpinBox* makeField(const char* name, CalibrationRange range, double value) {
    auto* field = new MillimetreField;
    field->setObjectName(QLatin1String(name));
    field->setDecimals(2);
    field->setRange(range.min, range.max);
    field->setSingleStep(0.1);
    field->setValue(value);
    return field;
}

}  // namespace

CalibrationDialog::CalibrationDialog(const QString& programFolder, PrinterTarget& printer,
                                     UserDialogs& dialogs, QWidget* parent)
    : QDialog(parent), path_(calibrationPath(programFolder)), printer_(printer), dialogs_(dialogs) {
    setObjectName(QStringLiteral("KalForm"));
    setWindowTitle(QStringLiteral("Drucker kalibrieren - Die Feineinstellung "));

    auto* explanation = new QLabel(QStringLiteral(
        "Dies ist eine Feineinstellung des Druckers, die den Ausdruck verschiebt und "
        "vergrößert/verkleinert.\nDurch diese Funktion, werden die Ausdrucke sehr genau, "
        "führen Sie diesen Test für jeden neuen Drucker durch."));
    explanation->setWordWrap(true);

    leftEdit = makeField("LinksEd", kOffsetRange, 0);
    topEdit = makeField("ObenEd", kOffsetRange, 0);
    widthEdit = makeField("BreitEd", kSizeRange, 100);
    heightEdit = makeField("HochEd", kSizeRange, 100);

    auto* group = new QGroupBox(QStringLiteral("Testrechteck"));
    auto* grid = new QGridLayout(group);
    const struct {
        const char* label;
        QDoubleSpinBox* field;
        const char* hint;
    } rows[] = {
        {"Abstand zum linken Seitenrand:", leftEdit, "(ca. 3 mm)"},
        {"Abstand zum oberen Seitenrand:", topEdit, "(ca. 3 mm)"},
        {"Breite des Rechtecks:", widthEdit, "(ca. 100 mm)"},
        {"Höhe des Rechtecks:", heightEdit, "(ca. 100 mm)"},
    };
    int r = 0;
    for (const auto& row : rows) {
        grid->addWidget(new QLabel(QString::fromUtf8(row.label)), r, 0);
        grid->addWidget(row.field, r, 1);
        grid->addWidget(new QLabel(QStringLiteral("mm")), r, 2);
        grid->addWidget(new QLabel(QString::fromUtf8(row.hint)), r, 3);
        ++r;
    }
    auto* measure = new QLabel(QStringLiteral(
        "Messen Sie auf dem Testrechteck-Ausdruck diese Werte ab und korrigieren Sie die "
        "Einstellungen entsprechend."));
    measure->setWordWrap(true);
    grid->addWidget(measure, r, 0, 1, 4);

    auto* testBtn = new QPushButton(QStringLiteral("Testrechteck drucken..."));
    testBtn->setObjectName(QStringLiteral("BitBtn1"));
    testBtn->setStatusTip(QStringLiteral("Druckt ein Rechteck zum Nachmessen"));
    auto* backBtn = new QPushButton(QStringLiteral("Zurück..."));
    backBtn->setObjectName(QStringLiteral("BackBtn"));
    backBtn->setStatusTip(QStringLiteral("Speichert die Maße und schließt das Fenster"));
    backBtn->setAutoDefault(false);
    testBtn->setAutoDefault(false);
    connect(testBtn, &QPushButton::clicked, this, &CalibrationDialog::printTestPage);
    connect(backBtn, &QPushButton::clicked, this, &QDialog::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(testBtn);
    buttons->addStretch();
    buttons->addWidget(backBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(explanation);
    layout->addWidget(group);
    layout->addLayout(buttons);

    load();
}

Calibration CalibrationDialog::values() const {
    return Calibration{leftEdit->value(), topEdit->value(), widthEdit->value(),
                       heightEdit->value()};
}

void CalibrationDialog::setValues(const Calibration& c) {
    const Calibration n = normalizedCalibration(c);
    leftEdit->setValue(n.leftOffset);
    topEdit->setValue(n.topOffset);
    widthEdit->setValue(n.measuredWidth);
    heightEdit->setValue(n.measuredHeight);
}

void CalibrationDialog::load() {
    if (const auto stored = readCalibrationFile(path_)) setValues(*stored);
}

bool CalibrationDialog::save() const {
    int error = 0;
    if (writeCalibrationFile(path_, values(), &error)) return true;
    dialogs_.message(QStringLiteral("Die Kalibrierung konnte nicht gespeichert werden.\n") +
                         fileFailureLine(path_, error),
                     kAppTitle, MsgIcon::Warning, BtnOk);
    return false;
}

void CalibrationDialog::done(int result) {
    save();
    QDialog::done(result);
}

void CalibrationDialog::printTestPage() {
    if (!printer_.chooseOutput(dialogs_)) return;
    const PrintRunResult result = printTestSquare(printer_.printer());
    if (!result.ok) dialogs_.message(result.error, kAppTitle, MsgIcon::Error, BtnOk);
}

}  // namespace bb
