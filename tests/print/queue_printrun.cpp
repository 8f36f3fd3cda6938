// Print runs through real CUPS queues of the private server, in the printer's own format (not
// the PDF writer): the queues as the program sees them, the cards on the PDF that cups-pdf
// made (positions and colours; text turns into Type 3 fonts there), and jobs that fail, wait in
// a stopped queue or are cancelled.
#include "PdfPages.h"

#include "document/RenderContext.h"
#include "print/CupsQueue.h"
#include "print/PrintRun.h"
#include "print/PrinterTarget.h"
#include "support/PrivateCups.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QPageLayout>
#include <QPrinter>
#include <QPrinterInfo>

using namespace bb;
using namespace printtest;

namespace {

const QRgb kRed = qRgb(255, 0, 0);
const QRgb kBlue = qRgb(0, 0, 255);

struct QueueFixture {
    bbtest::ScriptedDialogs dialogs;
    RenderContext ctx;
    std::unique_ptr<CardDocument> doc = std::make_unique<CardDocument>();
    PrinterTarget target;
    QString queue;

    explicit QueueFixture(const QString& name) : queue(name) {
        doc->format = twoByFive();
        colourSides(*doc);
    }
    // Prints and finds the job the run submitted; nullopt (with a failure) when it did not.
    std::optional<JobInfo> print(int side, const PrintOptions& options) {
        if (!target.selectPrinter(queue)) {
            ADD_FAILURE() << "cannot select " << queue.toStdString();
            return std::nullopt;
        }
        const auto before = cups::highestJobId(queue);
        if (!before) {
            ADD_FAILURE() << "the server does not answer";
            return std::nullopt;
        }
        const PrintRunResult result =
            printCards(target.printer(), *doc, side, ctx, options, dialogs);
        if (!result.ok) {
            ADD_FAILURE() << result.error.toStdString();
            return std::nullopt;
        }
        auto job = cups::findJob(queue, *before, kPrintJobTitle);
        if (!job) ADD_FAILURE() << "no job titled like the run after job " << *before;
        return job;
    }
    // Device pixel (0, 0) of the printable area on the paper, in device pixels.
    QPoint printableOrigin() const {
        const QPrinter& p = target.printer();
        const QPageLayout layout = p.pageLayout();
        const int dpi = p.logicalDpiX();
        return layout.paintRectPixels(dpi).topLeft() - layout.fullRectPixels(dpi).topLeft();
    }
};

// The queue's own resolution (the PPD's default): cups-pdf renders the job at it, while Qt
// draws at the highest resolution the queue offers.
constexpr int kQueueDpi = 300;

// A rectangle in device pixels at `dpi`, in page-picture pixels at kQueueDpi.
QRect atQueueDpi(QRect r, double dpi) {
    const double s = kQueueDpi / dpi;
    return QRect(
        QPoint(qRound(r.left() * s), qRound(r.top() * s)),
        QPoint(qRound((r.left() + r.width()) * s) - 1, qRound((r.top() + r.height()) * s) - 1));
}

// Every placed card is a filled rectangle of `colour` within `tolerance` pixels of its place
// on the page pictures at the queue's resolution.
void expectCardsAt(const QString& pdf, const std::vector<CardPlacement>& cards, QPoint origin,
                   double deviceDpi, QRgb colour, int tolerance) {
    int page = -1;
    QImage image;
    for (const CardPlacement& c : cards) {
        if (c.page != page) {
            page = c.page;
            image = pdfPage(pdf, page + 1, kQueueDpi);
            ASSERT_FALSE(image.isNull()) << "page " << page + 1;
        }
        const QRect expected = atQueueDpi(
            QRect(origin.x() + c.cardX, origin.y() + c.cardY, c.width, c.height), deviceDpi);
        // Cards abut vertically: measure the left and right edges along the card's middle row
        // and the top and bottom along a column a quarter in, clear of the fold line.
        const QRect row =
            colourBox(image, colour,
                      QRect(expected.left() - 30, expected.center().y(), expected.width() + 60, 1));
        // A card of the run right above or below reaches into the search column: there the
        // search stops at the edge.
        auto placed = [&](int dy) {
            return std::any_of(cards.begin(), cards.end(), [&](const CardPlacement& o) {
                return o.page == c.page && o.cardX == c.cardX &&
                       std::abs(o.cardY - c.cardY - dy) <= 2;
            });
        };
        const int above = placed(-c.height) ? tolerance : 30;
        const int below = placed(c.height) ? tolerance : 30;
        const QRect column =
            colourBox(image, colour,
                      QRect(expected.left() + expected.width() / 4, expected.top() - above, 1,
                            expected.height() + above + below));
        EXPECT_NEAR(row.left(), expected.left(), tolerance) << "position " << c.position;
        EXPECT_NEAR(row.right(), expected.right(), tolerance) << "position " << c.position;
        EXPECT_NEAR(column.top(), expected.top(), tolerance) << "position " << c.position;
        EXPECT_NEAR(column.bottom(), expected.bottom(), tolerance) << "position " << c.position;
    }
}

}  // namespace

