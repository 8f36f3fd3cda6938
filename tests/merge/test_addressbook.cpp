// The address book: its file (and what it refuses), import and export round trips through
// every exchange format, the year of a tick, the book as a card's list and the birthdays.
#include "merge/AddressBook.h"
#include "merge/ListMemory.h"
#include "merge/MergeFields.h"
#include "support/TestSupport.h"

#include <QFile>
#include <QSettings>

#include <gtest/gtest.h>

using namespace bb;
using F = AddressField;

namespace {

AddressEntry entry(std::initializer_list<std::pair<F, QString>> fields, int tickedYear = 0) {
    AddressEntry e;
    for (const auto& [f, text] : fields) e[f] = text;
    e.tickedYear = tickedYear;
    return e;
}

// Entries that test what exchange formats find hard: umlauts and ß, separators and quotes of
// both formats, a backslash, line breaks in the note, empty fields, a birthday without year
// and one that is no date, an entry with only a company.
std::vector<AddressEntry> awkwardEntries() {
    return {
        entry({{F::Anrede, "Frau"},
               {F::Vorname, "Käthe"},
               {F::Nachname, "Größlinger-Weiß"},
               {F::Firma, "Öl & Söhne; \"Ölmühle\", GmbH"},
               {F::Strasse, "Äußere Lindenstraße 7"},
               {F::Plz, "01234"},
               {F::Ort, "Überlingen, am See"},
               {F::Land, "Deutschland"},
               {F::EMail, "kaethe@example.org"},
               {F::Telefon, "+49 (0)7551 12345"},
               {F::Geburtstag, "29.02.1964"},
               {F::Notiz,
                "Mag Kürbis; keine Nüsse.\nZweite Zeile mit \"Zitat\", Komma\n"
                "und C:\\Pfad\\Datei sowie eine sehr lange dritte Zeile, die weit "
                "über fünfundsiebzig Bytes hinausreicht, damit gefaltet werden muss"}},
              2026),
        entry({{F::Vorname, "Jörg"}, {F::Nachname, "Maß"}, {F::Geburtstag, "03.11."}}, 2025),
        entry({{F::Firma, "Fährhaus Süd"}, {F::Ort, "Hörnum"}, {F::Geburtstag, "um 1900"}}),
        entry({{F::Nachname, "Ärmel"}, {F::EMail, "a;b@example.org"}, {F::Plz, "0815"}}),
    };
}

}  // namespace

TEST(AddressBookFile, SavesAndLoadsEveryFieldAndTick) {
    bbtest::TempFolder tmp;
    const QString folder = tmp.file("daten/unter");  // made when missing
    AddressBook book;
    book.entries = awkwardEntries();
    QString error;
    ASSERT_TRUE(saveAddressBook(folder, book, &error)) << error.toStdString();
    const AddressBookLoad load = loadAddressBook(folder);
    ASSERT_TRUE(load.ok()) << load.error.toStdString();
    EXPECT_EQ(load.book, book);
    // No file yet is an empty book, not an error.
    const AddressBookLoad none = loadAddressBook(tmp.file("leer"));
    EXPECT_TRUE(none.ok());
    EXPECT_TRUE(none.book.entries.empty());
}

TEST(AddressBookFile, RefusesDamagedForeignAndOversizedFilesAndKeepsThem) {
    const auto refusal = [](const QByteArray& bytes) { return readAddressBook(bytes).error; };
    AddressBook book;
    book.entries = awkwardEntries();
    QByteArray good = addressBookBytes(book);
    EXPECT_TRUE(refusal(good).isEmpty());
    EXPECT_TRUE(refusal(good.left(good.size() / 2)).contains("beschädigt"));
    EXPECT_TRUE(refusal(R"({"name": "etwas anderes"})").contains("kein Adressbuch"));
    EXPECT_TRUE(refusal("[1, 2, 3]").contains("kein Adressbuch"));
    EXPECT_TRUE(refusal(QByteArray(good).replace("\"Version\": 1", "\"Version\": 7"))
                    .contains("neueren Version"));
    EXPECT_TRUE(refusal(QByteArray(good).replace("\"Vorname\": \"Jörg\"", "\"Vorname\": 5"))
                    .contains("Eintrag 2"));
    EXPECT_TRUE(refusal(QByteArray(good).replace("\"Angekreuzt\": 2025", "\"Angekreuzt\": \"x\""))
                    .contains("Jahreszahl"));
    EXPECT_TRUE(refusal(QByteArray(kAddressBookMaxBytes + 1, ' ')).contains("zu groß"));
    const QByteArray tooLong =
        R"({"Format": "Brisella-Adressbuch", "Version": 1, "Einträge": [{"Notiz": ")" +
        QByteArray(kAddressFieldMaxChars + 1, 'x') + "\"}]}";
    EXPECT_TRUE(refusal(tooLong).contains("zu lang"));

    // A refused file stays as it was; setting it aside frees the name for a new book.
    bbtest::TempFolder tmp;
    QFile f(tmp.file(kAddressBookFileName));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{kaputt");
    f.close();
    EXPECT_FALSE(loadAddressBook(tmp.path()).ok());
    const QString aside = setAsideAddressBook(tmp.path());
    ASSERT_FALSE(aside.isEmpty());
    QFile kept(aside);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), "{kaputt");
    EXPECT_TRUE(loadAddressBook(tmp.path()).ok());
}

