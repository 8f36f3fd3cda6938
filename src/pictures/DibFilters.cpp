#include "pictures/DibFilters.h"

#include "pictures/PictureFormat.h"
#include "pictures/QtCodec.h"

#include <QStringList>

namespace bb {

QString saveFilter() {
    QStringList parts;
    for (const PictureFormat& f : pictureFormats())
        parts << QString::fromUtf8(f.description) << QStringLiteral("*.") + QLatin1String(f.suffix);
    return parts.join(QLatin1Char('|'));
}

QString pictureOpenFilter() {
    QStringList entries, all;
    for (const PictureFormat& f : pictureFormats()) {
        QStringList patterns;
        for (const QString& suffix : f.suffixes()) patterns << QStringLiteral("*.") + suffix;
        entries << QString::fromUtf8(f.description) << patterns.join(QLatin1Char(';'));
        for (const QString& p : patterns)
            if (!all.contains(p)) all << p;
    }
    // The other formats read through Qt (WebP); only those, each by its own plugin.
    QStringList more;
    for (const QByteArray& format : qtPictureFormats()) {
        const QString p = QStringLiteral("*.") + QString::fromLatin1(format).toLower();
        if (!all.contains(p)) more << p;
    }
    all << more;
    QStringList parts{QStringLiteral("Alle Bilddateien"), all.join(QLatin1Char(';'))};
    parts << entries;
    if (!more.isEmpty())
        parts << QStringLiteral("Weitere Bildformate") << more.join(QLatin1Char(';'));
    return parts.join(QLatin1Char('|'));
}

QString dibFilterToQt(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        const QString& desc = parts[i];
        // A description that already names its patterns is kept; Qt reads the last
        // parenthesis as the pattern list, so it must match.
        if (desc.endsWith(QLatin1Char(')')) && desc.contains(QLatin1String("(*")))
            out << desc.left(desc.lastIndexOf(QLatin1Char('('))).trimmed() + QStringLiteral(" (") +
                       patterns + QLatin1Char(')');
        else
            out << desc + QStringLiteral(" (") + patterns + QLatin1Char(')');
    }
    return out.join(QStringLiteral(";;"));
}

}  // namespace bb