TEST(QueueServer, ListsTheQueuesWithTheirStatesAndDuplex) {
    BB_REQUIRE_PRIVATE_CUPS();
    ASSERT_TRUE(cups::serverReachable());
    const auto list = cups::queues();
    ASSERT_TRUE(list.has_value());
    QStringList names;
    for (const QueueInfo& q : *list) {
        names << q.name;
        if (q.name == "Brisella_Angehalten") {
            EXPECT_EQ(q.state, QueueState::Stopped);
            EXPECT_FALSE(cups::acceptsJobs(q));
            EXPECT_EQ(q.message, QString::fromUtf8("Angehalten für die Tests"));
        } else {
            EXPECT_TRUE(cups::acceptsJobs(q)) << q.name.toStdString();
        }
    }
    for (const char* name : {"Brisella_PDF", "Brisella_Duplex", "Brisella_Kaputt",
                             "Brisella_Filterfehler", "Brisella_Angehalten"}) {
        EXPECT_TRUE(names.contains(name)) << name;
        EXPECT_TRUE(PrinterTarget::printerNames().contains(name)) << name;
    }
    // The program starts on a PDF file, then takes the server's default queue that the
    // service names, in the printer's own format; a printer chosen before keeps its place.
    const PrintService service = cups::askService();
    EXPECT_EQ(service.state, ServiceState::Answering);
    EXPECT_EQ(service.defaultPrinter, "Brisella_PDF");
    EXPECT_EQ(service.queues.size(), list->size());
    PrinterTarget target;
    EXPECT_TRUE(target.isPdf());
    EXPECT_TRUE(target.useDefaultPrinter(service.defaultPrinter));
    EXPECT_FALSE(target.isPdf());
    EXPECT_EQ(target.printer().printerName(), "Brisella_PDF");
    PrinterTarget chosen;
    chosen.usePdf(QString());
    EXPECT_FALSE(chosen.useDefaultPrinter(service.defaultPrinter));
    EXPECT_TRUE(chosen.isPdf());

    const auto duplex = QPrinterInfo::printerInfo("Brisella_Duplex").supportedDuplexModes();
    EXPECT_TRUE(duplex.contains(QPrinter::DuplexLongSide));
    EXPECT_TRUE(duplex.contains(QPrinter::DuplexShortSide));
    EXPECT_FALSE(QPrinterInfo::printerInfo("Brisella_PDF")
                     .supportedDuplexModes()
                     .contains(QPrinter::DuplexLongSide));
}

TEST(QueuePrintRun, OneCardKeepsItsTitlePaperAndPlace) {
    BB_REQUIRE_PRIVATE_CUPS();
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    QueueFixture f("Brisella_PDF");
    PrintOptions options;
    options.settings = {0, 1, 1};
    const auto job = f.print(SideOutside, options);
    ASSERT_TRUE(job);
    // The title reaches the queue intact, umlaut and sharp s included.
    EXPECT_EQ(job->title, kPrintJobTitle);
    const JobOutcome outcome = cups::waitForJob(f.queue, job->id, bbtest::kHangGuardMs);
    ASSERT_EQ(outcome.kind, JobOutcome::Completed) << outcome.reason.toStdString();
    const QString pdf = bbtest::queueOutput(job->id);
    ASSERT_FALSE(pdf.isEmpty());

    const DeviceGeometry g = f.target.geometry();
    EXPECT_EQ(pdfPageCount(pdf), 1);
    const QImage page = pdfPage(pdf, 1, kQueueDpi);
    // A4 at 300 dpi: 2480 × 3508 pixels.
    EXPECT_NEAR(page.width(), 2480, 1);
    EXPECT_NEAR(page.height(), 3508, 1);
    const auto cards = printPlacements(f.doc->format, options.settings, SideOutside, {}, g);
    expectCardsAt(pdf, cards, f.printableOrigin(), g.dpiX, kRed, 1);
    EXPECT_TRUE(colourBox(page, kBlue).isNull());
}