TEST(AddressBookFile, NeverWritesThroughALink) {
    bbtest::TempFolder tmp;
    const QString target = tmp.file("anderswo.txt");
    QFile t(target);
    ASSERT_TRUE(t.open(QIODevice::WriteOnly));
    t.write("bleibt");
    t.close();
    ASSERT_TRUE(QFile::link(target, tmp.file(kAddressBookFileName)));
    EXPECT_FALSE(loadAddressBook(tmp.path()).ok());
    QString error;
    EXPECT_FALSE(saveAddressBook(tmp.path(), AddressBook{awkwardEntries()}, &error));
    EXPECT_FALSE(error.isEmpty());
    ASSERT_TRUE(t.open(QIODevice::ReadOnly));
    EXPECT_EQ(t.readAll(), "bleibt");
}

// Every exchange format gives back every field of every entry.
TEST(AddressExchange, RoundTripsLoseNoField) {
    const std::vector<AddressEntry> entries = awkwardEntries();
    std::vector<AddressEntry> withoutCp1252Trouble = entries;
    for (const auto& [format, vcard] :
         {std::pair{AddressExchange::CsvUtf8, false}, std::pair{AddressExchange::CsvCp1252, false},
          std::pair{AddressExchange::VCard3, true}, std::pair{AddressExchange::VCard4, true}}) {
        SCOPED_TRACE(int(format));
        const AddressExport out = exportAddresses(entries, format);
        ASSERT_TRUE(out.ok()) << out.error.toStdString();
        const AddressImport in = importAddresses(out.bytes, vcard);
        ASSERT_TRUE(in.ok()) << in.error.toStdString();
        ASSERT_EQ(in.entries.size(), entries.size());
        for (size_t i = 0; i < entries.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(in.entries[i].fields, entries[i].fields);
            // The tick travels in CSV only; vCard has no place for it.
            EXPECT_EQ(in.entries[i].tickedYear, vcard ? 0 : entries[i].tickedYear);
        }
        // Every column found its field. (The CSV reader may remark on the note's line breaks
        // among separators, which it cannot tell from a stray quote.)
        EXPECT_FALSE(in.warnings.join('\n').contains("Nicht übernommene"));
    }
}

