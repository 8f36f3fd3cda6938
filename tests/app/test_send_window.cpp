// Sending a card from the window: "Als PDF speichern..." asks for the layout and the file,
// remembers both and says why a write failed; "Per E-Mail senden..." writes the files into the
// run's private folder and hands them to the mail program (a fake xdg-email here), and offers
// the folder where no mail program takes them or none answers.
#include "AppTestSupport.h"

#include "app/SendDialogs.h"
#include "pictures/AtomicWrite.h"
#include "print/MailLauncher.h"

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>

using namespace bb;
using bbtest::WindowTest;

namespace {

void trigger(MainWindow& w, const char* name) {
    auto* item = w.findChild<QAction*>(QLatin1String(name));
    ASSERT_NE(item, nullptr) << name;
    item->trigger();
}

void check(QDialog& d, const char* name) {
    d.findChild<QAbstractButton*>(QLatin1String(name))->setChecked(true);
}

bool isChecked(QDialog& d, const char* name) {
    return d.findChild<QAbstractButton*>(QLatin1String(name))->isChecked();
}

QString script(const bbtest::TempFolder& dir, const QString& name, const QByteArray& body) {
    const QString path = dir.file(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n" + body + "\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

}  // namespace

TEST_F(WindowTest, SendItemsFollowThePrintItemsInTheFileMenu) {
    auto w = make();
    const QList<QAction*> datei =
        w->menuBar()->findChild<QMenu*>(QStringLiteral("Datei1"))->actions();
    auto* pdf = w->findChild<QAction*>(QStringLiteral("AlsPdfItem"));
    auto* mail = w->findChild<QAction*>(QStringLiteral("PerEmailItem"));
    ASSERT_TRUE(pdf && mail);
    EXPECT_EQ(pdf->text(), QStringLiteral("Als &PDF speichern..."));
    EXPECT_EQ(mail->text(), QStringLiteral("Per E-&Mail senden..."));
    const int serial = datei.indexOf(w->findChild<QAction*>(QStringLiteral("SerienkartenItem")));
    EXPECT_GT(datei.indexOf(pdf), serial);
    EXPECT_EQ(datei.indexOf(mail), datei.indexOf(pdf) + 1);
    // Then the separator above "Beenden".
    EXPECT_TRUE(datei.value(datei.indexOf(mail) + 1)->isSeparator());
}

TEST_F(WindowTest, SaveAsPdfAsksLayoutAndFileAndRemembersThem) {
    auto w = make();
    int asked = 0;
    w->setSendDialogHook([&](QDialog& d) {
        ++asked;
        EXPECT_EQ(d.objectName(), QStringLiteral("PdfOptionsDialog"));
        check(d, "PdfUntereinanderRadio");
        check(d, "PdfSchnittmarkenCheck");
        check(d, "PdfBeschnittCheck");
        return int(QDialog::Accepted);
    });
    // A name typed without ".pdf" gets it.
    dialogs.saveAnswers.push_back({folder.file(QStringLiteral("druckerei")), 1});
    trigger(*w, "AlsPdfItem");
    ASSERT_EQ(dialogs.saveRequests.size(), 1);
    EXPECT_EQ(dialogs.saveRequests[0].initialName, QStringLiteral("Karte.pdf"));
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("PDF-Dateien|*.pdf"));
    QFile written(folder.file(QStringLiteral("druckerei.pdf")));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << dialogs.texts().join('\n').toStdString();
    EXPECT_TRUE(looksLikeCompletePdf(written));

    // The next time: the choices shown again, the folder offered again; cancelled, no file.
    w->setSendDialogHook([&](QDialog& d) {
        EXPECT_TRUE(isChecked(d, "PdfUntereinanderRadio"));
        EXPECT_TRUE(isChecked(d, "PdfSchnittmarkenCheck"));
        EXPECT_TRUE(isChecked(d, "PdfBeschnittCheck"));
        return int(QDialog::Accepted);
    });
    trigger(*w, "AlsPdfItem");
    ASSERT_EQ(dialogs.saveRequests.size(), 2);
    EXPECT_EQ(QFileInfo(dialogs.saveRequests[1].directory).canonicalFilePath(),
              QFileInfo(folder.path()).canonicalFilePath());

    // A folder that does not exist: the message names the file and the reason.
    dialogs.saveAnswers.push_back({folder.file(QStringLiteral("fehlt/karte.pdf")), 1});
    trigger(*w, "AlsPdfItem");
    ASSERT_FALSE(dialogs.messages.isEmpty());
    EXPECT_TRUE(dialogs.messages.last().text.contains(QStringLiteral("karte.pdf")));
    EXPECT_EQ(dialogs.messages.last().icon, MsgIcon::Error);

    w->setSendDialogHook([](QDialog&) { return int(QDialog::Rejected); });
    trigger(*w, "AlsPdfItem");
    EXPECT_EQ(dialogs.saveRequests.size(), 3);
}

TEST_F(WindowTest, MailHandsTheFilesOverOrOffersTheFolder) {
    auto w = make();
    const QString record = folder.file(QStringLiteral("args.txt"));
    w->mailLauncher().setProgram(
        script(folder, QStringLiteral("xdg-email"),
               "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + record.toUtf8() + "'"));
    w->mailLauncher().setTimeLimit(bbtest::kHangGuardMs);
    w->setSendDialogHook([](QDialog& d) {
        EXPECT_EQ(d.objectName(), QStringLiteral("MailOptionsDialog"));
        check(d, "MailBeideRadio");
        check(d, "MailJpegRadio");
        return int(QDialog::Accepted);
    });
    QStringList offered;
    w->setMailFolderAsker([&](const QString& text) {
        offered << text;
        return false;
    });
    trigger(*w, "PerEmailItem");
    EXPECT_TRUE(offered.isEmpty()) << offered.join('\n').toStdString();
    const QString mailFolder = w->mailFolder();
    ASSERT_FALSE(mailFolder.isEmpty());
    EXPECT_EQ(QFileInfo(mailFolder).permissions() & (QFile::ReadOther | QFile::ReadGroup), 0);
    const QStringList outside{QDir(mailFolder).filePath(QStringLiteral("Karte - Außenseite.jpg")),
                              QDir(mailFolder).filePath(QStringLiteral("Karte - Innenseite.jpg"))};
    QFile args(record);
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(args.readAll()).split('\n', Qt::SkipEmptyParts),
              (QStringList{"--subject", "Karte", "--attach", outside[0], "--attach", outside[1]}));
    for (const QString& file : outside) EXPECT_TRUE(QFile::exists(file)) << file.toStdString();

    // No mail program set up: the offer names the reason and the file.
    w->setSendDialogHook([](QDialog& d) {
        check(d, "MailPdfRadio");
        check(d, "MailAussenRadio");
        return int(QDialog::Accepted);
    });
    w->mailLauncher().setProgram(script(folder, QStringLiteral("ohne"), "exit 3"));
    trigger(*w, "PerEmailItem");
    const QString pdf = QDir(mailFolder).filePath(QStringLiteral("Karte.pdf"));
    ASSERT_EQ(offered.size(), 1);
    EXPECT_TRUE(offered[0].contains(QStringLiteral("kein E-Mail-Programm")));
    EXPECT_TRUE(offered[0].contains(QDir::toNativeSeparators(pdf)));
    EXPECT_TRUE(QFile::exists(pdf));

    // A mail program that never answers within the (here tiny) time limit: offered as well.
    w->mailLauncher().setProgram(script(folder, QStringLiteral("haengt"), "exec sleep 3600"));
    w->mailLauncher().setTimeLimit(0);
    trigger(*w, "PerEmailItem");
    ASSERT_EQ(offered.size(), 2);
    EXPECT_TRUE(offered[1].contains(QStringLiteral("nicht rechtzeitig")));

    // The folder goes with the window.
    w.reset();
    EXPECT_FALSE(QFileInfo::exists(mailFolder));
}
