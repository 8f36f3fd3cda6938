// Handing a card to the mail program: the attachments written (names, JPEG sizes and sides, a
// PDF of the outside alone) and xdg-email replaced by fake scripts: one that records its
// arguments, one that finds no mail program, one that fails and one that never answers.
#include "PdfPages.h"

#include "document/RenderContext.h"
#include "print/MailLauncher.h"
#include "render/Preview.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QImage>

#include <memory>

using namespace bb;

namespace {

std::unique_ptr<CardDocument> colouredCard() {
    auto doc = std::make_unique<CardDocument>();
    doc->format.cardWidth = 200;
    doc->format.cardHeight = 100;
    printtest::colourSides(*doc);  // outside red, inside blue
    return doc;
}

// An executable shell script `name` in `dir` with `body`.
QString script(const bbtest::TempFolder& dir, const QString& name, const QByteArray& body) {
    const QString path = dir.file(name);
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("#!/bin/sh\n" + body + "\n");
    f.close();
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return path;
}

QStringList lines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

}  // namespace

TEST(MailAttachments, NamesForEachContentAndUnusableCardNames) {
    EXPECT_EQ(mailAttachmentNames(QStringLiteral("Gruß"), {false, false}),
              QStringList{QStringLiteral("Gruß.jpg")});
    EXPECT_EQ(mailAttachmentNames(QStringLiteral("Gruß"), {true, false}),
              (QStringList{QStringLiteral("Gruß - Außenseite.jpg"),
                           QStringLiteral("Gruß - Innenseite.jpg")}));
    EXPECT_EQ(mailAttachmentNames(QStringLiteral("Gruß"), {true, true}),
              QStringList{QStringLiteral("Gruß.pdf")});
    for (const QString& bad : {QString(), QStringLiteral(".."), QStringLiteral("  ")})
        EXPECT_EQ(mailAttachmentNames(bad, {}), QStringList{QStringLiteral("Karte.jpg")});
    EXPECT_FALSE(mailAttachmentNames(QStringLiteral("a/b"), {}).first().contains('/'));
}

TEST(MailAttachments, JpegsShowEachSideAndThePdfOnlyTheOutside) {
    bbtest::TempFolder dir;
    const auto doc = colouredCard();
    const MailAttachments both =
        writeMailAttachments(*doc, {}, {true, false}, dir.path(), QStringLiteral("Sommer"));
    ASSERT_TRUE(both.error.isEmpty()) << both.error.toStdString();
    ASSERT_EQ(both.files.size(), 2);
    const QSize size = sideImageSize(doc->format, kMailPictureDpi);
    for (int side : {0, 1}) {
        const QImage image(both.files[side], "JPEG");
        ASSERT_EQ(image.size(), size) << side;
        const QRgb centre = image.pixel(size.width() / 2, size.height() / 2);
        EXPECT_GT(side == 0 ? qRed(centre) : qBlue(centre), 200) << side;
        EXPECT_LT(side == 0 ? qBlue(centre) : qRed(centre), 60) << side;
    }

    const MailAttachments pdf =
        writeMailAttachments(*doc, {}, {false, true}, dir.path(), QStringLiteral("Sommer"));
    ASSERT_TRUE(pdf.error.isEmpty()) << pdf.error.toStdString();
    ASSERT_EQ(pdf.files, QStringList{dir.file(QStringLiteral("Sommer.pdf"))});
    if (!printtest::havePdftoppm()) GTEST_SKIP() << "pdftoppm not installed";
    EXPECT_EQ(printtest::pdfPageCount(pdf.files.first()), 1);

    // A folder that cannot take the files: the reason, and no file named as written.
    const MailAttachments failed = writeMailAttachments(
        *doc, {}, {true, false}, dir.file(QStringLiteral("fehlt")), QStringLiteral("Sommer"));
    EXPECT_FALSE(failed.error.isEmpty());
    EXPECT_TRUE(failed.files.isEmpty());
}

TEST(MailLauncher, HandsTheFilesAndSubjectToTheProgram) {
    bbtest::TempFolder dir;
    const QString record = dir.file(QStringLiteral("args.txt"));
    MailLauncher launcher;
    launcher.setProgram(
        script(dir, QStringLiteral("xdg-email"),
               "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > '" + record.toUtf8() + "'"));
    launcher.setTimeLimit(bbtest::kHangGuardMs);
    const QStringList files{dir.file(QStringLiteral("Gruß - Außenseite.jpg")),
                            dir.file(QStringLiteral("Gruß - Innenseite.jpg"))};
    const MailLauncher::Result result = launcher.send(files, QStringLiteral("Gruß aus Kellwitz"));
    EXPECT_TRUE(result.ok());
    EXPECT_TRUE(mailFailureText(result).isEmpty());
    EXPECT_EQ(lines(record),
              (QStringList{QStringLiteral("--subject"), QStringLiteral("Gruß aus Kellwitz"),
                           "--attach", files[0], "--attach", files[1]}));
}

TEST(MailLauncher, EveryFailureIsReportedWithItsReason) {
    bbtest::TempFolder dir;
    MailLauncher launcher;
    launcher.setTimeLimit(bbtest::kHangGuardMs);
    const QStringList files{dir.file(QStringLiteral("Karte.jpg"))};

    // xdg-email's own code for "no mail program set up".
    launcher.setProgram(script(dir, QStringLiteral("kein-programm"), "exit 3"));
    MailLauncher::Result r = launcher.send(files, {});
    EXPECT_EQ(r.outcome, MailLauncher::Outcome::NoMailTool);
    EXPECT_TRUE(mailFailureText(r).contains(QStringLiteral("kein E-Mail-Programm")));

    // A failed action, with what the program said.
    launcher.setProgram(
        script(dir, QStringLiteral("scheitert"), "echo 'Postfach klemmt' >&2\nexit 4"));
    r = launcher.send(files, {});
    EXPECT_EQ(r.outcome, MailLauncher::Outcome::Failed);
    EXPECT_EQ(r.exitCode, 4);
    EXPECT_TRUE(mailFailureText(r).contains(QStringLiteral("Postfach klemmt")));

    // Missing, or not a program.
    launcher.setProgram(dir.file(QStringLiteral("gibt-es-nicht")));
    EXPECT_EQ(launcher.send(files, {}).outcome, MailLauncher::Outcome::NoProgram);
    QFile plain(dir.file(QStringLiteral("nur-text")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    launcher.setProgram(plain.fileName());
    r = launcher.send(files, {});
    EXPECT_EQ(r.outcome, MailLauncher::Outcome::NoProgram);
    EXPECT_FALSE(mailFailureText(r).isEmpty());
}

TEST(MailLauncher, AProgramThatNeverAnswersIsLeftAndReported) {
    bbtest::TempFolder dir;
    MailLauncher launcher;
    // Blocks until it is ended; the launcher ends it when it goes.
    launcher.setProgram(script(dir, QStringLiteral("haengt"), "exec sleep 3600"));
    launcher.setTimeLimit(0);
    const MailLauncher::Result r = launcher.send({dir.file(QStringLiteral("Karte.pdf"))}, {});
    EXPECT_EQ(r.outcome, MailLauncher::Outcome::NoAnswer);
    EXPECT_TRUE(mailFailureText(r).contains(QStringLiteral("nicht rechtzeitig")));
}
