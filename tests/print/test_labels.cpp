// Address labels: the shipped sheets' geometry, sheets that cannot be printed, the person's own
// sheet, which address lands on which label, the address lines, fitting, and the text of a
// printed PDF read back at its place.
#include "merge/AddressList.h"
#include "print/LabelPrint.h"
#include "print/LabelSheets.h"
#include "support/TestSupport.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>

using namespace bb;

namespace {

AddressList addresses() {
    AddressList list;
    list.columns = {"Anrede", "Vorname", "Nachname", "Straße", "PLZ", "Ort"};
    list.rows = {
        {"Frau", "Ilka", "Quendelmoor", "Am Fuchsbau 3", "12345", "Wiesenrode"},
        {"", "Taro", "Brackwinkel", "Lindenstieg 9", "23456", "Hohenfurt"},
        {"Herrn", "Ole", "Pfriemler", "Kleiner Anger 1", "34567", "Moosbach"},
        {"", "Wenke", "Sandhagen", "Rübenweg 17", "45678", "Kornfeld"},
        {"Familie", "", "Odenkamp", "Am Weiher 2", "56789", "Talheim"},
    };
    return list;
}

LabelSheet validSheet() {
    LabelSheet s;
    s.id = "test";
    s.name = "Test";
    s.columns = 2;
    s.rows = 3;
    s.labelMm = {90, 40};
    s.marginMm = {10, 20};
    s.pitchMm = {100, 45};
    return s;
}

}  // namespace

TEST(LabelSheetCatalogue, EveryShippedSheetLiesOnA4WithoutOverlap) {
    const std::vector<LabelSheet>& sheets = labelSheets();
    ASSERT_GE(sheets.size(), 4u);
    const std::map<QString, int> counts = {{"L7163", 14}, {"3477", 14}, {"L7160", 21},
                                           {"3348", 21},  {"3474", 24}, {"L7162", 16}};
    std::map<std::pair<int, int>, int> grids;
    for (const LabelSheet& s : sheets) {
        SCOPED_TRACE(s.id.toStdString());
        EXPECT_TRUE(labelSheetProblem(s).isEmpty()) << labelSheetProblem(s).toStdString();
        EXPECT_EQ(s.paperMm, QSizeF(210, 297));
        EXPECT_FALSE(s.products.isEmpty());
        if (s.columns > 1) {
            EXPECT_GE(s.pitchMm.x(), s.labelMm.width());
            // Neighbours do not share any area.
            EXPECT_FALSE(s.labelRectMm(0).intersects(s.labelRectMm(1)));
        }
        if (s.rows > 1) {
            EXPECT_GE(s.pitchMm.y(), s.labelMm.height());
            EXPECT_FALSE(s.labelRectMm(0).intersects(s.labelRectMm(s.columns)));
        }
        const QRectF paper(0, 0, 210, 297);
        for (int p = 0; p < s.perSheet(); ++p) {
            const QRectF r = s.labelRectMm(p);
            EXPECT_TRUE(paper.adjusted(-0.01, -0.01, 0.01, 0.01).contains(r)) << p;
        }
        if (const auto it = counts.find(s.id); it != counts.end()) {
            EXPECT_EQ(s.perSheet(), it->second);
        }
        ++grids[{s.columns, s.rows}];
        EXPECT_EQ(findLabelSheet(s.id.toLower()), &s);
    }
    for (const auto& grid : {std::pair{2, 7}, std::pair{3, 7}, std::pair{3, 8}, std::pair{2, 8}})
        EXPECT_GE(grids[grid], 1) << grid.first << "x" << grid.second;
    EXPECT_EQ(findLabelSheet("keins"), nullptr);
}

TEST(LabelSheetCatalogue, SheetsThatCannotBePrintedAreRefused) {
    EXPECT_TRUE(labelSheetProblem(validSheet()).isEmpty());
    const auto problem = [](auto change) {
        LabelSheet s = validSheet();
        change(s);
        return labelSheetProblem(s);
    };
    EXPECT_TRUE(problem([](LabelSheet& s) { s.pitchMm.rx() = 80; }).contains("überlappen"));
    EXPECT_TRUE(problem([](LabelSheet& s) { s.pitchMm.ry() = 39; }).contains("überlappen"));
    // One column needs no pitch across.
    EXPECT_TRUE(problem([](LabelSheet& s) {
                    s.columns = 1;
                    s.pitchMm.rx() = 0;
                }).isEmpty());
    const QString wide = problem([](LabelSheet& s) { s.marginMm.rx() = 25; });
    EXPECT_TRUE(wide.contains("nicht auf das Blatt")) << wide.toStdString();
    EXPECT_TRUE(wide.contains("215")) << wide.toStdString();
    EXPECT_TRUE(problem([](LabelSheet& s) { s.rows = 7; }).contains("letzte Zeile"));
    EXPECT_FALSE(problem([](LabelSheet& s) { s.columns = 0; }).isEmpty());
    EXPECT_FALSE(problem([](LabelSheet& s) { s.marginMm.ry() = -1; }).isEmpty());
    EXPECT_FALSE(problem([](LabelSheet& s) { s.labelMm.setWidth(0); }).isEmpty());
    EXPECT_FALSE(problem([](LabelSheet& s) {
                     s.pitchMm.rx() = std::numeric_limits<double>::quiet_NaN();
                 }).isEmpty());
    EXPECT_FALSE(problem([](LabelSheet& s) { s.cornerMm = 30; }).isEmpty());
}

