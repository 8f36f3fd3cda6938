#include "document/CardPictures.h"

#include "document/Cp1252.h"
#include "document/FileErrors.h"
#include "pictures/AtomicWrite.h"
#include "pictures/PictureFile.h"
#include "pictures/PictureOps.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <optional>

namespace bb {

namespace {

bool sameFile(const QString& a, const QString& b) {
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}

bool sameContent(const QString& a, const QString& b) {
    if (sameFile(a, b)) return true;
    QFile fa(a), fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly)) return false;
    if (fa.size() != fb.size()) return false;
    constexpr qint64 kChunk = 1 << 20;
    while (!fa.atEnd()) {
        const QByteArray x = fa.read(kChunk);
        if (x.isEmpty() || x != fb.read(kChunk)) return false;
    }
    return true;
}

// The card stores names in Windows-1252: a character it cannot hold would come back as "?"
// and the file would not be found, so it becomes "_" in the copy's name.
QString storableName(const QString& name) {
    QString out = name;
    for (QChar& c : out) {
        bool replaced = false;
        toCp1252(QString(c), &replaced);
        if (replaced) c = QLatin1Char('_');
    }
    return out;
}

// "Name.jpg", "Name (2).jpg", "Name (3).jpg", ...
QString numberedName(const QString& name, int n) {
    if (n <= 1) return name;
    const QFileInfo info(name);
    const QString suffix = info.suffix();
    const QString base = suffix.isEmpty() ? name : info.completeBaseName();
    return QStringLiteral("%1 (%2)").arg(base).arg(n) +
           (suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
}

class PictureCopier {
public:
    PictureCopier(const QString& oldCardPath, const QString& cardPath, const QString& programFolder,
                  CardPictureCopy& result)
        : oldCardPath_(oldCardPath),
          folder_(QFileInfo(cardPath).absolutePath()),
          programFolder_(programFolder),
          result_(result) {}

    // Copies the picture stored as `name` (once per name) and gives the bare name the card
    // is to store, or nothing when the reference stays.
    std::optional<QString> place(const QString& name) {
        const auto known = done_.constFind(name);
        if (known != done_.constEnd()) return *known;
        std::optional<QString> placed = copy(name);
        done_.insert(name, placed);
        return placed;
    }

private:
    std::optional<QString> copy(const QString& name) {
        const QString source = findStoredPicture(name, oldCardPath_, programFolder_);
        if (source.isEmpty()) {
            result_.missing << name;
            return std::nullopt;
        }
        // Only a picture is copied: a card may name any file (a key, /proc/self/environ), and
        // copying it would put it beside the card and link the card to it.
        const PictureError why = probePictureFile(source).error;
        if (why != PictureError::None && why != PictureError::TooLarge) {
            result_.notPictures << name + QStringLiteral(": ") + pictureErrorText(why);
            return std::nullopt;
        }
        const QString wanted = storableName(QFileInfo(source).fileName());
        for (int n = 1;; ++n) {
            const QString candidate = numberedName(wanted, n);
            if (shadowedByProgramFolder(candidate, source)) continue;
            const QString target = folder_ + QLatin1Char('/') + candidate;
            if (QFileInfo::exists(target) || QFileInfo(target).isSymLink()) {
                if (!QFileInfo(target).isFile() || !sameContent(source, target)) continue;
                result_.reused << candidate;
                return candidate;
            }
            const WriteOutcome copied = copyToNewFile(source, target);
            if (!copied.ok) {
                result_.failed << name + QStringLiteral(": ") + fileErrorReason(copied.error);
                return std::nullopt;
            }
            result_.copied << source + QStringLiteral(" -> ") + candidate;
            return candidate;
        }
    }

    // The reader looks for a bare name in the program folder first: a different file there
    // would be found instead of the copy.
    bool shadowedByProgramFolder(const QString& candidate, const QString& source) const {
        if (programFolder_.isEmpty() || sameFile(programFolder_, folder_)) return false;
        const QString there = programFolder_ + QLatin1Char('/') + candidate;
        return QFileInfo::exists(there) && !sameContent(source, there);
    }

    QString oldCardPath_;
    QString folder_;
    QString programFolder_;
    CardPictureCopy& result_;
    QHash<QString, std::optional<QString>> done_;
};

}  // namespace

QString findStoredPicture(const QString& name, const QString& cardPath,
                          const QString& programFolder) {
    const QString cardFolder = cardPath.isEmpty() ? QString() : QFileInfo(cardPath).absolutePath();
    for (const QString& candidate : pictureNameCandidates(name, cardFolder, programFolder)) {
        const QFileInfo info(candidate);
        if (info.isFile()) return info.absoluteFilePath();
    }
    return {};
}

CardPictureCopy copyCardPictures(CardDocument& doc, const QString& cardPath,
                                 const QString& programFolder) {
    CardPictureCopy result;
    // A card made from a design has no file yet: its pictures lie beside the design.
    PictureCopier copier(doc.fileName.isEmpty() ? doc.pictureSource : doc.fileName, cardPath,
                         programFolder, result);
    const auto relink = [&](QString& reference, int side, int slot) {
        const std::optional<QString> placed = copier.place(reference);
        if (!placed || *placed == reference) return;
        result.changes.push_back({side, slot, reference});
        reference = *placed;
    };
    for (int side : {SideOutside, SideInside}) {
        Background& bg = doc.sideBackground(side);
        // The reader loads a background picture exactly when these hold.
        if (bg.backgroundMode != BgNone && !bg.backgroundFile.isEmpty())
            relink(bg.backgroundFile, side, 0);
        const SlotTable& table = doc.sideSlots(side);
        for (int slot = 1; slot <= kSlotCount; ++slot) {
            CardObject& o = *table[slot];
            if (o.kind == KindPicture && !o.content.isEmpty()) relink(o.content, side, slot);
        }
    }
    return result;
}

void restorePictureReferences(CardDocument& doc, const CardPictureCopy& copy) {
    for (const CardPictureCopy::Change& c : copy.changes) {
        if (c.slot == 0)
            doc.sideBackground(c.side).backgroundFile = c.before;
        else
            doc.sideSlots(c.side)[c.slot]->content = c.before;
    }
}

QString pictureCopyMessage(const CardPictureCopy& copy) {
    QStringList parts;
    if (!copy.missing.isEmpty())
        parts << QStringLiteral("Diese Bilder wurden nicht gefunden und nicht kopiert:\n") +
                     copy.missing.join(QLatin1Char('\n'));
    if (!copy.notPictures.isEmpty())
        parts << QStringLiteral(
                     "Diese Dateien sind keine lesbaren Bilder und wurden nicht "
                     "kopiert:\n") +
                     copy.notPictures.join(QLatin1Char('\n'));
    if (!copy.failed.isEmpty())
        parts << QStringLiteral("Diese Bilder konnten nicht kopiert werden:\n") +
                     copy.failed.join(QLatin1Char('\n'));
    return parts.join(QStringLiteral("\n\n"));
}

}  // namespace bb
