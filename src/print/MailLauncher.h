// Handing a card to the desktop's mail program: the card's files written as attachments into a
// folder, and xdg-email started with them. xdg-email only opens a new message in the mail
// program the desktop has set up; when there is none, it fails or does not answer in time, the
// caller offers the folder that holds the files instead.
#pragma once

#include "document/CardDocument.h"
#include "document/RenderContext.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

class QProcess;

namespace bb {

// What a mail carries: the outside or both sides, as JPEG pictures or as one PDF file.
struct MailContent {
    bool bothSides = false;
    bool pdf = false;
};

// The resolution of the JPEG pictures of a mail: sharp on a screen, small enough to send.
inline constexpr int kMailPictureDpi = 150;
inline constexpr int kMailJpegQuality = 90;

// The file names of a mail's attachments for a card called `baseName`: "Name.pdf"; "Name.jpg"
// for the outside alone, "Name - Außenseite.jpg" and "Name - Innenseite.jpg" for both sides.
// A name unusable as a file name ("", "..", with "/") becomes "Karte".
QStringList mailAttachmentNames(const QString& baseName, const MailContent& content);

struct MailAttachments {
    QStringList files;  // full paths, in the order they are attached
    QString error;      // German; empty on success
};

// Writes the attachments into `folder` (replacing earlier ones of the same names): the PDF
// with the outside alone or both sides folded (CardPdf), the JPEGs at kMailPictureDpi. Texts
// are filled as ctx.fillText says.
MailAttachments writeMailAttachments(const CardDocument& doc, const RenderContext& ctx,
                                     const MailContent& content, const QString& folder,
                                     const QString& baseName);

// Starts xdg-email (or the program set) with the attachments and a subject and waits for it
// a bounded time.
class MailLauncher {
public:
    enum class Outcome {
        Handed,      // the mail program took the message
        NoProgram,   // xdg-email is not there or could not be started
        NoMailTool,  // xdg-email found no mail program (its exit code 3)
        Failed,      // xdg-email or the mail program failed (any other exit code, a crash)
        NoAnswer,    // no answer within the time limit
    };
    struct Result {
        Outcome outcome = Outcome::NoProgram;
        int exitCode = 0;
        QString detail;  // what the program wrote to its error output, shortened
        bool ok() const { return outcome == Outcome::Handed; }
    };

    MailLauncher();
    ~MailLauncher();
    MailLauncher(const MailLauncher&) = delete;
    MailLauncher& operator=(const MailLauncher&) = delete;

    // The program started; a bare name is looked for in PATH. "xdg-email" unless set.
    void setProgram(const QString& program) { program_ = program; }
    const QString& program() const { return program_; }
    // How long send() waits for the program to end, in milliseconds.
    void setTimeLimit(int ms) { timeLimitMs_ = ms; }
    int timeLimit() const { return timeLimitMs_; }

    // The arguments: "--subject SUBJECT" (when not empty) and "--attach FILE" for each file.
    static QStringList arguments(const QStringList& attachments, const QString& subject);

    // Starts the program and waits for it up to the time limit. A program still running then
    // is left to end by itself (it may be the mail program showing the message); it is ended
    // with the launcher.
    Result send(const QStringList& attachments, const QString& subject);

private:
    QString program_ = QStringLiteral("xdg-email");
    int timeLimitMs_ = 15000;
    std::vector<std::unique_ptr<QProcess>> unanswered_;  // left running by send()
};

// The German message for a hand-off that failed, naming what went wrong; empty for success.
QString mailFailureText(const MailLauncher::Result& result);

}  // namespace bb
