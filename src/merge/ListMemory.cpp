// The remembered address lists; see ListMemory.h. The settings hold an array of pairs, most
// recent first, so that a path never has to serve as a settings key (its slashes would).
#include "merge/ListMemory.h"

#include "merge/AddressBook.h"

#include <QFileInfo>
#include <QSettings>

#include <utility>
#include <vector>

namespace bb {

namespace {

const QString kGroup = QStringLiteral("Serienkarten");
const QString kCardKey = QStringLiteral("Karte");
const QString kListKey = QStringLiteral("Liste");

using Entries = std::vector<std::pair<QString, QString>>;

QString absolute(const QString& path) {
    return path.isEmpty() ? QString() : QFileInfo(path).absoluteFilePath();
}

Entries readEntries(QSettings& s) {
    Entries entries;
    const int n = s.beginReadArray(kGroup);
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        entries.emplace_back(s.value(kCardKey).toString(), s.value(kListKey).toString());
    }
    s.endArray();
    return entries;
}

void writeEntries(QSettings& s, const Entries& entries) {
    s.remove(kGroup);
    s.beginWriteArray(kGroup, int(entries.size()));
    for (int i = 0; i < int(entries.size()); ++i) {
        s.setArrayIndex(i);
        s.setValue(kCardKey, entries[size_t(i)].first);
        s.setValue(kListKey, entries[size_t(i)].second);
    }
    s.endArray();
}

// Removes the entry of `card`; true when there was one.
bool removeEntry(Entries& entries, const QString& card) {
    return std::erase_if(entries, [&](const auto& e) { return e.first == card; }) > 0;
}

}  // namespace

QString rememberedList(QSettings& settings, const QString& cardPath) {
    const QString card = absolute(cardPath);
    if (card.isEmpty()) return {};
    for (const auto& [c, list] : readEntries(settings))
        if (c == card) return list;
    return {};
}

void rememberList(QSettings& settings, const QString& cardPath, const QString& listPath) {
    const QString card = absolute(cardPath);
    // The address book is remembered by its marker: it has no path of its own.
    const QString list = isAddressBookList(listPath) ? listPath : absolute(listPath);
    if (card.isEmpty() || list.isEmpty()) return;
    Entries entries = readEntries(settings);
    if (!entries.empty() && entries.front() == std::make_pair(card, list)) return;
    removeEntry(entries, card);
    entries.insert(entries.begin(), {card, list});
    if (entries.size() > size_t(kRememberedListsMax)) entries.resize(kRememberedListsMax);
    writeEntries(settings, entries);
}

void forgetList(QSettings& settings, const QString& cardPath) {
    Entries entries = readEntries(settings);
    if (removeEntry(entries, absolute(cardPath))) writeEntries(settings, entries);
}

}  // namespace bb
