// Every design that comes with the program prints both sides to PDF: the run succeeds, the
// file is a whole PDF and its page shows the drawn card, not an empty sheet.
#include "document/CardFile.h"
#include "document/CardPaper.h"
#include "pictures/AtomicWrite.h"
#include "print/PdfPages.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QPrinter>
#include <QSet>

#include <gtest/gtest.h>

#include <memory>

using namespace bb;

namespace {

// The designs the build tree holds (build/designs beside CMakeCache.txt).
QStringList shippedCards() {
    QDir dir(QCoreApplication::applicationDirPath());
    while (!dir.exists(QStringLiteral("CMakeCache.txt")))
        if (!dir.cdUp()) return {};
    QStringList out;
    const QDir designs(dir.absoluteFilePath(QStringLiteral("designs")));
    for (const QString& name :
         designs.entryList({QStringLiteral("*.kar")}, QDir::Files, QDir::Name))
        out << designs.absoluteFilePath(name);
    return out;
}

int distinctColours(const QImage& img) {
    QSet<QRgb> seen;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) seen.insert(img.pixel(x, y));
    return int(seen.size());
}

}  // namespace

TEST(ShippedDesignsPrint, BothSidesOfEveryDesignPrintToPdf) {
    const QStringList cards = shippedCards();
    ASSERT_GE(cards.size(), 36);
    bbtest::TempFolder tmp;
    const QString pdf = tmp.file(QStringLiteral("karte.pdf"));
    for (const QString& path : cards) {
        SCOPED_TRACE(path.toStdString());
        bbtest::ScriptedDialogs dialogs;
        const RenderContext ctx;
        auto doc = std::make_unique<CardDocument>();
        CardFileContext fc{dialogs, ctx, QString(), {}, {}, {}};
        ASSERT_TRUE(openCardFile(*doc, path, fc));
        for (const int side : {int(SideOutside), int(SideInside)}) {
            PrinterTarget target;
            target.usePdf(pdf);
            ASSERT_TRUE(target.useCardPaper(cardPaper(doc->format)));
            target.printer().setResolution(150);  // enough to see the card; keeps the run short
            const PrintRunResult run =
                printCards(target.printer(), *doc, side, ctx, PrintOptions{}, dialogs);
            ASSERT_TRUE(run.ok) << qPrintable(run.error);
            EXPECT_GE(run.pages, 1);
            QFile f(pdf);
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_TRUE(looksLikeCompletePdf(f));
            if (!printtest::havePdftoppm()) continue;
            EXPECT_GT(distinctColours(printtest::pdfPage(pdf, 1, 12)), 12) << "side " << side;
        }
        EXPECT_TRUE(dialogs.messages.isEmpty())
            << qPrintable(dialogs.texts().join(QLatin1Char('\n')));
    }
}
