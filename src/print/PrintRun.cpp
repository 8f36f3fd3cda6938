// The print run and the line drawing; see PrintRun.h.
#include "print/PrintRun.h"

#include "document/CardDocument.h"
#include "document/RenderContext.h"
#include "document/UserDialogs.h"
#include "print/PrinterTarget.h"
#include "render/Renderer.h"

#include <QFile>
#include <QPagedPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace bb {

namespace {

// Restores the nominal millimetres per inch however the run ends.
class CalibratedScale {
public:
    CalibratedScale(RenderContext& ctx, const Calibration& cal) : ctx_(ctx) {
        ctx_.mmPerInchX = cal.mmPerInchX();
        ctx_.mmPerInchY = cal.mmPerInchY();
    }
    ~CalibratedScale() {
        ctx_.mmPerInchX = kNominalMmPerInch;
        ctx_.mmPerInchY = kNominalMmPerInch;
    }
    CalibratedScale(const CalibratedScale&) = delete;
    CalibratedScale& operator=(const CalibratedScale&) = delete;

private:
    RenderContext& ctx_;
};

void setJobTitle(QPagedPaintDevice& device, const QString& title) {
    if (auto* printer = dynamic_cast<QPrinter*>(&device)) {
        printer->setDocName(title);
    } else if (auto* writer = dynamic_cast<QPdfWriter*>(&device)) {
        writer->setTitle(title);
    }
}

// Ends a document that failed half-way: a printer job is cancelled, and a PDF file that the
// run itself started is removed rather than left behind looking complete.
void abandonDocument(QPagedPaintDevice& device, QPainter& painter) {
    auto* printer = dynamic_cast<QPrinter*>(&device);
    if (printer && printer->outputFormat() == QPrinter::NativeFormat) printer->abort();
    if (painter.isActive()) painter.end();
    if (printer && printer->outputFormat() == QPrinter::PdfFormat &&
        !printer->outputFileName().isEmpty())
        QFile::remove(printer->outputFileName());
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
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const PixelGrid px(painter);
    const QPolygonF path{px(x, y), px(x, y + h)};
    for (int pass = 0; pass < kLinePasses; ++pass) strokePattern(painter, path, Qt::DashDotLine);
    painter.restore();
}

PrintRunResult printCards(QPagedPaintDevice& device, CardDocument& doc, RenderContext& ctx,
                          const PrintOptions& options, UserDialogs& dialogs) {
    PrintRunResult result;
    CalibratedScale calibrated(ctx, options.calibration);
    result.settings = clampSettings(options.settings, doc.format);

    const DeviceGeometry geometry = deviceGeometry(device);
    OutputModeGuard outputMode(ctx, geometry.dpiX);
    setJobTitle(device, kPrintJobTitle);
    QPainter painter;
    if (!painter.begin(&device)) {
        result.error = QStringLiteral("Der Druck konnte nicht begonnen werden.");
        if (auto* printer = dynamic_cast<QPrinter*>(&device);
            printer && printer->outputFormat() == QPrinter::PdfFormat)
            result.error = QStringLiteral("Die PDF-Datei \"%1\" konnte nicht geschrieben werden.")
                               .arg(printer->outputFileName());
        return result;
    }
    if (geometry.dpiX != geometry.dpiY)
        dialogs.message(kUnequalResolutionText, QStringLiteral("Fehler"), MsgIcon::Information,
                        BtnOk);

    const std::vector<CardPlacement> cards = printPlacements(
        doc.format, result.settings, doc.currentSide, options.calibration, geometry);
    result.pages = cards.empty() ? 0 : 1;
    for (const CardPlacement& c : cards) {
        if (c.newPage) {
            if (!device.newPage()) {
                abandonDocument(device, painter);
                result.error = QStringLiteral("Der Drucker hat keine neue Seite angenommen.");
                return result;
            }
            ++result.pages;
        }
        drawCardSide(painter, doc, ctx, c.width, c.height, c.width - c.cardX, c.height - c.cardY,
                     ctx.outputScale, false);
        if (options.cutLines) drawCutOutline(painter, c.cardX, c.cardY, c.width, c.height);
        if (options.foldLines) drawFoldLine(painter, c.cardX + c.width / 2, c.cardY, c.height);
        ++result.cards;
    }
    if (!painter.end()) {
        result.error = QStringLiteral("Der Druckauftrag konnte nicht abgeschlossen werden.");
        return result;
    }
    result.ok = true;
    return result;
}

PrintRunResult printTestSquare(QPagedPaintDevice& device) {
    PrintRunResult result;
    setJobTitle(device, kTestPrintTitle);
    const DeviceGeometry geometry = deviceGeometry(device);
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
    result.ok = true;
    result.pages = 1;
    return result;
}

}  // namespace bb
