// Recovery files: the card's bytes come back unchanged, damage is recognised, and only the
// files of programs that no longer run are handed out, each to one program at a time.
#include "document/Recovery.h"

#include "CardFileFixture.h"

#include <QDir>
#include <QLockFile>

#include <sys/wait.h>
#include <unistd.h>

namespace bbtest {
namespace {

class RecoveryTest : public CardFileTest {
protected:
    QByteArray cardBytes() {
        CardDocument d;
        setAll(*d.outsideSlots[3], 1, KindText);
        setAll(*d.insideSlots[7], 2, KindFigure);
        d.outsideBackground.backgroundColor = 0x123456;
        return cardFileBytes(d, DibImage());
    }
    RecoveryHeader header() {
        RecoveryHeader h;
        h.cardFile = QStringLiteral("/home/anna/Karten/Grüße zum Fest.kar");
        h.savedAt = QDateTime(QDate(2026, 12, 9), QTime(14, 3, 7, 250), Qt::UTC);
        h.pid = 4711;
        return h;
    }
    QString folder() const { return dir.file(QStringLiteral("rec")); }
    QStringList filesIn(const QString& pattern) const {
        return QDir(folder()).entryList({pattern}, QDir::Files, QDir::Name);
    }
};

TEST_F(RecoveryTest, CardBytesAndHeaderSurviveTheFileUnchanged) {
    const QByteArray card = cardBytes();
    RecoveryHeader back;
    QByteArray cardBack;
    ASSERT_EQ(parseRecoveryFile(recoveryFileBytes(header(), card), back, cardBack),
              RecoveryStatus::Ok);
    EXPECT_EQ(cardBack, card);
    EXPECT_EQ(back.cardFile, header().cardFile);
    EXPECT_EQ(back.savedAt, header().savedAt);
    EXPECT_EQ(back.pid, 4711);

    // Through the folder and the disk, and a second write replaces the first.
    RecoveryFolder rf(folder(), QStringLiteral("eins"));
    RecoveryHeader unnamed;
    ASSERT_TRUE(rf.write(unnamed, QByteArrayLiteral("veraltet")));
    ASSERT_TRUE(rf.write(unnamed, card));
    ASSERT_EQ(readRecoveryFile(rf.ownFile(), back, cardBack), RecoveryStatus::Ok);
    EXPECT_EQ(cardBack, card);
    EXPECT_TRUE(back.cardFile.isEmpty());
    rf.removeOwn();
    EXPECT_FALSE(rf.hasOwn());
}

TEST_F(RecoveryTest, DamagedFilesAreRecognisedNeverTrusted) {
    const QByteArray card = cardBytes();
    const QByteArray whole = recoveryFileBytes(header(), card);
    const qsizetype headerEnd = whole.indexOf('\n', whole.indexOf('\n') + 1);
    QByteArray flipped = whole;
    flipped[whole.size() - 5] = char(flipped[whole.size() - 5] ^ 0x40);
    QByteArray badJson = whole;
    badJson[headerEnd - 1] = '#';
    // A header that matches bytes which are no card file.
    const QByteArray notACard = recoveryFileBytes(header(), QByteArrayLiteral("kein Kartenformat"));
    QByteArray noEnd = whole.left(headerEnd);
    const QList<QByteArray> damaged = {
        QByteArray(),
        whole.left(10),
        whole.left(whole.size() - 1),
        whole + 'x',
        flipped,
        badJson,
        notACard,
        noEnd,
        QByteArray("Brisella-Bildwerker recovery 1\n") + QByteArray(100000, '{')};
    for (const QByteArray& bytes : damaged) {
        RecoveryHeader h;
        QByteArray c("vorher");
        EXPECT_EQ(parseRecoveryFile(bytes, h, c), RecoveryStatus::Damaged) << bytes.size();
        EXPECT_TRUE(c.isEmpty());
    }
    RecoveryHeader h;
    QByteArray c;
    EXPECT_EQ(readRecoveryFile(dir.file(QStringLiteral("fehlt")), h, c),
              RecoveryStatus::CannotOpen);
    EXPECT_EQ(readRecoveryFile(dir.path(), h, c), RecoveryStatus::CannotOpen);  // a folder
}

TEST_F(RecoveryTest, OnlyFilesOfEndedProgramsAreHandedOutOneTakerAtATime) {
    const QByteArray card = cardBytes();
    // A program that ended normally leaves nothing; one that ran until killed leaves its
    // file: here its lock is released while the file stays.
    {
        RecoveryFolder ended(folder(), QStringLiteral("beendet"));
        ASSERT_TRUE(ended.write(header(), card));
    }
    // A program still running holds its lock.
    RecoveryFolder running(folder(), QStringLiteral("laeuft"));
    ASSERT_TRUE(running.write(header(), card));
    // This program's own file is never an orphan.
    RecoveryFolder self(folder(), QStringLiteral("selbst"));
    ASSERT_TRUE(self.write(header(), card));

    std::vector<OrphanedRecovery> found = self.takeOrphans();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(found[0].path().endsWith(QStringLiteral("/beendet.bbrecovery")));
    ASSERT_EQ(found[0].read(), RecoveryStatus::Ok);
    EXPECT_EQ(found[0].cardBytes(), card);

    // While this program decides, a third one starting up does not get the same file.
    RecoveryFolder third(folder(), QStringLiteral("dritter"));
    EXPECT_TRUE(third.takeOrphans().empty());

    // "Später": the file stays and is offered again; its lock is gone.
    found[0].release();
    EXPECT_EQ(filesIn(QStringLiteral("beendet.*")), QStringList{"beendet.bbrecovery"});
    found = third.takeOrphans();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(found[0].remove());
    EXPECT_TRUE(filesIn(QStringLiteral("beendet.*")).isEmpty());
    EXPECT_TRUE(running.hasOwn());
    EXPECT_TRUE(self.hasOwn());
}

TEST_F(RecoveryTest, TheLockOfAKilledProgramDoesNotHideItsFile) {
    const QByteArray card = cardBytes();
    RecoveryFolder probe(folder(), QStringLiteral("neu"));
    ASSERT_TRUE(probe.claim());
    // A child process takes its lock, writes its copy and dies without unlocking, as a
    // program killed by a signal does; its lock file names a process that is gone.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto* dying = new RecoveryFolder(folder(), QStringLiteral("getoetet"));
        _exit(dying->write(header(), card) ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(filesIn(QStringLiteral("getoetet.*")),
              (QStringList{"getoetet.bbrecovery", "getoetet.lock"}));
    // And a program killed before its first copy left only a lock.
    const pid_t early = fork();
    ASSERT_GE(early, 0);
    if (early == 0) _exit((new RecoveryFolder(folder(), QStringLiteral("frueh")))->claim() ? 0 : 1);
    ASSERT_EQ(waitpid(early, &status, 0), early);
    ASSERT_EQ(filesIn(QStringLiteral("frueh.*")), QStringList{"frueh.lock"});

    std::vector<OrphanedRecovery> found = probe.takeOrphans();
    ASSERT_EQ(found.size(), 1u);
    EXPECT_TRUE(found[0].path().endsWith(QStringLiteral("/getoetet.bbrecovery")));
    EXPECT_TRUE(filesIn(QStringLiteral("frueh.*")).isEmpty());
    // The own lock stays.
    EXPECT_EQ(filesIn(QStringLiteral("neu.*")), QStringList{"neu.lock"});
}

}  // namespace
}  // namespace bbtest
