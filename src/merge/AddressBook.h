// The address book "Adressen": the people a user sends cards to, kept by the program in one
// file of the user's data folder (format in docs/address-book.md). Each entry can be ticked
// for this year's cards; a tick belongs to the year it was given in, so last year's ticks
// show unticked without being lost. The book can be the address list of a personal card, and
// it lists the birthdays of the coming days.
#pragma once

#include "merge/AddressList.h"

#include <QDate>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace bb {

enum class AddressField {
    Anrede,
    Vorname,
    Nachname,
    Firma,
    Strasse,
    Plz,
    Ort,
    Land,
    EMail,
    Telefon,
    Geburtstag,
    Notiz,
};
inline constexpr int kAddressFieldCount = 12;

// The German names of the fields ("Anrede" … "Notiz", "Straße", "E-Mail"), in the order
// above; they are also the column names of the book as an address list and of its CSV.
const QStringList& addressBookFieldNames();
QString addressBookFieldName(AddressField field);

// A birthday: day and month, the year when known (0 otherwise).
struct Birthday {
    int day = 0;
    int month = 0;
    int year = 0;
    bool operator==(const Birthday&) const = default;
};
// Reads "14.03.1985", "14.3.1985", "14.03.", "14.03" and the ISO forms "1985-03-14", "--03-14",
// "--0314"; nullopt for anything else or a day the month does not have (29.02. is allowed without a
// year, and with a leap year).
std::optional<Birthday> parseBirthday(const QString& text);
// "14.03.1985" or "14.03." without a year.
QString birthdayText(const Birthday& birthday);

struct AddressEntry {
    std::array<QString, kAddressFieldCount> fields;
    // The year the entry was ticked in for that year's cards; 0 when never.
    int tickedYear = 0;

    QString& operator[](AddressField f) { return fields[size_t(f)]; }
    const QString& operator[](AddressField f) const { return fields[size_t(f)]; }
    bool tickedIn(int year) const { return tickedYear != 0 && tickedYear == year; }
    // "Hans Müller", else the company, else the e-mail; for lists and messages.
    QString displayName() const;
    bool operator==(const AddressEntry&) const = default;
};

struct AddressBook {
    std::vector<AddressEntry> entries;
    bool operator==(const AddressBook&) const = default;
};

// ---- the file ----

inline const QString kAddressBookFileName = QStringLiteral("Adressbuch.json");
// Larger files and books are refused: nobody keeps that many addresses, and reading one must
// not exhaust memory.
inline constexpr qint64 kAddressBookMaxBytes = 32LL * 1024 * 1024;
inline constexpr int kAddressBookMaxEntries = 50000;
inline constexpr int kAddressFieldMaxChars = 10000;

struct AddressBookLoad {
    AddressBook book;
    // Empty when read (or when there is no file yet: an empty book). Otherwise why the file
    // was refused (German); the file is then left as it is.
    QString error;
    bool ok() const { return error.isEmpty(); }
};
AddressBookLoad loadAddressBook(const QString& folder);
// The book's text as stored; parsed back by readAddressBook.
QByteArray addressBookBytes(const AddressBook& book);
AddressBookLoad readAddressBook(const QByteArray& bytes);
// Writes the book into `folder` (made when missing) whole or not at all, replacing only a
// regular file, never writing through a link. False with a German `error` on failure.
bool saveAddressBook(const QString& folder, const AddressBook& book, QString* error = nullptr);
// Moves a refused book file aside ("Adressbuch (beschädigt 2026-12-11 16-05-00).json") so
// that an empty book can start without losing it; the new name, empty on failure.
QString setAsideAddressBook(const QString& folder, QString* error = nullptr);

// ---- exchange with other programs ----

enum class AddressExchange { CsvUtf8, CsvCp1252, VCard3, VCard4 };

struct AddressExport {
    QByteArray bytes;
    QString error;  // German; bytes are empty then
    bool ok() const { return error.isEmpty(); }
};
// CSV (';' separated, CRLF, every field that needs it quoted; UTF-8 with a byte-order mark,
// which spreadsheets on Windows need to see it as UTF-8) with the field columns and
// "Dieses Jahr" (the year of the tick); Windows-1252 is refused, naming each entry and the
// characters it would lose, when an entry holds characters it cannot. vCard 3.0 or 4.0 with
// N, FN, ORG, ADR, TEL, EMAIL, BDAY and NOTE, lines folded at 75 octets.
AddressExport exportAddresses(const std::vector<AddressEntry>& entries, AddressExchange format);

struct AddressImport {
    std::vector<AddressEntry> entries;
    QStringList warnings;  // what the reader mended, and columns nobody could place
    QString error;         // German; no entries then
    bool ok() const { return error.isEmpty(); }
};
// A CSV or vCard file's entries (the kind told as readAddressList tells it): CSV columns are
// matched by the usual German and English names; a birthday that is no date stays as text.
AddressImport importAddresses(const QByteArray& bytes, bool vcard);
AddressImport importAddressFile(const QString& path);

// ---- the book as a card's address list ----

// What ListMemory remembers for a card whose list is the address book (no file path can
// look like it).
inline const QString kAddressBookListAll = QStringLiteral("adressbuch:alle");
inline const QString kAddressBookListTicked = QStringLiteral("adressbuch:dieses-jahr");
bool isAddressBookList(const QString& path);

// The book as an address list with the field names as columns (and "Name", the first and
// last name together), so that "{Vorname}" fills at once; with `tickedOnly` only the entries
// ticked in `year`. Its path is one of the markers above.
std::shared_ptr<const AddressList> addressBookList(const AddressBook& book, bool tickedOnly,
                                                   int year);
std::shared_ptr<const AddressList> addressBookList(const AddressBook& book, bool tickedOnly);

// ---- birthdays ----

struct UpcomingBirthday {
    int entry = 0;  // index into the book
    QDate date;     // when it is celebrated
    int age = 0;    // the age reached that day; 0 when the birth year is unknown
};
// The birthdays from `today` up to and including `today + days`, soonest first. Someone born
// on 29 February celebrates on 28 February in other years.
std::vector<UpcomingBirthday> upcomingBirthdays(const AddressBook& book, QDate today,
                                                int days = 30);

// One line per birthday for the note at start: "heute: Käthe Weiß (62)", "morgen: …",
// "Mo 21.12.: Jörg Maß".
QString upcomingBirthdaysText(const AddressBook& book, const std::vector<UpcomingBirthday>& list,
                              QDate today);

}  // namespace bb