TEST(QueuePrintRun, CopiesAfterUsedPositionsOverTwoSheetsWithCutAndFoldLines) {
    BB_REQUIRE_PRIVATE_CUPS();
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    QueueFixture f("Brisella_PDF");
    PrintOptions options;
    options.settings = {7, 5, 1};  // positions 7..9 of sheet 1, then 0..1 of sheet 2
    options.cutLines = true;
    options.foldLines = true;
    const auto job = f.print(SideOutside, options);
    ASSERT_TRUE(job);
    ASSERT_EQ(cups::waitForJob(f.queue, job->id, bbtest::kHangGuardMs).kind, JobOutcome::Completed);
    const QString pdf = bbtest::queueOutput(job->id);
    ASSERT_FALSE(pdf.isEmpty());
    EXPECT_EQ(pdfPageCount(pdf), 2);

    const DeviceGeometry g = f.target.geometry();
    const auto cards = printPlacements(f.doc->format, options.settings, SideOutside, {}, g);
    ASSERT_EQ(cards.size(), 5u);
    // The outline rows and columns are part of the card: allow the line's pixel.
    expectCardsAt(pdf, cards, f.printableOrigin(), g.dpiX, kRed, 2);

    const QPoint o = f.printableOrigin();
    const CardPlacement& first = cards.front();
    const QRect c = atQueueDpi(
        QRect(o.x() + first.cardX, o.y() + first.cardY, first.width, first.height), g.dpiX);
    const QImage page = pdfPage(pdf, 1, kQueueDpi);
    // The lines are one device pixel wide: look at them at the device's resolution, in the
    // card's top edge and along its middle. Dotted cut line, dash-dot fold line.
    const int x = o.x() + first.cardX, y = o.y() + first.cardY;
    const QImage edge = pdfPageArea(pdf, 1, g.dpiX, QRect(x - 4, y - 4, first.width + 8, 9));
    const PixelRun top = rowRun(edge, 4, 4 + 6, 4 + first.width - 6);
    EXPECT_GT(top.dark, first.width / 5);
    EXPECT_GT(top.white, first.width / 5);
    const QImage middle =
        pdfPageArea(pdf, 1, g.dpiX, QRect(x + first.width / 2 - 4, y - 4, 9, first.height + 8));
    const PixelRun fold = columnRun(middle, 4, 4 + 6, 4 + first.height - 6);
    EXPECT_GT(fold.dark, first.height / 3);
    EXPECT_GT(fold.white, first.height / 10);
    // The used positions stay white.
    EXPECT_TRUE(colourBox(page, kRed, QRect(0, 0, page.width(), c.top() - 5)).isNull());
}