TEST(LabelSheetCatalogue, BadCatalogueLinesNameTheirLine) {
    const QByteArray good = "# comment\nA;Zwei;Beispiel;2;3;90;40;10;20;100;45;1\n";
    QString error;
    const auto parsed = parseLabelSheets(good, &error);
    ASSERT_TRUE(parsed) << error.toStdString();
    ASSERT_EQ(parsed->size(), 1u);
    EXPECT_EQ(parsed->front().labelRectMm(3), QRectF(110, 65, 90, 40));
    const std::pair<QByteArray, QString> bad[] = {
        {good + "B;Drei;x;2;3;90;40\n", "Zeile 3"},
        {good + "B;Drei;x;2;3;90;vierzig;10;20;100;45;1\n", "keine Zahl"},
        {good + "a;Drei;x;2;3;90;40;10;20;100;45;1\n", "zweimal"},
        {good + "custom;Drei;x;2;3;90;40;10;20;100;45;1\n", "vorbehalten"},
        {good + "B;Drei;x;2;3;90;40;10;20;80;45;1\n", "überlappen"},
        {"# nothing\n", "leer"},
    };
    for (const auto& [csv, expected] : bad) {
        QString why;
        EXPECT_FALSE(parseLabelSheets(csv, &why)) << csv.toStdString();
        EXPECT_TRUE(why.contains(expected)) << why.toStdString();
    }
}

TEST(LabelSheetCatalogue, OwnSheetIsKeptInTheSettings) {
    bbtest::TempFolder dir;
    QSettings settings(dir.file("s.ini"), QSettings::IniFormat);
    // Never stored: a copy of the first shipped sheet under the own id.
    const LabelSheet start = customLabelSheet(settings);
    EXPECT_EQ(start.id, kCustomLabelSheetId);
    EXPECT_EQ(start.perSheet(), labelSheets().front().perSheet());
    LabelSheet own = validSheet();
    own.cornerMm = 2.5;
    storeCustomLabelSheet(settings, own);
    const LabelSheet back = customLabelSheet(settings);
    EXPECT_EQ(back.labelMm, own.labelMm);
    EXPECT_EQ(back.marginMm, own.marginMm);
    EXPECT_EQ(back.pitchMm, own.pitchMm);
    EXPECT_EQ(back.columns, 2);
    EXPECT_EQ(back.rows, 3);
    EXPECT_DOUBLE_EQ(back.cornerMm, 2.5);
    EXPECT_TRUE(back.name.contains("Eigenes"));
    // Absurd counts are refused and never counted beyond a sheet.
    settings.setValue("Etiketten/Eigenes/Spalten", 100000);
    settings.setValue("Etiketten/Eigenes/Zeilen", 100000);
    const LabelSheet absurd = customLabelSheet(settings);
    EXPECT_FALSE(labelSheetProblem(absurd).isEmpty());
    EXPECT_LE(absurd.perSheet(), kLabelGridMax * kLabelGridMax);
    // A damaged value falls back instead of becoming 0.
    settings.setValue("Etiketten/Eigenes/Breite", "breit");
    EXPECT_DOUBLE_EQ(customLabelSheet(settings).labelMm.width(),
                     labelSheets().front().labelMm.width());
}

