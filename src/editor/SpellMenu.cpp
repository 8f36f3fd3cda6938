#include "editor/SpellMenu.h"

#include "spell/SpellChecker.h"

#include <QAction>
#include <QLineF>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace bb {

void addSpellingEntries(QMenu& menu, SpellChecker& checker, const QString& word,
                        const std::function<void(const QString&)>& replace,
                        const std::function<void()>& added) {
    QAction* before = menu.actions().isEmpty() ? nullptr : menu.actions().front();
    const QStringList suggestions = checker.suggestions(word);
    QList<QAction*> entries;
    for (const QString& s : suggestions) {
        auto* a = new QAction(s, &menu);
        QObject::connect(a, &QAction::triggered, &menu, [replace, s] { replace(s); });
        entries << a;
    }
    if (suggestions.isEmpty()) {
        auto* none = new QAction(QStringLiteral("(Keine Vorschläge)"), &menu);
        none->setEnabled(false);
        entries << none;
    }
    auto* add = new QAction(QStringLiteral("Zum Wörterbuch hinzufügen"), &menu);
    add->setObjectName(QStringLiteral("ZumWoerterbuch"));
    QObject::connect(add, &QAction::triggered, &menu, [&checker, word, added] {
        checker.addWord(word);
        added();
    });
    entries << add;
    menu.insertActions(before, entries);
    if (before) menu.insertSeparator(before);
}

void drawWavyLine(QPainter& painter, QPointF from, QPointF to) {
    const QLineF line(from, to);
    const double length = line.length();
    if (!(length > 0)) return;
    // Half waves of 2 pixels, 1.5 pixels up and down, across the direction of the line.
    const QPointF along = (to - from) / length;
    const QPointF across(-along.y(), along.x());
    QPainterPath path(from);
    int i = 0;
    for (double d = 2; d < length + 2; d += 2, ++i)
        path.lineTo(from + along * std::min(d, length) + across * (i % 2 == 0 ? 1.5 : -1.5));
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(QColor(220, 0, 0), 1));
    painter.drawPath(path);
    painter.restore();
}

}  // namespace bb
