// The print run and the line drawing; see PrintRun.h.
#include "print/PrintRun.h"

#include "document/CardDocument.h"
#include "document/FileErrors.h"
#include "document/RenderContext.h"
#include "document/UserDialogs.h"
#include "merge/AddressList.h"
#include "merge/MergeFields.h"
#include "pictures/AtomicWrite.h"
#include "print/PrinterTarget.h"
#include "render/PicturePrefetch.h"
#include "render/Renderer.h"

#include <algorithm>
#include <optional>

#include <QDir>
#include <QFile>
#include <QFont>
#include <QPagedPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintEngine>
#include <QPrinter>

namespace bb {

namespace {

// A PDF file that a run writes: the printer writes into a temporary file beside the chosen
// one, and the chosen file is replaced only when the run has completed and the file is a
// whole PDF. A cancelled, failed or killed run leaves the earlier file as it was. Any other
// device is left alone. The printer gets its file name back however the run ends.
class PdfOutput {
public:
    explicit PdfOutput(QPagedPaintDevice& device) {
        auto* printer = dynamic_cast<QPrinter*>(&device);
        if (!printer || printer->outputFormat() != QPrinter::PdfFormat ||
            printer->outputFileName().isEmpty())
            return;
        printer_ = printer;
        target_ = printer->outputFileName();
        pending_.emplace(target_);
        if (pending_->isReady()) printer_->setOutputFileName(pending_->temporaryPath());
    }
    ~PdfOutput() {
        if (printer_) printer_->setOutputFileName(target_);
    }
    PdfOutput(const PdfOutput&) = delete;
    PdfOutput& operator=(const PdfOutput&) = delete;

    // False when the temporary file could not be made; failureText() says why.
    bool ready() const { return !pending_ || pending_->isReady(); }

    // Checks the finished file and puts it in place of the chosen one; empty when that
    // succeeded (or the device is no PDF file), else the German failure text.
    QString commit() {
        if (!pending_) return {};
        const WriteOutcome outcome =
            pending_->commit([](QIODevice& file) { return looksLikeCompletePdf(file); });
        return outcome.ok ? QString() : failureText(outcome.error);
    }

