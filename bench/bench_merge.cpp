// Address-list benchmarks on a generated CSV list of 100,000 rows and 10 columns, UTF-8 with
// umlauts and a quoted cell per row, as a German spreadsheet exports it: the time until the
// progress report with the first rows (what the merge dialog waits for before it shows the
// table; the read is cancelled there) and the time for the whole list.
#include "merge/AddressList.h"

#include <benchmark/benchmark.h>

namespace {

constexpr int kRows = 100000;

const QByteArray& generatedList() {
    static const QByteArray bytes = [] {
        QByteArray out = "Anrede;Vorname;Nachname;Straße;PLZ;Ort;Land;E-Mail;Geburtstag;Notiz\r\n";
        out.reserve(kRows * 120);
        static const char* const given[] = {"Jürgen", "Käthe", "Björn", "Anna", "Özlem"};
        static const char* const towns[] = {"München", "Köln", "Düsseldorf", "Lübeck", "Ulm"};
        for (int i = 0; i < kRows; ++i) {
            const QByteArray n = QByteArray::number(i);
            out += i % 2 ? "Herr;" : "Frau;";
            out += given[i % 5];
            out += ";Größer-" + n + ";Hauptstraße " + QByteArray::number(i % 200 + 1) + ";" +
                   QByteArray::number(10000 + i % 89999) + ";" + towns[i % 5] + ";Deutschland;" +
                   "person" + n +
                   "@example.org;14.03.1985;\"Grüße; \"\"bitte\"\" nicht knicken\"\r\n";
        }
        return out;
    }();
    return bytes;
}

void BM_CsvFirstRows100k(benchmark::State& state) {
    const QByteArray& bytes = generatedList();
    int firstRows = 0;
    for (auto _ : state) {
        const bb::AddressListResult r =
            bb::parseCsv(bytes, [&](const bb::AddressList& soFar, double) {
                firstRows = soFar.rowCount();
                return false;
            });
        if (!r.cancelled) {
            state.SkipWithError("no early progress report");
            break;
        }
    }
    state.counters["first_rows"] = firstRows;
    state.counters["file_MB"] = double(bytes.size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_CsvFirstRows100k)->Unit(benchmark::kMillisecond);

void BM_CsvRead100k(benchmark::State& state) {
    const QByteArray& bytes = generatedList();
    int rows = 0;
    for (auto _ : state) {
        const bb::AddressListResult r = bb::parseCsv(bytes);
        if (!r.ok()) {
            state.SkipWithError("the list was not read");
            break;
        }
        rows = r.list->rowCount();
    }
    state.counters["rows"] = rows;
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}
BENCHMARK(BM_CsvRead100k)->Unit(benchmark::kMillisecond);

}  // namespace
