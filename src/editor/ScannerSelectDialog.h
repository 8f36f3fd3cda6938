// The scanner choice: a list of the devices SANE knows (name, maker, model).
#pragma once

#include "scan/Scanner.h"

#include <QDialog>

class QTreeWidget;

namespace bb {

class ScannerSelectDialog : public QDialog {
    Q_OBJECT
public:
    // Lists `devices` and preselects the one named `current` (else the first).
    ScannerSelectDialog(const QList<ScanDevice>& devices, const QString& current,
                        QWidget* parent = nullptr);

    // The device name of the selected row, empty when none.
    QString selectedDevice() const;
    void selectDevice(const QString& name);

    QTreeWidget* DeviceList = nullptr;
};

}  // namespace bb
