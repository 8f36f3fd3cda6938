// Columns by any name: the guess over headers as spreadsheets and address programs write them,
// the mapped list filling a card's fields, and the mapping remembered per list.
#include "merge/ColumnMapping.h"
#include "merge/MergeFields.h"
#include "merge/MergeSession.h"
#include "support/TestSupport.h"

#include <QSettings>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace bb;

namespace {

AddressList withColumns(const char* csvHeader) {
    AddressList list;
    list.columns = QString::fromUtf8(csvHeader).split(u',');
    return list;
}

// The fields that found a column, in the mapping's order: "Vorname=First Name|Ort=City".
QString guessed(const AddressList& list, const QStringList& fields,
                const ColumnMapping& kept = {}) {
    QStringList out;
    for (const auto& [field, column] : guessMapping(list, fields, kept).fieldToColumn)
        if (!column.isEmpty()) out << field + u'=' + column;
    return out.join(u'|');
}

QString guessedAddress(const char* header) {
    return guessed(withColumns(header), addressFieldNames());
}

}  // namespace

TEST(ColumnGuess, EnglishHeadersAndAnyCaseSpacingOrPunctuation) {
    EXPECT_EQ(guessedAddress("Salutation,First Name,Surname,Company,Street,Zip,Town,Country,Email,"
                             "Date of Birth"),
              "Anrede=Salutation|Vorname=First Name|Nachname=Surname|Firma=Company|"
              "Straße=Street|PLZ=Zip|Ort=Town|Land=Country|E-Mail=Email|"
              "Geburtstag=Date of Birth");
    // Unknown columns stay free.
    EXPECT_EQ(guessedAddress(" VORNAME ,family-name,STRASSE,Post Code,wohnort,e_mail,Notiz"),
              "Vorname= VORNAME |Nachname=family-name|Straße=STRASSE|PLZ=Post Code|Ort=wohnort|"
              "E-Mail=e_mail");
}

TEST(ColumnGuess, ExportsOfAddressProgramsTakeTheHomeAddressAndTheRightName) {
    // Outlook: the business address comes first in the file, the home address is the one.
    EXPECT_EQ(guessedAddress("Title,First Name,Middle Name,Last Name,Suffix,Company,Department,"
                             "Job Title,Business Street,Business City,Business Postal Code,"
                             "Home Street,Home City,Home Postal Code,Home Country/Region,"
                             "Birthday,E-mail Address,E-mail 2 Address"),
              "Anrede=Title|Vorname=First Name|Nachname=Last Name|Firma=Company|"
              "Straße=Home Street|PLZ=Home Postal Code|Ort=Home City|"
              "Land=Home Country/Region|E-Mail=E-mail Address|Geburtstag=Birthday");
    // Outlook in German, with only a business address: taken when nothing better is there.
    EXPECT_EQ(guessedAddress("Anrede,Vorname,Weitere Vornamen,Nachname,Straße geschäftlich,"
                             "Ort geschäftlich,Postleitzahl geschäftlich,E-Mail-Adresse"),
              "Anrede=Anrede|Vorname=Vorname|Nachname=Nachname|Straße=Straße geschäftlich|"
              "PLZ=Postleitzahl geschäftlich|Ort=Ort geschäftlich|E-Mail=E-Mail-Adresse");
    // Google: "Name" is the whole name and the formatted address is several lines; neither is
    // taken while the parts are there.
    EXPECT_EQ(guessedAddress("Name,Given Name,Additional Name,Family Name,Name Prefix,Birthday,"
                             "E-mail 1 - Type,E-mail 1 - Value,Address 1 - Type,"
                             "Address 1 - Formatted,Address 1 - Street,Address 1 - City,"
                             "Address 1 - Postal Code,Address 1 - Country,Organization 1 - Name"),
              "Anrede=Name Prefix|Vorname=Given Name|Nachname=Family Name|"
              "Firma=Organization 1 - Name|Straße=Address 1 - Street|"
              "PLZ=Address 1 - Postal Code|Ort=Address 1 - City|Land=Address 1 - Country|"
              "E-Mail=E-mail 1 - Value|Geburtstag=Birthday");
    // Thunderbird in German.
    EXPECT_EQ(guessedAddress("Vorname,Nachname,Anzeigename,Primäre E-Mail-Adresse,"
                             "Privat: Adresse,Privat: Ort,Privat: PLZ,Privat: Land"),
              "Vorname=Vorname|Nachname=Nachname|Straße=Privat: Adresse|PLZ=Privat: PLZ|"
              "Ort=Privat: Ort|Land=Privat: Land|E-Mail=Primäre E-Mail-Adresse");
}

