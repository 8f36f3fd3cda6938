// The words of a PDF with their boxes in millimetres, read with `pdftotext -bbox`, for the
// envelope tests.
#pragma once

#include <QProcess>
#include <QRectF>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QString>
#include <QStringList>

#include <vector>

namespace envtest {

struct PdfWord {
    QString text;
    QRectF mm;
};

struct PdfTextPage {
    QSizeF sizeMm;
    std::vector<PdfWord> words;
    // The first and the last word with this text, in the order pdftotext reads them.
    const PdfWord* find(const QString& text) const {
        for (const PdfWord& w : words)
            if (w.text == text) return &w;
        return nullptr;
    }
    const PdfWord* findLast(const QString& text) const {
        for (auto it = words.rbegin(); it != words.rend(); ++it)
            if (it->text == text) return &*it;
        return nullptr;
    }
};

inline bool havePdftotext() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

inline double ptToMm(double pt) {
    return pt * 25.4 / 72.0;
}

// Every page of `pdf` with its words; empty when pdftotext fails.
inline std::vector<PdfTextPage> pdfTextPages(const QString& pdf) {
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression pageRe(
        QStringLiteral("<page width=\"([0-9.]+)\" height=\"([0-9.]+)\">"));
    static const QRegularExpression wordRe(QStringLiteral(
        "<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">"
        "([^<]*)</word>"));
    std::vector<PdfTextPage> pages;
    for (const QString& chunk : html.split(QStringLiteral("<page ")).mid(1)) {
        const auto pm = pageRe.match(QStringLiteral("<page ") + chunk);
        if (!pm.hasMatch()) continue;
        PdfTextPage page;
        page.sizeMm = QSizeF(ptToMm(pm.captured(1).toDouble()), ptToMm(pm.captured(2).toDouble()));
        for (auto it = wordRe.globalMatch(chunk); it.hasNext();) {
            const auto m = it.next();
            QString text = m.captured(5);
            text.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
            page.words.push_back({text, QRectF(QPointF(ptToMm(m.captured(1).toDouble()),
                                                       ptToMm(m.captured(2).toDouble())),
                                               QPointF(ptToMm(m.captured(3).toDouble()),
                                                       ptToMm(m.captured(4).toDouble())))});
        }
        pages.push_back(std::move(page));
    }
    return pages;
}

}  // namespace envtest