    QString failureText(int error = 0) const {
        if (error == 0 && pending_) error = pending_->error();
        QString text = QStringLiteral("Die PDF-Datei \"%1\" konnte nicht geschrieben werden.")
                           .arg(QDir::toNativeSeparators(target_));
        if (error != 0) text += QLatin1Char('\n') + fileErrorReason(error);
        return text;
    }

private:
    QPrinter* printer_ = nullptr;
    QString target_;
    std::optional<PendingFile> pending_;
};

// Calls draw(areaWidth, areaHeight, scrollX, scrollY) with the painter placed for one card at
// its rectangle; a turned card is drawn upside down within the same rectangle.
template <typename Draw>
void atPageCard(QPainter& painter, const PageCard& c, Draw draw) {
    if (!c.turned) {
        draw(c.width, c.height, c.width - c.x, c.height - c.y);
        return;
    }
    painter.save();
    painter.translate(c.x + c.width, c.y + c.height);
    painter.rotate(180);
    draw(c.width, c.height, c.width, c.height);
    painter.restore();
}

void drawPageCard(QPainter& painter, const CardDocument& doc, const RenderContext& ctx,
                  const PageCard& c) {
    atPageCard(painter, c, [&](int areaWidth, int areaHeight, int scrollX, int scrollY) {
        drawCardSide(painter, doc, c.side, ctx, areaWidth, areaHeight, scrollX, scrollY,
                     ctx.outputScale, false);
    });
}

// The pictures of every card on the page decoded at the device's resolution, in parallel,
// before the page is drawn (texts do not change which pictures a card asks for).
std::shared_ptr<const PreparedPictures> preparePage(QPainter& painter, const CardDocument& doc,
                                                    const RenderContext& ctx,
                                                    const PrintPage& page) {
    std::vector<PictureRequest> requests;
    for (const PageCard& c : page.cards) {
        atPageCard(painter, c, [&](int areaWidth, int areaHeight, int scrollX, int scrollY) {
            std::vector<PictureRequest> card =
                sidePictureRequests(painter, doc, c.side, ctx, areaWidth, areaHeight, scrollX,
                                    scrollY, ctx.outputScale, false);
            requests.insert(requests.end(), std::make_move_iterator(card.begin()),
                            std::make_move_iterator(card.end()));
        });
    }
    return preparePictures(requests);
}

void setJobTitle(QPagedPaintDevice& device, const QString& title) {
    if (auto* printer = dynamic_cast<QPrinter*>(&device)) {
        printer->setDocName(title);
    } else if (auto* writer = dynamic_cast<QPdfWriter*>(&device)) {
        writer->setTitle(title);
    }
}

// The CUPS options of Qt's print engine for CUPS printers (its PPK_CupsOptions).
constexpr auto kCupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

// Ends a printer document so that nothing reaches the queue. Qt's engine for CUPS printers
// cannot abort (abort() returns false and does nothing), and ending its document hands the
// pages drawn so far to the queue. A job asking for zero copies is one the server refuses, so
// the document is ended with that request; the printer's own options come back afterwards.
void endRefusedByQueue(QPrinter& printer, QPainter& painter) {
    QPrintEngine* engine = printer.printEngine();
    const QVariant options = engine->property(kCupsOptionsKey);
    const QVariant copies = engine->property(QPrintEngine::PPK_CopyCount);
    // The engine adds its own copies request before the CUPS options when it has more than one.
    engine->setProperty(QPrintEngine::PPK_CopyCount, 1);
    engine->setProperty(
        kCupsOptionsKey,
        QStringList{QStringLiteral("copies"), QStringLiteral("0")} + options.toStringList());
    painter.end();
    engine->setProperty(kCupsOptionsKey, options.toStringList());
    engine->setProperty(QPrintEngine::PPK_CopyCount, copies);
}

// Ends a document that failed half-way: a printer job is cancelled; a PDF file's temporary
// file goes with the run's PdfOutput, and the chosen file keeps its earlier content.
void abandonDocument(QPagedPaintDevice& device, QPainter& painter) {
    auto* printer = dynamic_cast<QPrinter*>(&device);
    if (printer && printer->outputFormat() == QPrinter::NativeFormat && !printer->abort() &&
        painter.isActive())
        endRefusedByQueue(*printer, painter);
    if (painter.isActive()) painter.end();
}

// One pass of a dotted or dash-dot line over white: the white solid line first fills what
// will be the gaps, then the pattern goes on top in black.
void strokePattern(QPainter& painter, const QPolygonF& path, Qt::PenStyle style) {
    QPen white(Qt::white, 1, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    QPen black(Qt::black, 1, style, Qt::FlatCap, Qt::MiterJoin);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(white);
    painter.drawPolyline(path);
    painter.setPen(black);
    painter.drawPolyline(path);
}

// The point that makes a one-pixel line cover exactly the pixel row or column it names:
// the raster engine draws aliased lines right of and below integer coordinates, vector
// devices (PDF, printers) centre them on the coordinate, so there the pixel centre is used.
struct PixelGrid {
    qreal shift;
    explicit PixelGrid(const QPainter& painter)
        : shift(painter.paintEngine() && painter.paintEngine()->type() == QPaintEngine::Raster
                    ? 0.0
                    : 0.5) {}
    QPointF operator()(int x, int y) const { return QPointF(x + shift, y + shift); }
};

// A mark of the alignment sheet in black, lines about a quarter millimetre wide; a turned
// mark is drawn upside down within its rectangle.
void drawPageMark(QPainter& painter, const PageMark& mark) {
    const QRectF r(mark.rect);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (mark.turned) {
        painter.translate(r.center());
        painter.rotate(180);
        painter.translate(-r.center());
    }
    const qreal width = std::max(1, painter.device()->logicalDpiX() / 100);
    painter.setPen(QPen(Qt::black, width, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::black);
    switch (mark.kind) {
        case PageMark::Cross:
            painter.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
            painter.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom()));
            break;
        case PageMark::ArrowUp: {
            const qreal head = std::min(r.width(), r.height() / 2);
            painter.drawLine(QPointF(r.center().x(), r.top() + head / 2),
                             r.center() + QPointF(0, r.height() / 2));
            painter.drawPolygon(QPolygonF{QPointF(r.center().x(), r.top()),
                                          QPointF(r.left(), r.top() + head),
                                          QPointF(r.right(), r.top() + head)});
            break;
        }
        case PageMark::Label: {
            QFont font(QStringLiteral("Arial"));
            font.setPixelSize(std::max(1, int(r.height() * 0.8)));
            painter.setFont(font);
            painter.drawText(r, Qt::AlignCenter, mark.text);
            break;
        }
    }
    painter.restore();
}

}  // namespace

void drawCutOutline(QPainter& painter, int x, int y, int w, int h) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const PixelGrid px(painter);
    const QPolygonF path{px(x, y), px(x + w, y), px(x + w, y + h), px(x, y + h), px(x, y)};
    for (int pass = 0; pass < kLinePasses; ++pass) strokePattern(painter, path, Qt::DotLine);
    painter.restore();
}

