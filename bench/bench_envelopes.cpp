// Envelopes: 1000 rows of a generated list (German and foreign addresses, some fields empty)
// made into C6 window envelopes and DL envelopes with a sender block, each run from the list
// to the finished PDF file: the recipient lines, the fitted layout and the drawing.
#include "merge/AddressList.h"
#include "merge/MergeFields.h"
#include "print/EnvelopeLayout.h"
#include "print/EnvelopePrint.h"
#include "print/Envelopes.h"

#include <benchmark/benchmark.h>
#include <QFileInfo>
#include <QTemporaryDir>

namespace {

constexpr int kEnvelopes = 1000;

const bb::AddressList& generatedList() {
    static const std::shared_ptr<const bb::AddressList> list = [] {
        QByteArray csv = "Anrede;Vorname;Nachname;Straße;PLZ;Ort;Land\n";
        static const char* const given[] = {"Jördis", "Kaspar", "Meret", "Anselm", "Tilda"};
        static const char* const towns[] = {"Auenfeld", "Birkenstein", "Kleeau", "Wolkenbach"};
        static const char* const countries[] = {"Deutschland", "", "DE", "Österreich"};
        for (int i = 0; i < kEnvelopes; ++i) {
            csv += i % 3 == 0 ? ";" : (i % 2 ? "Herrn;" : "Frau;");
            csv += given[i % 5];
            csv += ";Mustergrün-" + QByteArray::number(i) + ";";
            csv += i % 7 == 0 ? "" : "Lindenweg " + QByteArray::number(i % 90 + 1);
            csv += ";" + QByteArray::number(10000 + i * 37 % 89999) + ";" + towns[i % 4] + ";" +
                   countries[i % 4] + "\n";
        }
        return bb::parseCsv(csv).list;
    }();
    return *list;
}

void envelopesToPdf(benchmark::State& state, const char* id, bool window) {
    const bb::AddressList& list = generatedList();
    const bb::EnvelopeSize& size = *bb::findEnvelope(QString::fromLatin1(id));
    const bb::SenderAddress sender{
        {QStringLiteral("Ida Pfefferkorn"), QStringLiteral("Lindenhang 12"),
         QStringLiteral("34560 Auenfeld")},
        QStringLiteral("Deutschland")};
    const QString tmpl = bb::templateForList(bb::kDefaultRecipientTemplate, list);
    const QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("umschlaege.pdf"));
    qint64 bytes = 0;
    for (auto _ : state) {
        const bb::FieldFiller filler(list);
        std::vector<bb::EnvelopeFace> faces;
        faces.reserve(list.rows.size());
        for (const QStringList& row : list.rows)
            faces.push_back(bb::envelopeFace(
                size, window, sender, bb::recipientLines(tmpl, filler, row, sender.country)));
        QString error;
        if (!bb::writeEnvelopePdf(path, faces, {}, &error)) {
            state.SkipWithError(qPrintable(error));
            break;
        }
        bytes = QFileInfo(path).size();
    }
    state.counters["envelopes"] = kEnvelopes;
    state.counters["pdf_MB"] = double(bytes) / (1024.0 * 1024.0);
}

void BM_Envelopes1000C6WindowToPdf(benchmark::State& state) {
    envelopesToPdf(state, "C6", true);
}
BENCHMARK(BM_Envelopes1000C6WindowToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Envelopes1000DLToPdf(benchmark::State& state) {
    envelopesToPdf(state, "DL", false);
}
BENCHMARK(BM_Envelopes1000DLToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