TEST(AddressExchange, EncodingsAndVCardLines) {
    const std::vector<AddressEntry> entries = awkwardEntries();
    const QByteArray utf8 = exportAddresses(entries, AddressExchange::CsvUtf8).bytes;
    EXPECT_TRUE(utf8.startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(utf8.contains("Käthe"));
    const QByteArray cp = exportAddresses(entries, AddressExchange::CsvCp1252).bytes;
    EXPECT_TRUE(cp.contains("K\xE4the"));
    EXPECT_FALSE(cp.startsWith("\xEF\xBB\xBF"));

    for (const auto format : {AddressExchange::VCard3, AddressExchange::VCard4}) {
        const QByteArray v = exportAddresses(entries, format).bytes;
        for (const QByteArray& line : v.split('\n')) EXPECT_LE(line.size(), 76);  // 75 + CR
        EXPECT_TRUE(v.contains("\r\n "));                                         // folded
        EXPECT_TRUE(v.contains("ORG:Öl & Söhne\\; \"Ölmühle\"\\, GmbH"));
        EXPECT_TRUE(v.contains("BDAY;VALUE=text:um 1900"));
    }
    EXPECT_TRUE(exportAddresses(entries, AddressExchange::VCard3).bytes.contains("BDAY:--11-03"));
    EXPECT_TRUE(exportAddresses(entries, AddressExchange::VCard4).bytes.contains("BDAY:--1103"));
    EXPECT_TRUE(exportAddresses(entries, AddressExchange::VCard4).bytes.contains("BDAY:19640229"));
}

TEST(AddressExchange, Cp1252RefusesWhatItCannotHoldAndSaysWhat) {
    std::vector<AddressEntry> entries = awkwardEntries();
    entries[1][F::Notiz] = QStringLiteral("Grüße ☺ und ☺ und ✓");
    entries[3][F::Nachname] = QStringLiteral("Łukasz");
    const AddressExport out = exportAddresses(entries, AddressExchange::CsvCp1252);
    EXPECT_FALSE(out.ok());
    EXPECT_TRUE(out.bytes.isEmpty());
    EXPECT_TRUE(out.error.contains("Jörg Maß: Notiz („☺✓“)")) << out.error.toStdString();
    EXPECT_TRUE(out.error.contains("Łukasz: Nachname („Ł“)")) << out.error.toStdString();
    EXPECT_FALSE(out.error.contains("Käthe"));
    EXPECT_TRUE(exportAddresses(entries, AddressExchange::CsvUtf8).ok());
}

TEST(AddressExchange, ImportsForeignHeadersAndVCardExtras) {
    const AddressImport csv = importAddresses(
        "First Name,Last Name,Company,Home Street,Home City,ZIP Code,E-mail Address,Birthday,"
        "Notes,Lieblingsfarbe\n"
        "Ida,Quell,,Hauptweg 1,Sonnfeld,12345,ida@example.org,1990-05-17,ruft an,blau\n",
        false);
    ASSERT_TRUE(csv.ok()) << csv.error.toStdString();
    ASSERT_EQ(csv.entries.size(), 1u);
    const AddressEntry& ida = csv.entries[0];
    EXPECT_EQ(ida[F::Vorname], "Ida");
    EXPECT_EQ(ida[F::Nachname], "Quell");
    EXPECT_EQ(ida[F::Strasse], "Hauptweg 1");
    EXPECT_EQ(ida[F::Ort], "Sonnfeld");
    EXPECT_EQ(ida[F::Plz], "12345");
    EXPECT_EQ(ida[F::EMail], "ida@example.org");
    EXPECT_EQ(ida[F::Geburtstag], "17.05.1990");
    EXPECT_EQ(ida[F::Notiz], "ruft an");
    EXPECT_EQ(csv.warnings, QStringList{"Nicht übernommene Spalten: Lieblingsfarbe"});

    EXPECT_FALSE(importAddresses("Farbe;Zahl\nrot;1\n", false).ok());

    // A card with only FN, TEL as a URI in vCard 4.
    const AddressImport vcf = importAddresses(
        "BEGIN:VCARD\nVERSION:4.0\nFN:Onkel Bert\nTEL;VALUE=uri:tel:+49-30-1234\nEND:VCARD\n",
        true);
    ASSERT_TRUE(vcf.ok());
    ASSERT_EQ(vcf.entries.size(), 1u);
    EXPECT_EQ(vcf.entries[0][F::Nachname], "Onkel Bert");
    EXPECT_EQ(vcf.entries[0][F::Telefon], "+49-30-1234");
}

TEST(AddressBookList, ColumnsFillCardsAndTicksBelongToTheirYear) {
    AddressBook book;
    book.entries = awkwardEntries();  // ticked: Käthe in 2026, Jörg in 2025
    const auto all = addressBookList(book, false, 2026);
    EXPECT_EQ(all->rowCount(), 4);
    EXPECT_TRUE(isAddressBookList(all->path));
    const auto ticked = addressBookList(book, true, 2026);
    EXPECT_EQ(ticked->path, kAddressBookListTicked);
    ASSERT_EQ(ticked->rowCount(), 1);
    const FieldFiller filler(*ticked);
    EXPECT_EQ(
        filler.fill(QStringLiteral("{Anrede} {Vorname} {Nachname}, {PLZ} {Ort}"), ticked->rows[0]),
        "Frau Käthe Größlinger-Weiß, 01234 Überlingen, am See");
    // Last year's tick shows unticked this year and is kept for that year.
    EXPECT_FALSE(book.entries[1].tickedIn(2026));
    EXPECT_TRUE(book.entries[1].tickedIn(2025));
    EXPECT_EQ(addressBookList(book, true, 2025)->rows[0][1], "Jörg");
    EXPECT_EQ(addressBookList(book, true, 2027)->rowCount(), 0);
}

TEST(AddressBookList, RememberedForACardByItsMarker) {
    bbtest::TempFolder tmp;
    QSettings settings(tmp.file("einstellungen.ini"), QSettings::IniFormat);
    rememberList(settings, tmp.file("karte.kar"), kAddressBookListTicked);
    rememberList(settings, tmp.file("andere.kar"), tmp.file("liste.csv"));
    EXPECT_EQ(rememberedList(settings, tmp.file("karte.kar")), kAddressBookListTicked);
    EXPECT_EQ(rememberedList(settings, tmp.file("andere.kar")), tmp.file("liste.csv"));
}

TEST(Birthdays, ParsedForms) {
    EXPECT_EQ(parseBirthday("14.03.1985"), (Birthday{14, 3, 1985}));
    EXPECT_EQ(parseBirthday(" 4.3. "), (Birthday{4, 3, 0}));
    EXPECT_EQ(parseBirthday("04.03"), (Birthday{4, 3, 0}));
    EXPECT_EQ(parseBirthday("1985-03-14"), (Birthday{14, 3, 1985}));
    EXPECT_EQ(parseBirthday("--0229"), (Birthday{29, 2, 0}));
    EXPECT_EQ(parseBirthday("29.02.2000"), (Birthday{29, 2, 2000}));
    EXPECT_FALSE(parseBirthday("29.02.1999"));
    EXPECT_FALSE(parseBirthday("31.04."));
    EXPECT_FALSE(parseBirthday("14.031985"));
    EXPECT_FALSE(parseBirthday("um 1900"));
    EXPECT_EQ(birthdayText({4, 3, 0}), "04.03.");
    EXPECT_EQ(birthdayText({4, 3, 1985}), "04.03.1985");
}

TEST(Birthdays, UpcomingAcrossYearEndLeapDayAndToday) {
    AddressBook book;
    const auto person = [&](const QString& name, const QString& birthday) {
        book.entries.push_back(entry({{F::Vorname, name}, {F::Geburtstag, birthday}}));
    };
    person("Heute", "20.12.1970");
    person("Silvester", "31.12.");
    person("Neujahr", "01.01.2000");
    person("Schaltjahr", "29.02.1964");
    person("Gestern", "19.12.1980");
    person("Zu spät", "20.01.1990");
    person("Ohne Datum", "irgendwann");

    const auto names = [&](const std::vector<UpcomingBirthday>& list) {
        QStringList out;
        for (const auto& b : list) out << book.entries[size_t(b.entry)][F::Vorname];
        return out;
    };
    const auto december = upcomingBirthdays(book, QDate(2026, 12, 20));
    EXPECT_EQ(names(december), QStringList({"Heute", "Silvester", "Neujahr"}));
    EXPECT_EQ(december[0].age, 56);
    EXPECT_EQ(december[1].age, 0);  // no year known
    EXPECT_EQ(december[2].date, QDate(2027, 1, 1));
    EXPECT_EQ(december[2].age, 27);
    // The last day counts; the day after does not.
    EXPECT_EQ(names(upcomingBirthdays(book, QDate(2026, 12, 21))).last(), "Zu spät");

    // 29 February: on 28 February in other years, on the day in leap years.
    const auto feb2027 = upcomingBirthdays(book, QDate(2027, 2, 1), 30);
    ASSERT_EQ(names(feb2027), QStringList{"Schaltjahr"});
    EXPECT_EQ(feb2027[0].date, QDate(2027, 2, 28));
    const auto feb2028 = upcomingBirthdays(book, QDate(2028, 2, 29), 0);
    ASSERT_EQ(names(feb2028), QStringList{"Schaltjahr"});
    EXPECT_EQ(feb2028[0].age, 64);
    EXPECT_TRUE(upcomingBirthdays(book, QDate(2027, 3, 1), 10).empty());

    EXPECT_EQ(upcomingBirthdaysText(book, december, QDate(2026, 12, 20)),
              "heute: Heute (56)\nDo 31.12.: Silvester\nFr 01.01.: Neujahr (27)");
    const QDate day(2026, 12, 30);
    EXPECT_EQ(upcomingBirthdaysText(book, upcomingBirthdays(book, day, 1), day),
              "morgen: Silvester");
}