void drawFoldLine(QPainter& painter, int x, int y, int h) {
    drawFoldLine(painter, QLine(x, y, x, y + h));
}

void drawFoldLine(QPainter& painter, const QLine& line) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const PixelGrid px(painter);
    const QPolygonF path{px(line.x1(), line.y1()), px(line.x2(), line.y2())};
    for (int pass = 0; pass < kLinePasses; ++pass) strokePattern(painter, path, Qt::DashDotLine);
    painter.restore();
}

PrintRunResult runPrintJob(QPagedPaintDevice& device, const CardDocument& doc,
                           const RenderContext& screen, const PrintJob& job, UserDialogs& dialogs,
                           PrintProgress* progress) {
    PrintRunResult result;
    const DeviceGeometry geometry = deviceGeometry(device);
    // The run's own settings: the calibrated millimetres per inch at the device's resolution.
    RenderContext ctx = atOutputDpi(screen, geometry.dpiX);
    ctx.mmPerInchX = job.calibration.mmPerInchX();
    ctx.mmPerInchY = job.calibration.mmPerInchY();
    setJobTitle(device, job.title);
    PdfOutput pdf(device);
    if (!pdf.ready()) {
        result.error = pdf.failureText();
        return result;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        result.error = QStringLiteral("Der Druck konnte nicht begonnen werden.");
        if (auto* printer = dynamic_cast<QPrinter*>(&device);
            printer && printer->outputFormat() == QPrinter::PdfFormat)
            result.error = pdf.failureText();
        return result;
    }
    if (geometry.dpiX != geometry.dpiY)
        dialogs.message(kUnequalResolutionText, QStringLiteral("Fehler"), MsgIcon::Information,
                        BtnOk);

    const FieldFiller filler = job.addresses ? FieldFiller(*job.addresses) : FieldFiller();
    const int pageCount = int(job.pages.size());
    for (int i = 0; i < pageCount; ++i) {
        if (progress && !progress->pageStarting(i + 1, pageCount)) {
            abandonDocument(device, painter);
            result.cancelled = true;
            result.error = kPrintCancelledText;
            return result;
        }
        if (i > 0 && !device.newPage()) {
            abandonDocument(device, painter);
            result.error = QStringLiteral("Der Drucker hat keine neue Seite angenommen.");
            return result;
        }
        ++result.pages;
        const PrintPage& page = job.pages[size_t(i)];
        const RenderContext pageCtx =
            withPreparedPictures(ctx, preparePage(painter, doc, ctx, page));
        for (const PageCard& card : page.cards) {
            if (card.record >= 0 && job.addresses && card.record < job.addresses->rowCount()) {
                const QStringList& row = job.addresses->rows[size_t(card.record)];
                drawPageCard(painter, doc,
                             withFilledTexts(pageCtx,
                                             [&filler, &row](const QString& text) {
                                                 return filler.fill(text, row);
                                             }),
                             card);
            } else {
                drawPageCard(painter, doc, pageCtx, card);
            }
            ++result.cards;
        }
        for (const QRect& r : page.cutOutlines)
            drawCutOutline(painter, r.x(), r.y(), r.width(), r.height());
        for (const QLine& line : page.foldLines) drawFoldLine(painter, line);
        for (const PageMark& mark : page.marks) drawPageMark(painter, mark);
    }
    if (!painter.end()) {
        result.error = QStringLiteral("Der Druckauftrag konnte nicht abgeschlossen werden.");
        return result;
    }
    result.error = pdf.commit();
    result.ok = result.error.isEmpty();
    return result;
}

