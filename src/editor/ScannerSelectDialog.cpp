#include "editor/ScannerSelectDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace bb {

ScannerSelectDialog::ScannerSelectDialog(const QList<ScanDevice>& devices, const QString& current,
                                         QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("ScannerSelectDialog"));
    setWindowTitle(QStringLiteral("Scanner auswählen"));

    DeviceList = new QTreeWidget;
    DeviceList->setObjectName(QStringLiteral("DeviceList"));
    DeviceList->setRootIsDecorated(false);
    DeviceList->setHeaderLabels(
        {QStringLiteral("Gerät"), QStringLiteral("Hersteller"), QStringLiteral("Modell")});
    for (const ScanDevice& d : devices) {
        auto* item = new QTreeWidgetItem(DeviceList, {d.name, d.vendor, d.model});
        item->setData(0, Qt::UserRole, d.name);
    }
    DeviceList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox;
    buttons->addButton(QDialogButtonBox::Ok)
        ->setStatusTip(QStringLiteral("Benutzt den markierten Scanner"));
    buttons->addButton(QStringLiteral("A&bbrechen"), QDialogButtonBox::RejectRole)
        ->setStatusTip(QStringLiteral("Behält den bisherigen Scanner"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(DeviceList, &QTreeWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Wählen Sie den Scanner aus:")));
    layout->addWidget(DeviceList);
    layout->addWidget(buttons);
    resize(520, 280);

    selectDevice(current);
    if (!DeviceList->currentItem() && DeviceList->topLevelItemCount() > 0)
        DeviceList->setCurrentItem(DeviceList->topLevelItem(0));
}

QString ScannerSelectDialog::selectedDevice() const {
    const QTreeWidgetItem* item = DeviceList->currentItem();
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

void ScannerSelectDialog::selectDevice(const QString& name) {
    for (int i = 0; i < DeviceList->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = DeviceList->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toString() == name) {
            DeviceList->setCurrentItem(item);
            return;
        }
    }
}

}  // namespace bb