TEST(LabelPlacement, UsedLabelsAndCopiesAcrossTwoSheets) {
    const LabelSheet& sheet = *findLabelSheet("L7160");  // 3 × 7
    MergePlan plan{{4, 0, 2}, 2};
    const auto labels = labelPlacements(sheet, 18, plan);
    ASSERT_EQ(labels.size(), 6u);
    const int expected[6][3] = {{0, 18, 4}, {0, 19, 4}, {0, 20, 0},
                                {1, 0, 0},  {1, 1, 2},  {1, 2, 2}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(labels[size_t(i)].page, expected[i][0]) << i;
        EXPECT_EQ(labels[size_t(i)].position, expected[i][1]) << i;
        EXPECT_EQ(labels[size_t(i)].row, expected[i][2]) << i;
    }
    EXPECT_EQ(labelSheetCount(sheet, 18, plan), 2);
    // As for cards: at most all labels but one of the first sheet are used.
    const auto clamped = labelPlacements(sheet, 99, MergePlan{{1}, 1});
    ASSERT_EQ(clamped.size(), 1u);
    EXPECT_EQ(clamped[0].position, 20);
    EXPECT_EQ(labelPlacements(sheet, -3, MergePlan{{1}, 1})[0].position, 0);
    EXPECT_TRUE(labelPlacements(sheet, 0, MergePlan{{}, 3}).empty());
    EXPECT_EQ(labelSheetCount(sheet, 0, MergePlan{{}, 3}), 0);
    // The job puts the placed rows' addresses on those labels.
    const AddressList list = addresses();
    const LabelJob job = labelJob(sheet, 18, list, plan);
    EXPECT_EQ(job.pages, 2);
    EXPECT_EQ(job.used, 18);
    ASSERT_EQ(job.labels.size(), 6u);
    EXPECT_EQ(job.labels[3].rectMm, sheet.labelRectMm(0));
    EXPECT_EQ(job.labels[3].text.lines.value(1), "Ilka Quendelmoor");
    EXPECT_EQ(job.labels[0].text.lines.value(0), "Familie");
}

TEST(LabelText, EmptyFieldsCloseUpAndMissingColumnsStayEmpty) {
    AddressList list = addresses();
    list.rows.push_back({"", "Zora", "", "Hof 1\nHinterhaus", "", "Gerstental"});
    const LabelSheet& sheet = *findLabelSheet("L7163");
    const auto lines = [&](const AddressList& from, int row, const QString& tmpl) {
        const LabelJob job = labelJob(sheet, 0, from, MergePlan{{row}, 1}, tmpl);
        return job.labels.empty() ? QStringList() : job.labels.front().text.lines;
    };
    // The list has no "Land": the field fills empty instead of showing as typed.
    EXPECT_EQ(lines(list, 0, kDefaultLabelTemplate),
              QStringList({"Frau", "Ilka Quendelmoor", "Am Fuchsbau 3", "12345 Wiesenrode"}));
    EXPECT_EQ(lines(list, 1, kDefaultLabelTemplate),
              QStringList({"Taro Brackwinkel", "Lindenstieg 9", "23456 Hohenfurt"}));
    EXPECT_EQ(lines(list, 4, kDefaultLabelTemplate).value(1), "Odenkamp");
    EXPECT_EQ(lines(list, 5, kDefaultLabelTemplate),
              QStringList({"Zora", "Hof 1", "Hinterhaus", "Gerstental"}));
    // A template of one's own.
    EXPECT_EQ(lines(list, 2, "An {Vorname}\n\n{Ort}"), QStringList({"An Ole", "Moosbach"}));
    // Germany is left out, other countries go in capitals on the last line.
    list.columns << "Land";
    list.rows[0] << "Deutschland";
    list.rows[1] << "Österreich";
    list.rows[2] << " de ";
    EXPECT_EQ(lines(list, 0, kDefaultLabelTemplate).last(), "12345 Wiesenrode");
    EXPECT_EQ(lines(list, 1, kDefaultLabelTemplate).last(), "ÖSTERREICH");
    EXPECT_EQ(lines(list, 2, kDefaultLabelTemplate).last(), "34567 Moosbach");
}