PrintRunResult printCards(QPagedPaintDevice& device, const CardDocument& doc, int side,
                          const RenderContext& ctx, const PrintOptions& options,
                          UserDialogs& dialogs, PrintProgress* progress) {
    PrintRunResult result = runPrintJob(
        device, doc, ctx, sideJob(doc, side, options, deviceGeometry(device)), dialogs, progress);
    result.settings = clampSettings(options.settings, doc.format);
    return result;
}

PrintSettings runSettings(const PrintOptions& options, const CardFormat& format,
                          const MergeRun* merge) {
    PrintSettings settings = options.settings;
    if (merge) settings.copies = merge->plan.cardCount();
    return clampSettings(settings, format);
}

PrintJob sideJob(const CardDocument& doc, int side, const PrintOptions& options,
                 const DeviceGeometry& device, const MergeRun* merge) {
    const PrintSettings settings = runSettings(options, doc.format, merge);
    PrintJob job;
    job.calibration = options.calibration;
    job.pages = sidePages(printPlacements(doc.format, settings, side, options.calibration, device),
                          side, options.cutLines, options.foldLines);
    if (merge) assignRecords(job, *merge);
    return job;
}

void assignRecords(PrintJob& job, const MergeRun& merge, RunCards runCards) {
    job.addresses = merge.list;
    const int cards = merge.plan.cardCount();
    auto rowOf = [&](int k) { return k < cards ? merge.plan.rowOfCard(k) : -1; };
    int k = 0;
    for (size_t i = 0; i < job.pages.size(); ++i) {
        std::vector<PageCard>& page = job.pages[i].cards;
        switch (runCards) {
            case RunCards::EachCard:
                for (PageCard& card : page) card.record = rowOf(k++);
                break;
            case RunCards::FrontAndBack: {
                // The back page holds the insides in the order of the outsides on the front.
                if (i % 2 == 1) break;
                std::vector<PageCard>* back =
                    i + 1 < job.pages.size() ? &job.pages[i + 1].cards : nullptr;
                for (size_t c = 0; c < page.size(); ++c, ++k) {
                    page[c].record = rowOf(k);
                    if (back && c < back->size()) (*back)[c].record = rowOf(k);
                }
                break;
            }
            case RunCards::EachPage:
                for (PageCard& card : page) card.record = rowOf(k);
                ++k;
                break;
        }
    }
}

PrintRunResult printTestSquare(QPagedPaintDevice& device) {
    PrintRunResult result;
    setJobTitle(device, kTestPrintTitle);
    const DeviceGeometry geometry = deviceGeometry(device);
    PdfOutput pdf(device);
    if (!pdf.ready()) {
        result.error = pdf.failureText();
        return result;
    }
    QPainter painter;
    if (!painter.begin(&device)) {
        result.error = QStringLiteral("Der Testdruck konnte nicht begonnen werden.");
        return result;
    }
    const QSize square = testSquarePixels(geometry.dpiX, geometry.dpiY);
    // The rectangle covers (0, 0) up to but excluding (right, bottom): a grey fill with a
    // one-pixel black border on its outermost pixels.
    const int w = square.width(), h = square.height();
    painter.fillRect(QRect(0, 0, w, h), QColor(192, 192, 192));
    painter.fillRect(QRect(0, 0, w, 1), Qt::black);
    painter.fillRect(QRect(0, h - 1, w, 1), Qt::black);
    painter.fillRect(QRect(0, 0, 1, h), Qt::black);
    painter.fillRect(QRect(w - 1, 0, 1, h), Qt::black);
    if (!painter.end()) {
        result.error = QStringLiteral("Der Testdruck konnte nicht abgeschlossen werden.");
        return result;
    }
    result.error = pdf.commit();
    if (!result.error.isEmpty()) return result;
    result.ok = true;
    result.pages = 1;
    return result;
}

}  // namespace bb