TEST(ColumnGuess, AColumnServesOneFieldAndTheCardsOwnNamesComeFirst) {
    // "Name" fills the last name only when nothing better is there, and not at all when the
    // card uses {Name} itself.
    EXPECT_EQ(guessedAddress("Vorname,Name,Ort"), "Vorname=Vorname|Nachname=Name|Ort=Ort");
    EXPECT_EQ(guessed(withColumns("Vorname,Name"), mappingFields({"Name"})),
              "Name=Name|Vorname=Vorname");
    // An equally named column is the field's even where another field's alias would match it
    // first: "Adresse" is an alias of Straße, but the card has {Adresse}.
    EXPECT_EQ(guessed(withColumns("Adresse,Straße"), mappingFields({"adresse"})),
              "adresse=Adresse|Straße=Straße");
    // Every field is listed, found or not, the card's first.
    const ColumnMapping all = guessMapping(withColumns("Vorname"), mappingFields({"Titel"}));
    ASSERT_EQ(all.fieldToColumn.size(), size_t(11));
    EXPECT_EQ(all.fieldToColumn.front(), std::make_pair(QString("Titel"), QString()));
    // Kept entries stay as they are and their columns are taken; a column named like a field
    // stays that field's even when a kept entry uses it.
    ColumnMapping kept;
    kept.set("Vorname", "Rufname");
    kept.set("Ort", QString());  // chosen "(keine)"
    kept.set("Nachname", "Name");
    EXPECT_EQ(guessed(withColumns("Vorname,Rufname,Ort,Name,Firma"),
                      {"Vorname", "Ort", "Firma", "Name"}, kept),
              "Vorname=Rufname|Nachname=Name|Firma=Firma|Name=Name");
}

TEST(MappedList, FillsTheAddressFieldsFromAnEnglishList) {
    AddressList list = withColumns("Title,First Name,Last Name,Zip,City");
    list.rows = {{"Frau", "Ottilie", "Brennwald", "12345", "Lindenfeld"},
                 {"", "Kasimir", "Quastberg", "54321", "Hagedorn"}};
    list.path = QStringLiteral("/listen/kontakte.csv");
    const auto mapped = mappedList(list, guessMapping(list, addressFieldNames()));
    // The list's own columns keep their places; the field columns are added after them.
    EXPECT_EQ(mapped->columns.mid(0, 5), list.columns);
    EXPECT_EQ(mapped->path, list.path);
    const FieldFiller filler(*mapped);
    const QString text = QStringLiteral("{Anrede} {Vorname} {Nachname}\n{PLZ} {Ort} ({City})");
    EXPECT_EQ(filler.fill(text, mapped->rows[0]),
              QStringLiteral("Frau Ottilie Brennwald\n12345 Lindenfeld (Lindenfeld)"));
    EXPECT_EQ(filler.fill(text, mapped->rows[1]),
              QStringLiteral("Kasimir Quastberg\n54321 Hagedorn (Hagedorn)"));
    EXPECT_EQ(filler.fill(QStringLiteral("{Firma}"), mapped->rows[1]), QStringLiteral("{Firma}"));
}

TEST(MappedList, AChosenColumnWinsOverAnEquallyNamedOneAndNoChangeKeepsTheList) {
    auto list = std::make_shared<AddressList>(withColumns("Vorname,Rufname"));
    list->rows = {{"Wilhelmine", "Mina"}};
    ColumnMapping m = guessMapping(*list, addressFieldNames());
    EXPECT_EQ(mappedList(list, m), list);  // nothing to map: the same list

    m.set("Vorname", "Rufname");
    const auto mapped = mappedList(list, m);
    EXPECT_EQ(mapped->columns, list->columns);
    EXPECT_EQ(FieldFiller(*mapped).fill("{Vorname}", mapped->rows[0]), "Mina");
    // A column the list does not have maps nothing.
    m.set("Vorname", "Spitzname");
    EXPECT_EQ(mappedList(list, m), list);
    // "(keine)" leaves the field as typed even beside a column of its name, whose place and
    // cells stay.
    m.set("Vorname", QString());
    const auto none = mappedList(list, m);
    EXPECT_EQ(none->columns.size(), 2);
    EXPECT_EQ(none->columns.at(1), "Rufname");
    EXPECT_EQ(none->rows[0], list->rows[0]);
    EXPECT_EQ(FieldFiller(*none).fill("{Vorname} {Rufname}", none->rows[0]), "{Vorname} Mina");
    EXPECT_EQ(unusedColumns({"Vorname", "Rufname"}, *list, m), QStringList{"Vorname"});
}

