// The turn-the-sheets question; see TurnSheetsDialog.h.
#include "print/ui/TurnSheetsDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace bb {

namespace {

// One sheet of paper: white with a black outline, its top edge drawn thick and red when it is
// the edge that goes in first, a text in its middle.
void drawSheet(QPainter& p, const QRectF& sheet, const QString& text, bool markTop) {
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    p.drawRect(sheet);
    p.drawText(sheet, Qt::AlignCenter, text);
    if (!markTop) return;
    p.setPen(QPen(QColor(200, 0, 0), 4, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(sheet.topLeft(), sheet.topRight());
}

void drawArrowHead(QPainter& p, const QPointF& tip, const QPointF& direction) {
    const QPointF d = direction / std::max(1e-6, std::hypot(direction.x(), direction.y()));
    const QPointF n(-d.y(), d.x());
    p.drawPolygon(QPolygonF{tip, tip - d * 9 + n * 5, tip - d * 9 - n * 5});
}

}  // namespace

TurnSheetsPicture::TurnSheetsPicture(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("TurnSheetsPicture"));
    setMinimumSize(sizeHint());
}

QSize TurnSheetsPicture::sizeHint() const {
    return QSize(320, 190);
}

void TurnSheetsPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), palette().window());
    const qreal sheetW = 80, sheetH = 110, top = 50;
    const QRectF front(30, top, sheetW, sheetH);
    const QRectF back(width() - 30 - sheetW, top, sheetW, sheetH);
    drawSheet(p, front, QStringLiteral("Vorderseite\nbedruckt"), false);
    drawSheet(p, back, QStringLiteral("Rückseite\nleer"), true);

    // The sheet turns about its vertical middle, like a page of a book: the axis shows past
    // its top and bottom edges.
    p.setPen(QPen(Qt::black, 1, Qt::DashLine));
    const qreal axisX = front.center().x();
    p.drawLine(QPointF(axisX, front.top() - 12), QPointF(axisX, front.top() + 10));
    p.drawLine(QPointF(axisX, front.bottom() - 10), QPointF(axisX, front.bottom() + 12));
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(Qt::NoBrush);
    QPainterPath turn;
    const QPointF from(front.right() + 8, front.center().y());
    const QPointF to(back.left() - 8, back.center().y());
    turn.moveTo(from);
    turn.cubicTo(from + QPointF(30, -45), to + QPointF(-30, -45), to);
    p.drawPath(turn);
    p.setBrush(Qt::black);
    drawArrowHead(p, to, QPointF(1, 1.2));
    p.drawText(QRectF(from.x(), front.center().y() - 60, to.x() - from.x(), 16), Qt::AlignCenter,
               QStringLiteral("wenden"));

    // The top edge goes into the printer first.
    const QPointF edgeTip(back.center().x(), back.top() - 6);
    p.setPen(QPen(QColor(200, 0, 0), 2));
    p.setBrush(QColor(200, 0, 0));
    p.drawLine(QPointF(edgeTip.x(), edgeTip.y() + 0), QPointF(edgeTip.x(), edgeTip.y() - 24));
    drawArrowHead(p, QPointF(edgeTip.x(), edgeTip.y() - 30), QPointF(0, -1));
    p.drawText(QRectF(back.left() - 40, 0, sheetW + 80, 16), Qt::AlignCenter,
               QStringLiteral("oben zuerst einlegen"));
}

TurnSheetsDialog::TurnSheetsDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("TurnSheetsDialog"));
    setWindowTitle(QStringLiteral("Beide Seiten drucken"));
    auto* text = new QLabel(kTurnSheetsText);
    text->setObjectName(QStringLiteral("TurnSheetsText"));
    QFont bold = text->font();
    bold.setBold(true);
    text->setFont(bold);
    auto* caption = new QLabel(QStringLiteral(
        "Die Außenseiten sind gedruckt. Wenden Sie die Blätter wie eine Buchseite um die "
        "senkrechte Mitte und legen Sie sie so wieder ein, dass die leere Rückseite bedruckt "
        "wird und die obere Kante (rot) zuerst in den Drucker geht."));
    caption->setObjectName(QStringLiteral("TurnSheetsCaption"));
    caption->setWordWrap(true);

    auto* buttons = new QDialogButtonBox;
    buttons->setObjectName(QStringLiteral("TurnSheetsButtons"));
    QPushButton* ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("OKBtn"));
    ok->setDefault(true);
    ok->setStatusTip(QStringLiteral("Druckt die Innenseiten auf die Rückseiten"));
    QPushButton* cancel =
        buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    cancel->setStatusTip(QStringLiteral("Druckt die Innenseiten nicht"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(text);
    layout->addWidget(new TurnSheetsPicture, 0, Qt::AlignHCenter);
    layout->addWidget(caption);
    layout->addWidget(buttons);
}

}  // namespace bb