TEST(QueuePrintRun, InsideIsMirroredAndACalibrationMovesAndScales) {
    BB_REQUIRE_PRIVATE_CUPS();
    if (!havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    QueueFixture f("Brisella_PDF");
    PrintOptions inside;
    inside.settings = {0, 2, 1};
    const auto insideJob = f.print(SideInside, inside);
    ASSERT_TRUE(insideJob);

    PrintOptions calibrated;
    calibrated.settings = {2, 1, 1};
    calibrated.calibration = Calibration{4.0, 3.0, 98.0, 102.0};
    const auto calibratedJob = f.print(SideOutside, calibrated);
    ASSERT_TRUE(calibratedJob);
    ASSERT_GT(calibratedJob->id, insideJob->id);

    const DeviceGeometry g = f.target.geometry();
    ASSERT_EQ(cups::waitForJob(f.queue, insideJob->id, bbtest::kHangGuardMs).kind,
              JobOutcome::Completed);
    const QString insidePdf = bbtest::queueOutput(insideJob->id);
    ASSERT_FALSE(insidePdf.isEmpty());
    const auto mirrored = printPlacements(f.doc->format, inside.settings, SideInside, {}, g);
    expectCardsAt(insidePdf, mirrored, f.printableOrigin(), g.dpiX, kBlue, 1);
    // Column 0 sits on the right of the paper on the inside.
    EXPECT_GT(mirrored.front().cardX, mirrored.back().cardX);
    EXPECT_TRUE(colourBox(pdfPage(insidePdf, 1, kQueueDpi), kRed).isNull());

    ASSERT_EQ(cups::waitForJob(f.queue, calibratedJob->id, bbtest::kHangGuardMs).kind,
              JobOutcome::Completed);
    const QString calibratedPdf = bbtest::queueOutput(calibratedJob->id);
    ASSERT_FALSE(calibratedPdf.isEmpty());
    const auto moved =
        printPlacements(f.doc->format, calibrated.settings, SideOutside, calibrated.calibration, g);
    const auto nominal = printPlacements(f.doc->format, calibrated.settings, SideOutside, {}, g);
    ASSERT_EQ(moved.size(), 1u);
    ASSERT_NE(moved.front().cardX, nominal.front().cardX);
    ASSERT_NE(moved.front().width, nominal.front().width);
    expectCardsAt(calibratedPdf, moved, f.printableOrigin(), g.dpiX, kRed, 1);
}

TEST(QueueJobs, AFailingPrinterAbortsTheJobWithItsReason) {
    BB_REQUIRE_PRIVATE_CUPS();
    QueueFixture f("Brisella_Kaputt");
    PrintOptions options;
    const auto job = f.print(SideOutside, options);  // Qt sees its pages accepted
    ASSERT_TRUE(job);
    const JobOutcome outcome = cups::waitForJob(f.queue, job->id, bbtest::kHangGuardMs);
    EXPECT_EQ(outcome.kind, JobOutcome::Failed);
    EXPECT_TRUE(outcome.reason.contains("not responding")) << outcome.reason.toStdString();
}

TEST(QueueJobs, AFailedFilterStopsTheJobAndTheWaitReportsIt) {
    BB_REQUIRE_PRIVATE_CUPS();
    QueueFixture f("Brisella_Filterfehler");
    const auto job = f.print(SideOutside, PrintOptions{});
    ASSERT_TRUE(job);
    const JobOutcome outcome = cups::waitForJob(f.queue, job->id, bbtest::kHangGuardMs);
    EXPECT_EQ(outcome.kind, JobOutcome::Failed);
    EXPECT_EQ(outcome.reason, "Filter failed");
    // The server keeps it stopped; it is not left for the next run to find.
    ASSERT_TRUE(cups::cancelJob(job->id));
}

TEST(QueueJobs, AJobInAStoppedQueueWaitsUntilCancelled) {
    BB_REQUIRE_PRIVATE_CUPS();
    QueueFixture f("Brisella_Angehalten");
    const auto job = f.print(SideOutside, PrintOptions{});
    ASSERT_TRUE(job);
    // The stopped queue keeps it: the wait ends at its bound with the job still there.
    const JobOutcome waiting = cups::waitForJob(f.queue, job->id, 300);
    EXPECT_EQ(waiting.kind, JobOutcome::TimedOut);
    const auto pending = cups::jobInfo(job->id);
    ASSERT_TRUE(pending);
    EXPECT_FALSE(pending->ended());

    ASSERT_TRUE(cups::cancelJob(job->id));
    const JobOutcome cancelled = cups::waitForJob(f.queue, job->id, bbtest::kHangGuardMs);
    EXPECT_EQ(cancelled.kind, JobOutcome::Failed);
    EXPECT_FALSE(cancelled.reason.isEmpty());
    // A job that does not exist is no answer to wait for.
    bool notFound = false;
    EXPECT_FALSE(cups::jobInfo(job->id + 100000, &notFound));
    EXPECT_TRUE(notFound);
}
