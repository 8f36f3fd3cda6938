#include "editor/StartFolder.h"

#include <QFileInfo>
#include <QSettings>

namespace bb {

void StartFolder::setPersistent(bool persistent) {
    persistent_ = persistent;
    if (!persistent_ || !last_.isEmpty()) return;
    last_ = QSettings().value(key_).toString();
}

QString StartFolder::folderFor(const QString& cardFileName) const {
    if (!last_.isEmpty() && QFileInfo(last_).isDir()) return last_;
    if (!cardFileName.isEmpty()) {
        const QString cardsOwn = QFileInfo(cardFileName).absolutePath();
        if (QFileInfo(cardsOwn).isDir()) return cardsOwn;
    }
    return cardFolder_;
}

void StartFolder::remember(const QString& filePath) {
    if (filePath.isEmpty()) return;
    last_ = QFileInfo(filePath).absolutePath();
    if (persistent_) QSettings().setValue(key_, last_);
}

}  // namespace bb
