// Address lists from CSV and vCard files.
#include "merge/AddressList.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QFile>

using namespace bb;

namespace {

AddressList csvList(const QByteArray& bytes) {
    const AddressListResult r = parseCsv(bytes);
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
    return r.ok() ? *r.list : AddressList();
}

QString csvError(const QByteArray& bytes) {
    return parseCsv(bytes).error;
}

AddressList vcardList(const QByteArray& bytes) {
    const AddressListResult r = parseVCard(bytes);
    EXPECT_TRUE(r.ok()) << r.error.toStdString();
    return r.ok() ? *r.list : AddressList();
}

QString cell(const AddressList& list, int row, const char* column) {
    const int c = list.columnOf(QString::fromUtf8(column));
    return c < 0 || row >= list.rowCount() ? QStringLiteral("<fehlt>") : list.rows[row][c];
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

}  // namespace

TEST(CsvReader, DecodesUtf8WithAndWithoutMarkAndWindows1252) {
    const QString expected = QStringLiteral("Müller-Weiß");
    EXPECT_EQ(csvList("Name\nMüller-Weiß\n").rows[0][0], expected);
    const AddressList marked = csvList("\xEF\xBB\xBFName;Ort\nMüller-Weiß;Köln\n");
    EXPECT_EQ(marked.columns, QStringList({"Name", "Ort"}));  // the mark is no part of "Name"
    EXPECT_EQ(marked.rows[0][0], expected);
    const AddressList cp1252 = csvList("Name;Betrag\nM\xFCller-Wei\xDF;5 \x80\n");
    EXPECT_EQ(cp1252.rows[0], QStringList({expected, QStringLiteral("5 €")}));
}

TEST(CsvReader, SeparatorIsTheMostFrequentOutsideQuotes) {
    EXPECT_EQ(csvList("a;b;c\n1;2;3\n").columns.size(), 3);
    EXPECT_EQ(csvList("a,b,c\n1,2,3\n").rows[0][2], "3");
    EXPECT_EQ(csvList("a\tb\tc\n1\t2,5\t3\n").rows[0][1], "2,5");
    // Two semicolons inside quotes do not outvote two commas outside.
    EXPECT_EQ(csvList("\"x;y;z\",b,c\n1,2;3,4\n").rows[0][1], "2;3");
    EXPECT_EQ(csvList("a;b,c\n1;2,3\n").columns, QStringList({"a", "b,c"}));  // a tie: ';'
}

TEST(CsvReader, QuotedCellsKeepQuotesSeparatorsAndLineBreaks) {
    const AddressList list = csvList(
        "Name;Straße;Ort\r\n\"Meier \"\"Co\"\"\";\"Am Weg 1\r\nHinterhaus\";\"Bonn; Rhein\"\r\n"
        "Kurz;;Ulm;zu;viel\r\n");
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(list.rows[0], QStringList({"Meier \"Co\"", "Am Weg 1\nHinterhaus", "Bonn; Rhein"}));
    // The quoted line break counts as a line of the file.
    EXPECT_EQ(list.warnings, QStringList({"Zeile 4: 5 Felder statt 3"}));
    // Old Macintosh line ends.
    EXPECT_EQ(csvList("a;b\r1;\"x\ry\"\r2;3").rows,
              std::vector<QStringList>({{"1", "x\ny"}, {"2", "3"}}));
    // Text after a closing quote is kept, with a warning; a quote inside a cell is text.
    const AddressList lenient = csvList("a;b\n1;\"x\"y\n2;12\" Zoll\n");
    EXPECT_EQ(lenient.rows[0][1], "xy");
    EXPECT_EQ(lenient.rows[1][1], "12\" Zoll");
    EXPECT_EQ(lenient.warnings,
              QStringList({"Zeile 2, Spalte 2: Text nach dem schließenden Anführungszeichen"}));
}

TEST(CsvReader, AStrayQuoteIsNamedAtItsLineWithTheLinesItSwallowed) {
    // Line 3 opens a quote that only line 5 closes: lines 3 to 5 give one record.
    const AddressList list = csvList(
        "Vorname;Nachname;Ort\nAnna;Groß;Ulm\nJörg;\"Weiß;Köln\nUte;Abel;Hof\n"
        "Eva;Kern\";Bonn\nOtto;Lang;Gera\n");
    ASSERT_EQ(list.rowCount(), 3);
    EXPECT_EQ(list.rows[1][1], "Weiß;Köln\nUte;Abel;Hof\nEva;Kern");
    EXPECT_EQ(list.rows[2][0], "Otto");
    ASSERT_FALSE(list.warnings.isEmpty());
    EXPECT_EQ(list.warnings.first(),
              "Zeile 3, Spalte 2: Anführungszeichen erst in Zeile 5 geschlossen: die Zeilen 3 "
              "bis 5 ergaben zusammen einen Datensatz");
    // Text after the late closing quote is named at the line where the field began as well.
    const AddressList tail = csvList("a;b\n1;\"x\n2;y\"z\n3;4\n");
    EXPECT_EQ(tail.warnings,
              QStringList({"Zeile 2, Spalte 2: Anführungszeichen erst in Zeile 3 geschlossen: "
                           "die Zeilen 2 bis 3 ergaben zusammen einen Datensatz (mit Text nach "
                           "dem schließenden Anführungszeichen)"}));
}

TEST(CsvReader, Errors) {
    EXPECT_EQ(csvError(""), "Die Adressliste ist leer.");
    EXPECT_EQ(csvError("\xEF\xBB\xBF \r\n\t\n"), "Die Adressliste ist leer.");
    EXPECT_EQ(csvError("Name;Ort\n\n;;\n"),
              "Die Adressliste enthält nur die Kopfzeile und keine Adressen.");
    EXPECT_EQ(csvError("\n ; \nMeier;Bonn\n"),
              "Die erste Zeile der Adressliste nennt keine Felder.");
    // The quote opens in line 5; lines 2 and 3 hold one record with a quoted line break.
    EXPECT_EQ(csvError("a;b\n1;\"x\ny\"\n2;3\n3;\"offen\n4;5\n"),
              "Zeile 5: Anführungszeichen nicht geschlossen");
    EXPECT_EQ(csvError(QByteArray(kAddressListMaxColumns, ';') + "\n1\n"),
              "Zeile 1: Die Adressliste hat mehr als 1000 Spalten.");
}

TEST(CsvReader, HeaderNamesAreUniqueAndNeverEmpty) {
    const AddressList list = csvList("Name; name ;;Name (2);NAME\nA;B;C;D;E\n");
    EXPECT_EQ(list.columns, QStringList({"Name", "name (3)", "Spalte 3", "Name (2)", "NAME (4)"}));
    EXPECT_EQ(list.warnings.size(), 3);
    EXPECT_EQ(list.warnings[1], "Zeile 1, Spalte 3: Feld ohne Namen heißt „Spalte 3“");
    EXPECT_EQ(list.columnOf(QStringLiteral("  nAmE ")), 0);
    EXPECT_EQ(list.columnOf(QStringLiteral("name (2)")), 3);
    EXPECT_EQ(list.columnOf(QStringLiteral("Ort")), -1);
    EXPECT_EQ(csvList("%2;%2\nA;B\n").columns, QStringList({"%2", "%2 (2)"}));
}

TEST(CsvReader, RowsArePaddedOrCutAndEmptyLinesSkipped) {
    QByteArray csv = "a;b;c\n1\n\n;;\n1;2;3;;\n";
    for (int i = 0; i < 25; ++i) csv += "1;2;3;4\n";
    const AddressList list = csvList(csv);
    ASSERT_EQ(list.rowCount(), 27);
    EXPECT_EQ(list.rows[0], QStringList({"1", "", ""}));
    EXPECT_EQ(list.rows[1], QStringList({"1", "2", "3"}));  // empty extra cells: no warning
    EXPECT_EQ(list.warnings.first(), "Zeile 6: 4 Felder statt 3");
    EXPECT_EQ(list.warnings.size(), 21);
    EXPECT_EQ(list.warnings.last(), "… und 5 weitere");
}

TEST(VCardReader, ReadsVersion3And4) {
    const AddressList list = vcardList(
        "BEGIN:VCARD\r\nVERSION:3.0\r\nN:M\xC3\xBCller;Hans;;Herr;\r\nFN:Hans M\r\n "
        "\xC3\xBCller\r\n"
        "item1.ADR;TYPE=work:;;B\xC3\xBCrostr. 1;Ulm;;89073;DE\r\n"
        "adr;type=HOME:;;Am Hang 2\\nHinterhaus;Bonn\\, Rhein;;53111;Deutschland\r\n"
        "EMAIL;TYPE=internet:erste@example.org\r\nEMAIL;TYPE=internet,pref:beste@example.org\r\n"
        "NOTE;X-LABEL=\"a:b;c\":Text\r\nBDAY:1985-03-14\r\nEND:VCARD\r\n"
        "begin:vcard\nversion:4.0\nfn:Eva\nEMAIL;TYPE=home:privat@example.org\n"
        "EMAIL;PREF=2:zwei@example.org\nEMAIL;PREF=1:eins@example.org\n"
        "ADR;TYPE=home:;;Weg 3;Wien\nADR;PREF=1:;;Platz 4;Graz;;8010\nbday:--0314\nend:vcard\n");
    // The note (its quoted parameter holds ':' and ';') makes "Notiz" a column; nobody has
    // a company or telephone, so those columns stay away.
    EXPECT_EQ(list.columns, QStringList({"Anrede", "Vorname", "Nachname", "Name", "Straße", "PLZ",
                                         "Ort", "Land", "E-Mail", "Geburtstag", "Notiz"}));
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(
        list.rows[0],
        QStringList({"Herr", "Hans", "Müller", "Hans Müller", "Am Hang 2\nHinterhaus", "53111",
                     "Bonn, Rhein", "Deutschland", "beste@example.org", "14.03.1985", "Text"}));
    EXPECT_EQ(list.rows[1], QStringList({"", "", "", "Eva", "Platz 4", "8010", "Graz", "",
                                         "eins@example.org", "14.03.", ""}));
}

TEST(VCardReader, BirthdayFormsAndNameFromN) {
    const auto birthday = [](const char* value) {
        return cell(vcardList(QByteArray("BEGIN:VCARD\nN:Kern;Jo\nBDAY") + value + "\nEND:VCARD"),
                    0, "Geburtstag");
    };
    EXPECT_EQ(birthday(":19850314"), "14.03.1985");
    EXPECT_EQ(birthday(":1985-03-14T08:30:00Z"), "14.03.1985");
    EXPECT_EQ(birthday(":--02-29"), "29.02.");
    EXPECT_EQ(birthday(":1985-02-30"), "1985-02-30");
    EXPECT_EQ(birthday(";VALUE=text:um 1900"), "um 1900");
    EXPECT_EQ(cell(vcardList("BEGIN:VCARD\nN:Kern;Jo\nEND:VCARD"), 0, "Name"), "Jo Kern");
}

TEST(VCardReader, PhoneExportsInQuotedPrintableWithTheirCharacterSet) {
    // As Android writes vCard 2.1: UTF-8 bytes in quoted-printable, "=" ending a line that
    // goes on in the next.
    const AddressList list = vcardList(
        "BEGIN:VCARD\r\nVERSION:2.1\r\n"
        "N;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:=C3=9Cbel;J=C3=B6rg;;;\r\n"
        "FN;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:J=C3=B6rg=20=C3=9C=\r\nbel\r\n"
        "ADR;HOME;CHARSET=UTF-8;ENCODING=QUOTED-PRINTABLE:;;Hauptstra=C3=9Fe 1;M=C3=BC=\r\n"
        "nchen;;80331;\r\nEND:VCARD\r\n"
        // Latin-1 and Windows-1252 bytes, the bare 2.1 parameter, a "=" that starts no byte.
        "BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=ISO-8859-1;QUOTED-PRINTABLE:Wei=DF;J=FCrgen\r\n"
        "FN;CHARSET=windows-1252;ENCODING=QUOTED-PRINTABLE:=80 5=3D5 =ZZ\r\nEND:VCARD\r\n");
    ASSERT_EQ(list.rowCount(), 2);
    EXPECT_EQ(cell(list, 0, "Vorname"), "Jörg");
    EXPECT_EQ(cell(list, 0, "Nachname"), "Übel");
    EXPECT_EQ(cell(list, 0, "Name"), "Jörg Übel");
    EXPECT_EQ(cell(list, 0, "Straße"), "Hauptstraße 1");
    EXPECT_EQ(cell(list, 0, "Ort"), "München");
    EXPECT_EQ(cell(list, 0, "PLZ"), "80331");
    EXPECT_EQ(cell(list, 1, "Nachname"), "Weiß");
    EXPECT_EQ(cell(list, 1, "Vorname"), "Jürgen");
    EXPECT_EQ(cell(list, 1, "Name"), "€ 5=5 =ZZ");
    // A value broken off with a last "=" does not swallow the end of its card.
    EXPECT_EQ(
        cell(vcardList("BEGIN:VCARD\nFN;ENCODING=QUOTED-PRINTABLE:Eva=\nEND:VCARD\n"), 0, "Name"),
        "Eva=");
}

TEST(VCardReader, Errors) {
    EXPECT_EQ(parseVCard("BEGIN:VCARD\nFN:A\nBEGIN:VCARD\nFN:B\nEND:VCARD\n").error,
              "Zeile 3: END:VCARD fehlt (die Karte beginnt in Zeile 1)");
    EXPECT_EQ(parseVCard("BEGIN:VCARD\nFN:A\nEND:VCARD\nBEGIN:VCARD\nFN:B\n  x\n").error,
              "Zeile 6: END:VCARD fehlt (die Karte beginnt in Zeile 4)");
    EXPECT_EQ(parseVCard("Name;Ort\nA;B\n").error,
              "Die Datei enthält keine Visitenkarten (vCard).");
}

TEST(AddressListFile, ChoosesTheReaderAndNamesTheFile) {
    bbtest::TempFolder dir;
    const QString missing = dir.file(QStringLiteral("fehlt.csv"));
    EXPECT_TRUE(readAddressList(missing).error.startsWith(
        QStringLiteral("Die Adressliste \"%1\" konnte nicht gelesen werden.").arg(missing)));
    const QString disguised = dir.file(QStringLiteral("kontakte.txt"));
    writeFile(disguised, "\xEF\xBB\xBF\r\nBEGIN:VCARD\r\nFN:Eva\r\nEND:VCARD\r\n");
    const AddressListResult vcard = readAddressList(disguised);
    ASSERT_TRUE(vcard.ok());
    EXPECT_EQ(vcard.list->path, disguised);
    EXPECT_EQ(cell(*vcard.list, 0, "Name"), "Eva");
    const QString csv = dir.file(QStringLiteral("liste.csv"));
    writeFile(csv, "Name\nEva\n");
    EXPECT_EQ(readAddressList(csv).list->columns, QStringList({"Name"}));
}

TEST(AddressListProgress, ReportsEarlyAndCancels) {
    QByteArray csv = "Anrede;Vorname;Nachname;Straße;PLZ;Ort;Land;E-Mail;Telefon;Notiz\n";
    const int rows = 100000;
    for (int i = 0; i < rows; ++i)
        csv += "Frau;Jürgen;Größer-" + QByteArray::number(i) +
               ";Hauptstraße 1;12345;Köln;DE;a@b.de;0221;\"x\ny\"\n";
    std::vector<int> seen;
    double lastFraction = 0;
    const AddressListResult whole = parseCsv(csv, [&](const AddressList& soFar, double fraction) {
        seen.push_back(soFar.rowCount());
        EXPECT_EQ(soFar.rows.back().size(), 10);
        EXPECT_GT(fraction, lastFraction);
        EXPECT_LE(fraction, 1.0);
        lastFraction = fraction;
        return true;
    });
    ASSERT_TRUE(whole.ok());
    EXPECT_EQ(whole.list->rowCount(), rows);
    EXPECT_EQ(whole.list->rows[rows - 1][2], "Größer-99999");
    ASSERT_FALSE(seen.empty());
    EXPECT_LE(seen.front(), 100);  // the first rows are shown long before the end
    EXPECT_LE(seen.size(), size_t(rows / 2000 + 2));
    for (size_t k = 1; k < seen.size(); ++k) EXPECT_GE(seen[k] - seen[k - 1], 1000);

    int calls = 0;
    const AddressListResult stopped =
        parseCsv(csv, [&](const AddressList&, double) { return ++calls < 3; });
    EXPECT_TRUE(stopped.cancelled);
    EXPECT_FALSE(stopped.ok());
    EXPECT_EQ(calls, 3);
}
