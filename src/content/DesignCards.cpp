#include "content/DesignCards.h"

#include "document/FileErrors.h"
#include "pictures/AtomicWrite.h"
#include "render/Ornaments.h"
#include "render/Preview.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace bb {

bool openDesignCopy(CardDocument& doc, const QString& designPath, CardFileContext& fc) {
    // The caller has settled the open card's changes before choosing the design.
    CardFileContext quiet = fc;
    quiet.isModified = [] { return false; };
    if (!openCardFile(doc, designPath, quiet)) return false;
    doc.fileName.clear();
    doc.pictureSource = QFileInfo(designPath).absoluteFilePath();
    doc.markSaved();
    return true;
}

QString ownDesignNameProblem(const QString& name) {
    if (name.trimmed().isEmpty()) return QStringLiteral("Bitte geben Sie der Vorlage einen Namen.");
    if (name.size() > 100)
        return QStringLiteral("Der Name der Vorlage ist zu lang (höchstens 100 Zeichen).");
    if (name.startsWith(QLatin1Char('.')))
        return QStringLiteral("Der Name einer Vorlage darf nicht mit einem Punkt beginnen.");
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : name) {
        if (c.category() == QChar::Other_Control || forbidden.contains(c))
            return QStringLiteral("Der Name einer Vorlage darf diese Zeichen nicht enthalten: %1")
                .arg(forbidden);
    }
    return {};
}

QString ownDesignPath(const QString& folder, const QString& name) {
    return QDir(folder).filePath(name + QStringLiteral(".kar"));
}

OwnDesignSave saveOwnDesign(CardDocument& doc, const QString& folder, const QString& name,
                            const RenderContext& ctx, const QString& programFolder) {
    OwnDesignSave out;
    out.problem = ownDesignNameProblem(name);
    if (!out.problem.isEmpty()) return out;
    const QFileInfo dir(folder);
    if (folder.isEmpty() || dir.isSymLink() || !dir.isDir()) {
        out.problem = QStringLiteral("Der Ordner für eigene Vorlagen ist nicht verfügbar.");
        return out;
    }
    out.path = ownDesignPath(dir.absoluteFilePath(), name);
    const QFileInfo target(out.path);
    // Only an earlier design is replaced; a link or anything else of that name stays.
    if (target.isSymLink() || (target.exists() && !target.isFile())) {
        out.problem =
            QStringLiteral("Unter diesem Namen liegt im Vorlagenordner schon etwas anderes.");
        return out;
    }
    out.pictures = copyCardPictures(doc, out.path, programFolder);
    // Ornaments travel as their 1.0 pictures too, so the design opens in older programs.
    out.pictures.failed += writeOrnamentPictures(doc, out.path);
    const QByteArray bytes = cardFileBytes(doc, createCardPreview(doc, ctx));
    // The open card keeps referring to its pictures where they were.
    restorePictureReferences(doc, out.pictures);
    const WriteOutcome written = writeFileAtomically(out.path, bytes);
    if (!written.ok) {
        out.problem = fileFailureLine(out.path, written.error);
        return out;
    }
    out.ok = true;
    return out;
}

bool deleteOwnDesign(const QString& folder, const QString& cardPath) {
    const QFileInfo card(cardPath);
    const QFileInfo dir(folder);
    if (dir.isSymLink() || !dir.isDir()) return false;
    if (card.isSymLink() || !card.isFile() ||
        card.suffix().compare(QLatin1String("kar"), Qt::CaseInsensitive) != 0)
        return false;
    if (card.absolutePath() != dir.absoluteFilePath()) return false;
    return QFile::remove(card.absoluteFilePath());
}

}  // namespace bb
