// Fields in card texts, filling them from a row, and the row and file-name choices of a merge.
#include "document/CardDocument.h"
#include "merge/AddressList.h"
#include "merge/MergeFields.h"
#include "merge/MergeSelection.h"

#include <gtest/gtest.h>

#include <memory>

using namespace bb;

namespace {

AddressList list(QStringList columns, std::vector<QStringList> rows) {
    AddressList l;
    l.columns = std::move(columns);
    l.rows = std::move(rows);
    return l;
}

}  // namespace

TEST(MergeFields, SplitsFieldsEscapesAndWhatIsNoField) {
    using P = TextPiece;
    EXPECT_EQ(splitFields(QStringLiteral("Liebe {Vorname}, hallo")),
              (std::vector<P>{{"Liebe ", false}, {"Vorname", true}, {", hallo", false}}));
    // Doubled braces are literal, also around a field; the inner pair still is one.
    EXPECT_EQ(splitFields(QStringLiteral("{{x}} {{{ Name }}}")),
              (std::vector<P>{{"{x} {", false}, {" Name ", true}, {"}", false}}));
    // Not fields: unclosed, empty, blank, split by a line break, nested brace.
    for (const char* text : {"a {Vor", "{}", "{  }", "{Vor\r\nname}", "{Vor\nname}", "{a{b}"}) {
        const QString t = QString::fromUtf8(text);
        EXPECT_TRUE(fieldsIn(t).isEmpty() || t == QLatin1String("{a{b}")) << text;
    }
    // In "{a{b}" only "{b}" is a field; the first brace stays as typed.
    EXPECT_EQ(fieldsIn(QStringLiteral("{a{b}")), QStringList{QStringLiteral("b")});
    EXPECT_EQ(splitFields(QStringLiteral("{Vor\r\nname}")),
              (std::vector<P>{{"{Vor\r\nname}", false}}));
    // Each field once, by its key, as first typed.
    EXPECT_EQ(fieldsIn(QStringLiteral("{Ort} {ORT} { ort } {PLZ}")),
              (QStringList{QStringLiteral("Ort"), QStringLiteral("PLZ")}));
}

TEST(MergeFields, FillsFromRowKeepingUnknownFieldsAndLineBreaks) {
    const AddressList l = list({QStringLiteral("Vorname"), QStringLiteral(" Straße ")},
                               {{QStringLiteral("Jürgen"), QStringLiteral("Am Hang 1\nHof")}});
    const FieldFiller filler(l);
    EXPECT_EQ(filler.fill(QStringLiteral("Liebe{ VORNAME }!"), l.rows[0]),
              QStringLiteral("LiebeJürgen!"));
    // A field without a column stays visible as typed; escapes resolve either way.
    EXPECT_EQ(filler.fill(QStringLiteral("{Titel} {{Vorname}}"), l.rows[0]),
              QStringLiteral("{Titel} {Vorname}"));
    // A value's line break becomes the card's CR LF.
    EXPECT_EQ(filler.fill(QStringLiteral("{straße}"), l.rows[0]),
              QStringLiteral("Am Hang 1\r\nHof"));
    // A short row (defensive: readers pad them) fills nothing rather than reading past it.
    EXPECT_EQ(filler.fill(QStringLiteral("<{Straße}>"), {QStringLiteral("x")}),
              QStringLiteral("<>"));
}

TEST(MergeFields, AnEmptyFieldStartingALineLeavesNoSpace) {
    const AddressList l = list({"Anrede", "Titel", "Vorname", "Nachname"},
                               {{"", "", "Jörg", "Übel"}, {"Herr", "", "Hans", "Kern"}});
    const FieldFiller filler(l);
    const QString text = QStringLiteral("{Anrede} {Titel} {Vorname} {Nachname}\r\n  {Anrede}\t!");
    EXPECT_EQ(filler.fill(text, l.rows[0]), QStringLiteral("Jörg Übel\r\n  \t!"));
    // Within a line an empty field keeps the spaces around it: only a line's start is mended.
    EXPECT_EQ(filler.fill(text, l.rows[1]), QStringLiteral("Herr  Hans Kern\r\n  Herr\t!"));
    EXPECT_EQ(filler.fill(QStringLiteral("{Anrede}\r\n {Vorname}"), l.rows[0]),
              QStringLiteral("\r\n Jörg"));
}

TEST(MergeFields, RowsWithEmptyFieldsOfTheCardAreNamed) {
    AddressList l = list({"Anrede", "Vorname", "Ort"},
                         {{"Herr", "Hans", "Ulm"}, {"", "Eva", ""}, {" ", "Jo", "Hof"}});
    // "Ort" is not on the card and "Titel" has no column: neither counts.
    const QStringList fields{QStringLiteral("anrede"), QStringLiteral("Vorname"),
                             QStringLiteral("Titel")};
    EXPECT_EQ(emptyFieldsNote(fields, l),
              QStringLiteral("2 Datensätze lassen Felder der Karte leer: Nr. 2 ({anrede}), "
                             "Nr. 3 ({anrede})"));
    l.rows.resize(1);
    EXPECT_EQ(emptyFieldsNote(fields, l), QString());
    for (int i = 0; i < 7; ++i) l.rows.push_back({"", "", "x"});
    EXPECT_TRUE(emptyFieldsNote(fields, l).startsWith(
        QStringLiteral("7 Datensätze lassen Felder der Karte leer: Nr. 2 ({anrede}, {Vorname})")));
    EXPECT_TRUE(
        emptyFieldsNote(fields, l).endsWith(QStringLiteral("Nr. 6 ({anrede}, {Vorname}) "
                                                           "und 2 weitere")));
}

