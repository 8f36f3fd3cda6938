#include "app/AboutDialog.h"

#include "document/UserDialogs.h"

#include <QDate>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtGlobal>

namespace bb {

namespace {

// A folded card standing open: the picture beside the texts.
QPixmap cardPicture() {
    QPixmap pm(72, 72);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(QColor(250, 245, 230));
    p.drawPolygon(QPolygon({QPoint(8, 14), QPoint(36, 8), QPoint(36, 64), QPoint(8, 58)}));
    p.setBrush(QColor(200, 40, 60));
    p.drawPolygon(QPolygon({QPoint(36, 8), QPoint(64, 14), QPoint(64, 58), QPoint(36, 64)}));
    p.setPen(QPen(Qt::white, 2));
    p.drawLine(44, 30, 56, 30);
    p.drawLine(44, 38, 56, 38);
    return pm;
}

}  // namespace

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("AboutBox"));
    setWindowTitle(QStringLiteral("Info"));
    setModal(true);
    auto* outer = new QVBoxLayout(this);
    auto* panel = new QWidget(this);
    panel->setObjectName(QStringLiteral("Panel1"));
    auto* row = new QHBoxLayout(panel);
    auto* picture = new QLabel(panel);
    picture->setObjectName(QStringLiteral("ProgramIcon"));
    picture->setPixmap(cardPicture());
    picture->setAlignment(Qt::AlignTop);
    row->addWidget(picture);
    auto* texts = new QVBoxLayout;
    const QStringList source = {
        kProductTitle,
        QStringLiteral("Gestaltung und Druck gefalteter Grußkarten"),
        QStringLiteral("Copyright © XXXX Tovarin"),
        QStringLiteral("Kartentypen des Startkatalogs nach der Vorlagen-Datenbank von gLabels"),
        QStringLiteral("Erstellt mit Qt ") + QString::fromLatin1(qVersion()),
    };
    const QString year = QString::number(QDate::currentDate().year());
    for (QString line : source) {
        line.replace(QStringLiteral("XXXX"), year);
        auto* l = new QLabel(line, panel);
        if (lines_.isEmpty()) {
            QFont f = l->font();
            f.setBold(true);
            l->setFont(f);
            l->setObjectName(QStringLiteral("ProductName"));
        }
        lines_.append(l);
        texts->addWidget(l);
    }
    row->addLayout(texts, 1);
    outer->addWidget(panel);
    auto* buttons = new QHBoxLayout;
    auto* web = new QPushButton(QStringLiteral("&Anleitung"), this);
    web->setObjectName(QStringLiteral("WebBtn"));
    web->setStatusTip(QStringLiteral("Zeigt die Anleitung"));
    web->setAutoDefault(false);
    // The box closes first: while it runs modal, the guide's window could not be used.
    connect(web, &QPushButton::clicked, this, [this] {
        accept();
        emit guideRequested();
    });
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setStatusTip(QStringLiteral("Schließt das Fenster"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    buttons->addWidget(web);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    outer->addLayout(buttons);
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

QStringList AboutDialog::lines() const {
    QStringList out;
    for (const QLabel* l : lines_) out << l->text();
    return out;
}

}  // namespace bb
