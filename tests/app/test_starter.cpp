// The starter catalogue compiled into the program: its card types are sound, in the stated
// order, and become "Visiten.dat" on the first start only.
#include "AppTestSupport.h"

#include "app/Application.h"
#include "app/StarterCatalogue.h"
#include "document/Catalogue.h"

#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

using namespace bb;
using bbtest::WindowTest;

TEST(StarterCatalogue, TypesAreSoundAndFitTheirPaper) {
    const QList<StarterType> types = starterCatalogue();
    ASSERT_GE(types.size(), 20);
    for (const StarterType& t : types) {
        const CardFormat& f = t.format;
        SCOPED_TRACE(f.typeName.toStdString());
        EXPECT_LE(f.typeName.size(), 50);
        QStringEncoder enc("windows-1252");
        (void)QByteArray(enc.encode(f.typeName));
        EXPECT_FALSE(enc.hasError());
        EXPECT_GT(f.cardWidth, 0);
        EXPECT_GT(f.cardHeight, 0);
        // Cards never overlap on the sheet (one row or column has no pitch to respect).
        if (f.cardsAcross > 1) {
            EXPECT_GE(f.pitchX, f.cardWidth);
        }
        if (f.cardsDown > 1) {
            EXPECT_GE(f.pitchY, f.cardHeight);
        }
        // The grid lies on the list's paper, turned where only landscape holds it.
        const CardPaper paper = cardPaper(f);
        EXPECT_EQ(paper.size,
                  t.paper == QStringLiteral("US-Letter") ? QPageSize::Letter : QPageSize::A4)
            << t.paper.toStdString();
        const QSizeF extent = gridExtentMm(f);
        EXPECT_LE(extent.width(), paper.sheetMm().width() + 1e-9);
        EXPECT_LE(extent.height(), paper.sheetMm().height() + 1e-9);
    }
    // Plain folded cards come first, then greeting, note and post cards, business cards last.
    EXPECT_TRUE(types.first().format.typeName.startsWith(QStringLiteral("Klappkarte")));
    int lastOther = -1, firstBusiness = int(types.size());
    for (int i = 0; i < types.size(); ++i) {
        if (types[i].format.typeName.contains(QStringLiteral("isitenkarten")))
            firstBusiness = std::min(firstBusiness, i);
        else
            lastOther = i;
    }
    EXPECT_LT(lastOther, firstBusiness);
}

TEST(StarterCatalogue, ParserSkipsLinesThatDoNotFit) {
    const QByteArray text =
        "# comment\n"
        "Gut;A4;90;55;2;5;10;12.5;95;55\n"
        "zu wenig;A4;90;55\n"
        "keine Zahl;A4;neunzig;55;2;5;0;0;90;55\n"
        "zu breit;A4;3001;55;2;5;0;0;90;55\n"
        "zu viele;A4;90;55;51;5;0;0;90;55\n"
        ";A4;90;55;2;5;0;0;90;55\n"
        "negativ;A4;90;-1;2;5;0;0;90;55\n"
        "\n"
        "  Auch gut ;US-Letter; 88.9;50.8;2;5;19.05;12.7;88.9;50.8\r\n";
    const QList<StarterType> types = parseStarterCatalogue(text);
    ASSERT_EQ(types.size(), 2);
    EXPECT_EQ(types[0].format.typeName, QStringLiteral("Gut"));
    EXPECT_DOUBLE_EQ(types[0].format.topMargin, 12.5);
    EXPECT_EQ(types[0].format.cardsDown, 5);
    EXPECT_EQ(types[1].format.typeName, QStringLiteral("Auch gut"));
    EXPECT_EQ(types[1].paper, QStringLiteral("US-Letter"));
    EXPECT_DOUBLE_EQ(types[1].format.pitchY, 50.8);
}

TEST_F(WindowTest, FirstStartInstallsTheStarterCatalogueOnce) {
    const QString file = folder.file(QStringLiteral("Visiten.dat"));
    const qsizetype n = starterCatalogue().size();
    { auto w = make(false, true); }
    ASSERT_TRUE(QFileInfo::exists(file));
    EXPECT_EQ(QFileInfo(file).size(), 8 + n * 112);
    const QList<CardFormat> loaded = loadCardTypes(folder.path());
    ASSERT_EQ(loaded.size(), n);
    EXPECT_EQ(loaded[0], starterCatalogue()[0].format);

    // An existing catalogue, even an empty one, is the user's and stays.
    ASSERT_TRUE(saveCardTypes(folder.path(), {}));
    { auto w = make(false, true); }
    EXPECT_EQ(QFileInfo(file).size(), 8);
    EXPECT_FALSE(installStarterCatalogue(folder.path()));
}

TEST(GermanDialogs, QtsOwnTranslationMakesStandardButtonsGerman) {
    if (!installGermanQtTranslation(*QCoreApplication::instance()))
        GTEST_SKIP() << "qtbase_de.qm is not installed (package qt6-translations-l10n)";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("&Ja"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No"), QStringLiteral("&Nein"));
}