TEST(MergeFields, CardFieldsFromEveryTextOfBothSidesAndTheMatch) {
    auto doc = std::make_unique<CardDocument>();
    // Outside is the working side; the inside is read from its stored table.
    doc->outsideSlots[4]->kind = KindText;
    doc->outsideSlots[4]->content = QStringLiteral("Für {Vorname} {Nachname}");
    doc->outsideSlots[2]->kind = KindFigure;
    doc->outsideSlots[2]->content = QStringLiteral("{Figur}");  // not a text: ignored
    doc->insideSlots[1]->kind = KindText;
    doc->insideSlots[1]->content = QStringLiteral("{vorname}, {Gruß}");
    EXPECT_EQ(fieldsOfCard(*doc),
              (QStringList{QStringLiteral("Vorname"), QStringLiteral("Nachname"),
                           QStringLiteral("Gruß")}));
    // A change on the inside is read as well.
    doc->insideSlots[1]->content = QStringLiteral("{Ort}");
    EXPECT_EQ(fieldsOfCard(*doc), (QStringList{QStringLiteral("Vorname"),
                                               QStringLiteral("Nachname"), QStringLiteral("Ort")}));

    const AddressList l =
        list({QStringLiteral("NACHNAME"), QStringLiteral("E-Mail"), QStringLiteral("vorname")}, {});
    const FieldMatch m = matchFields(fieldsOfCard(*doc), l);
    EXPECT_EQ(m.missing, QStringList{QStringLiteral("Ort")});
    EXPECT_EQ(m.unused, QStringList{QStringLiteral("E-Mail")});
}

TEST(MergeSelection, RowRanges) {
    QString error;
    EXPECT_EQ(parseRowRanges(QStringLiteral("3"), 5), (std::vector<int>{2}));
    EXPECT_EQ(parseRowRanges(QStringLiteral(" 4-5, 1 ,2-2"), 5), (std::vector<int>{3, 4, 0, 1}));
    for (const char* bad : {"", "0", "6", "2-9", "5-2", "a", "1-", "-3", "1;2"}) {
        error.clear();
        EXPECT_FALSE(parseRowRanges(QString::fromUtf8(bad), 5, &error)) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
    const MergePlan plan{{4, 0}, 3};
    EXPECT_EQ(plan.cardCount(), 6);
    EXPECT_EQ(plan.rowOfCard(2), 4);
    EXPECT_EQ(plan.rowOfCard(3), 0);
}

TEST(MergeSelection, FileNamesAreSafeAndUnique) {
    EXPECT_EQ(safeFileName(QStringLiteral(" ../Mü/ller: \"x\"? "), QStringLiteral("F")),
              QStringLiteral("_Mü_ller_ _x__"));
    EXPECT_EQ(safeFileName(QStringLiteral(" .. "), QStringLiteral("F")), QStringLiteral("F"));
    EXPECT_EQ(safeFileName(QString(300, QChar(u'a')), QString()).size(), 100);
    // Cut between whole characters: 99 letters and an emoji (a surrogate pair) keep the 99.
    const QString emoji = QString(99, QChar(u'a')) + QString::fromUtf8("\xF0\x9F\x98\x80") + "b";
    EXPECT_EQ(safeFileName(emoji, QString()), QString(99, QChar(u'a')));
    EXPECT_FALSE(safeFileName(emoji, QString()).contains(QChar(0xFFFD)));
    // 100 three-byte letters are 300 bytes of UTF-8: cut within the byte limit.
    const QString wide = safeFileName(QString(100, QChar(0x20AC)), QString(), 255);
    EXPECT_EQ(wide, QString(85, QChar(0x20AC)));
    // A letter with its combining accent stays whole.
    const QString accents = QString(99, QChar(u'a')) + QStringLiteral("e\u0301");
    EXPECT_EQ(safeFileName(accents, QString()), QString(99, QChar(u'a')));
    // Format characters such as the right-to-left override go; lone surrogate halves too.
    EXPECT_EQ(safeFileName(QStringLiteral("Eva\u202Egpj.exe\u200B") + QChar(0xD800), "F"),
              QStringLiteral("Evagpj.exe"));
    // Names with their extension and number fit the file system's 255 bytes.
    const QStringList longNames = uniqueFileNames(
        {QString(100, QChar(0x00FC)), QString(100, QChar(0x00FC))}, QStringLiteral(".png"), "K");
    ASSERT_EQ(longNames.size(), 2);
    for (const QString& name : longNames) EXPECT_LE(name.toUtf8().size(), kFileNameMaxBytes);
    EXPECT_EQ(numberedFileName(longNames[0], 12345).toUtf8().size() <= kFileNameMaxBytes, true);
    EXPECT_EQ(numberedFileName(QStringLiteral("A.bmp"), 2), QStringLiteral("A (2).bmp"));
    EXPECT_EQ(uniqueFileNames({QStringLiteral("Weber"), QStringLiteral("weber"), QString(),
                               QStringLiteral("Weber"), QString()},
                              QStringLiteral(".png"), QStringLiteral("Karte")),
              (QStringList{QStringLiteral("Weber.png"), QStringLiteral("weber (2).png"),
                           QStringLiteral("Karte.png"), QStringLiteral("Weber (3).png"),
                           QStringLiteral("Karte (2).png")}));
}