TEST(LabelText, TypeShrinksThenLinesAreCut) {
    const QRectF roomy(0, 0, 99.1, 38.1);
    const LabelText shortText = fitLabelText({"Ilka Quendelmoor", "12345 Wiesenrode"}, roomy);
    EXPECT_DOUBLE_EQ(shortText.pointSize, kLabelMaxPointSize);
    EXPECT_FALSE(shortText.cut);
    EXPECT_EQ(shortText.lines.size(), 2);
    // Centred vertically within the label, left at the inner margin.
    const double top = shortText.originMm.y();
    const double bottom = 38.1 - (top + 2 * shortText.lineHeightMm);
    EXPECT_NEAR(top, bottom, 0.01);
    EXPECT_NEAR(shortText.originMm.x(), kLabelInnerMarginMm, 1e-9);

    const QStringList six = {"Frau",          "Dr. Ilka Quendelmoor", "c/o Gartenverein",
                             "Am Fuchsbau 3", "12345 Wiesenrode",     "OBERLAND"};
    const LabelText smaller = fitLabelText(six, QRectF(0, 0, 70, 30));
    EXPECT_LT(smaller.pointSize, kLabelMaxPointSize);
    EXPECT_GE(smaller.pointSize, kLabelMinPointSize);
    EXPECT_FALSE(smaller.cut);
    EXPECT_LE(6 * smaller.lineHeightMm, 30.0);

    // Ten lines on a small label: the smallest type, and the lines beyond the room cut.
    QStringList ten;
    for (int i = 0; i < 10; ++i) ten << QStringLiteral("Zeile %1").arg(i + 1);
    const QRectF small(5, 7, 40, 20);
    const LabelText cut = fitLabelText(ten, small);
    EXPECT_DOUBLE_EQ(cut.pointSize, kLabelMinPointSize);
    EXPECT_TRUE(cut.cut);
    EXPECT_LT(cut.lines.size(), 10);
    EXPECT_EQ(cut.lines.front(), "Zeile 1");
    EXPECT_LE(cut.originMm.y() + cut.lines.size() * cut.lineHeightMm, small.bottom());
    EXPECT_GE(cut.originMm.y(), small.top());

    // One line far too long for the label is shortened, not drawn beyond it.
    const LabelText longLine = fitLabelText({QString(80, QLatin1Char('W'))}, small);
    EXPECT_TRUE(longLine.cut);
    EXPECT_TRUE(longLine.lines.front().endsWith(QChar(0x2026)));

    // The job names each cut label and its record.
    AddressList list = addresses();
    list.rows[1][3] = QString(120, QLatin1Char('M'));
    const LabelJob job = labelJob(*findLabelSheet("3474"), 0, list, MergePlan{{0, 1}, 1});
    ASSERT_EQ(job.warnings.size(), 1);
    EXPECT_TRUE(job.warnings.front().contains("Datensatz 2")) << job.warnings.front().toStdString();
}

namespace {

struct PdfWord {
    int page = 0;   // from 0
    QRectF rectMm;  // on the page
    QString text;
};

// The words pdftotext -bbox finds, with their boxes turned from points into millimetres.
std::vector<PdfWord> pdfWords(const QString& pdf) {
    QProcess p;
    p.start("pdftotext", {"-bbox", pdf, "-"});
    if (!p.waitForFinished(bbtest::kHangGuardMs)) return {};
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression word(
        QStringLiteral("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" xMax=\"([0-9.]+)\" "
                       "yMax=\"([0-9.]+)\">([^<]*)</word>"));
    std::vector<PdfWord> words;
    int page = -1;
    constexpr double mm = 25.4 / 72;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        if (m.captured(0).startsWith("<page")) {
            ++page;
            continue;
        }
        const double x0 = m.captured(1).toDouble(), y0 = m.captured(2).toDouble();
        const double x1 = m.captured(3).toDouble(), y1 = m.captured(4).toDouble();
        words.push_back({page, QRectF(QPointF(x0, y0) * mm, QPointF(x1, y1) * mm), m.captured(5)});
    }
    return words;
}

}  // namespace

TEST(LabelPdf, EachAddressLiesInsideItsLabel) {
    if (QStandardPaths::findExecutable("pdftotext").isEmpty()) GTEST_SKIP() << "no pdftotext";
    const LabelSheet& sheet = *findLabelSheet("L7163");  // 2 × 7
    const AddressList list = addresses();
    // 12 used labels: two addresses on the first sheet, the other three on the second.
    const LabelJob job = labelJob(sheet, 12, list, MergePlan{{0, 1, 2, 3, 4}, 1});
    ASSERT_EQ(job.pages, 2);
    bbtest::TempFolder dir;
    const QString pdf = dir.file("etiketten.pdf");
    QString error;
    const QByteArray bytes = labelPdf(job, &error);
    ASSERT_FALSE(bytes.isEmpty()) << error.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    const std::vector<PdfWord> words = pdfWords(pdf);
    ASSERT_FALSE(words.empty());
    for (const PrintedLabel& label : job.labels) {
        const QString surname = list.rows[size_t(label.place.row)][2];
        SCOPED_TRACE(surname.toStdString());
        const QString first = label.text.lines.front().split(' ').front();
        int found = 0;
        for (const PdfWord& w : words) {
            if (w.text != first && w.text != surname) continue;
            ++found;
            EXPECT_EQ(w.page, label.place.page);
            EXPECT_TRUE(label.rectMm.contains(w.rectMm))
                << w.text.toStdString() << " at " << w.rectMm.x() << "," << w.rectMm.y()
                << " not in " << label.rectMm.x() << "," << label.rectMm.y();
        }
        EXPECT_GE(found, 1);
    }
    // Nothing is drawn in the used labels of the first sheet.
    for (const PdfWord& w : words)
        if (w.page == 0) {
            for (int p = 0; p < 12; ++p) EXPECT_FALSE(sheet.labelRectMm(p).intersects(w.rectMm));
        }
}
