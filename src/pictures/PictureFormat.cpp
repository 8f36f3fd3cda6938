#include "pictures/PictureFormat.h"

namespace bb {

QString PictureFormat::extension(bool upperCase) const {
    const QString ext = QStringLiteral(".") + QLatin1String(suffix);
    return upperCase ? ext.toUpper() : ext;
}

QStringList PictureFormat::suffixes() const {
    QStringList all{QLatin1String(suffix)};
    for (const char* alias : aliases)
        if (alias) all << QLatin1String(alias);
    return all;
}

const PictureFormat* pictureFormatForType(int typeCode) {
    for (const PictureFormat& f : pictureFormats())
        if (f.typeCode == typeCode) return &f;
    return nullptr;
}

const PictureFormat* pictureFormatForFilterIndex(int filterIndex) {
    const std::span<const PictureFormat> all = pictureFormats();
    if (filterIndex < 1 || filterIndex > int(all.size())) return nullptr;
    return &all[size_t(filterIndex - 1)];
}

const PictureFormat* pictureFormatForName(const QString& nameOrSuffix) {
    QString key = nameOrSuffix.trimmed().toLower();
    if (key.startsWith(QLatin1Char('.'))) key.remove(0, 1);
    if (key.isEmpty()) return nullptr;
    for (const PictureFormat& f : pictureFormats())
        if (key == QString::fromLatin1(f.name).toLower() || f.suffixes().contains(key)) return &f;
    return nullptr;
}

QStringList pictureFormatNames() {
    QStringList names;
    for (const PictureFormat& f : pictureFormats()) names << QLatin1String(f.name);
    return names;
}

int formatCodeForFilterIndex(int filterIndex) {
    const PictureFormat* f = pictureFormatForFilterIndex(filterIndex);
    return f ? f->typeCode : 0;
}

int filterIndexForFormat(const QString& nameOrExtension) {
    const PictureFormat* f = pictureFormatForName(nameOrExtension);
    return f ? f->filterIndex() : 0;
}

QString saveFormatExtension(int filterIndex, bool upperCase) {
    const PictureFormat* f = pictureFormatForFilterIndex(filterIndex);
    return f ? f->extension(upperCase) : QString();
}

}  // namespace bb
