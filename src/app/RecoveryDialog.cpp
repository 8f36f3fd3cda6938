#include "app/RecoveryDialog.h"

#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QVBoxLayout>

namespace bb {

QString RecoveryDialog::text(const RecoveryQuestion& q) {
    const QString name = q.cardFile.isEmpty() ? QStringLiteral("NONAME01 (noch nicht gespeichert)")
                                              : QStringLiteral("%1 (%2)").arg(
                                                    QFileInfo(q.cardFile).fileName(), q.cardFile);
    const QString when = QLocale(QLocale::German, QLocale::Germany)
                             .toString(q.savedAt.toLocalTime(), QStringLiteral("dd.MM.yyyy HH:mm"));
    QString t = QStringLiteral(
                    "Brisella-Bildwerker wurde nicht ordnungsgemäß beendet. Von dieser Karte "
                    "gibt es ungespeicherte Änderungen:\n\nKarte: %1\nZuletzt gesichert: %2\n\n")
                    .arg(name, when);
    if (q.canRestore)
        t += QStringLiteral("Soll die Karte wiederhergestellt werden?");
    else
        t += QStringLiteral(
            "Es wurde schon eine Karte wiederhergestellt. Mit \"Später\" wird "
            "diese beim nächsten Start wieder angeboten.");
    return t;
}

RecoveryDialog::RecoveryDialog(const RecoveryQuestion& question, QWidget* parent)
    : QDialog(parent) {
    setObjectName(QStringLiteral("RecoveryDialog"));
    setWindowTitle(QStringLiteral("Karte wiederherstellen"));
    auto* layout = new QVBoxLayout(this);
    auto* label = new QLabel(text(question), this);
    label->setObjectName(QStringLiteral("RecoveryText"));
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);
    auto* box = new QDialogButtonBox(this);
    box->setObjectName(QStringLiteral("RecoveryButtons"));
    const auto button = [this, box](const QString& text, const char* name, const QString& tip,
                                    RecoveryAnswer answer) {
        QPushButton* b = box->addButton(text, QDialogButtonBox::ActionRole);
        b->setObjectName(QString::fromLatin1(name));
        b->setStatusTip(tip);
        b->setToolTip(tip);
        connect(b, &QPushButton::clicked, this, [this, answer] {
            answer_ = answer;
            accept();
        });
        return b;
    };
    QPushButton* restore =
        button(QStringLiteral("&Wiederherstellen"), "RestoreBtn",
               QStringLiteral("Öffnet die Karte mit den ungespeicherten Änderungen"),
               RecoveryAnswer::Restore);
    button(QStringLiteral("&Verwerfen"), "DiscardBtn",
           QStringLiteral("Löscht die gesicherten Änderungen"), RecoveryAnswer::Discard);
    QPushButton* later =
        button(QStringLiteral("&Später"), "LaterBtn",
               QStringLiteral("Behält die gesicherten Änderungen für den nächsten Start"),
               RecoveryAnswer::Later);
    restore->setEnabled(question.canRestore);
    (question.canRestore ? restore : later)->setDefault(true);
    layout->addWidget(box);
}

RecoveryAnswer RecoveryDialog::ask(const RecoveryQuestion& question, QWidget* parent) {
    RecoveryDialog d(question, parent);
    d.exec();
    return d.result() == QDialog::Accepted ? d.answer() : RecoveryAnswer::Later;
}

}  // namespace bb
