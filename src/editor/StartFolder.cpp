#include "editor/StartFolder.h"

#include "document/SettingsStore.h"

#include <QFileInfo>

namespace bb {

void StartFolder::keepIn(SettingsStore* store) {
    store_ = store;
    if (!store_ || !last_.isEmpty()) return;
    last_ = store_->value(key_).toString();
}

QString StartFolder::folderFor(const QString& cardFileName) const {
    if (!last_.isEmpty() && QFileInfo(last_).isDir()) return last_;
    if (!cardFileName.isEmpty()) {
        QString cardsOwn = QFileInfo(cardFileName).absolutePath();
        if (QFileInfo(cardsOwn).isDir()) return cardsOwn;
    }
    return cardFolder_;
}

void StartFolder::remember(const QString& filePath) {
    if (filePath.isEmpty()) return;
    last_ = QFileInfo(filePath).absolutePath();
    if (store_) store_->setValue(key_, last_);
}

}  // namespace bb