TEST(MappedList, UnusedColumnsCountThoseReachedThroughTheMapping) {
    const AddressList list = withColumns("First Name,Last Name,Notes");
    const ColumnMapping m = guessMapping(list, addressFieldNames());
    EXPECT_EQ(unusedColumns({"Vorname", "Notes"}, list, m), QStringList{"Last Name"});
}

TEST(MappingMemory, RoundTripPerListWithAVanishedColumnGuessedAgain) {
    bbtest::TempFolder dir;
    QSettings s(dir.file(QStringLiteral("settings.ini")), QSettings::IniFormat);
    AddressList list = withColumns("Rufname,Vorname,Zuname,Wohnort");
    list.path = QStringLiteral("/listen/verein.csv");
    ColumnMapping chosen;
    chosen.set("Vorname", "Rufname");
    chosen.set("Nachname", "Zuname");
    chosen.set("Ort", QString());
    rememberMapping(s, list.path, chosen);
    rememberMapping(s, QStringLiteral("/listen/andere.csv"), ColumnMapping{});
    EXPECT_EQ(rememberedMapping(s, list), chosen);

    // The list lost its column "Zuname": that field is guessed again, the others stay.
    AddressList changed = withColumns("Rufname,Vorname,Familienname,Wohnort");
    changed.path = list.path;
    const ColumnMapping remembered = rememberedMapping(s, changed);
    EXPECT_FALSE(remembered.has("Nachname"));
    const ColumnMapping m = guessMapping(changed, addressFieldNames(), remembered);
    EXPECT_EQ(m.columnOf("Vorname"), "Rufname");
    EXPECT_EQ(m.columnOf("Nachname"), "Familienname");
    EXPECT_EQ(m.columnOf("Ort"), QString());  // "(keine)" stays chosen

    // A single field chosen to have no column survives the settings file too.
    ColumnMapping single;
    single.set("Ort", QString());
    rememberMapping(s, list.path, single);
    s.sync();
    EXPECT_EQ(rememberedMapping(s, list), single);
    QSettings reread(dir.file(QStringLiteral("settings.ini")), QSettings::IniFormat);
    EXPECT_EQ(rememberedMapping(reread, list), single);

    // Another list has none; the oldest list goes once there are too many.
    AddressList other = list;
    other.path = QStringLiteral("/listen/fremd.csv");
    EXPECT_TRUE(rememberedMapping(s, other).isEmpty());
    for (int i = 0; i < kRememberedMappingsMax; ++i)
        rememberMapping(s, QStringLiteral("/listen/%1.csv").arg(i), chosen);
    EXPECT_TRUE(rememberedMapping(s, list).isEmpty());
}

TEST(MergeSessionMapping, TheSessionFillsFromTheMappedListAndRemapsKeepingTheRows) {
    MergeSession session;
    auto list = std::make_shared<AddressList>(withColumns("Given Name,Nickname"));
    list->rows = {{"Adalbert", "Berti"}, {"Friedegunde", "Frieda"}};
    session.setList(list);
    EXPECT_EQ(session.sourceList(), list);
    EXPECT_EQ(session.mapping().columnOf("Vorname"), "Given Name");
    session.showRecord(1);
    session.setTicked(0, true);
    EXPECT_EQ(session.fillFunction()("{Vorname}"), "Friedegunde");

    QSignalSpy shown(&session, &MergeSession::shownChanged);
    QSignalSpy listChanged(&session, &MergeSession::listChanged);
    ColumnMapping m = session.mapping();
    m.set("Vorname", "Nickname");
    session.setMapping(m);
    EXPECT_EQ(shown.count(), 1);
    EXPECT_EQ(listChanged.count(), 0);  // the same list, only filled otherwise
    EXPECT_EQ(session.fillFunction()("{Vorname}"), "Frieda");
    EXPECT_EQ(session.shownRecord(), 1);
    EXPECT_TRUE(session.isTicked(0));
}
