// The card's attachments and the hand-off to the mail program; see MailLauncher.h.
#include "print/MailLauncher.h"

#include "document/FolderFile.h"
#include "merge/MergeSelection.h"
#include "print/CardPdf.h"
#include "render/Preview.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

namespace bb {

namespace {

// How long starting the program may take; the hand-off itself has the launcher's time limit.
constexpr int kStartLimitMs = 10000;
// The part of the program's error output a message quotes.
constexpr int kDetailChars = 300;

QString writeFailure(const QString& path, FolderWrite written, const QString& why) {
    const QString reason = written == FolderWrite::NameTaken
                               ? QStringLiteral("Unter diesem Namen steht keine gewöhnliche Datei.")
                               : why;
    return QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\n%2")
        .arg(QDir::toNativeSeparators(path), reason);
}

QByteArray jpegBytes(const QImage& image) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly)) return {};
    QImageWriter writer(&buffer, "jpeg");
    writer.setQuality(kMailJpegQuality);
    return writer.write(image) ? bytes : QByteArray();
}

}  // namespace

QStringList mailAttachmentNames(const QString& baseName, const MailContent& content) {
    const QString base = safeFileName(baseName, QStringLiteral("Karte"));
    if (content.pdf) return {base + QStringLiteral(".pdf")};
    if (!content.bothSides) return {base + QStringLiteral(".jpg")};
    return {base + QStringLiteral(" - Außenseite.jpg"), base + QStringLiteral(" - Innenseite.jpg")};
}

MailAttachments writeMailAttachments(const CardDocument& doc, const RenderContext& ctx,
                                     const MailContent& content, const QString& folder,
                                     const QString& baseName) {
    MailAttachments result;
    const QStringList names = mailAttachmentNames(baseName, content);
    const QDir dir(folder);
    if (content.pdf) {
        CardPdfOptions options;
        options.layout = content.bothSides ? CardPdfOptions::Folded : CardPdfOptions::OutsideOnly;
        options.title = baseName;
        const QString path = dir.filePath(names.first());
        if (writeCardPdf(doc, ctx, path, options, &result.error)) result.files << path;
        return result;
    }
    for (int i = 0; i < names.size(); ++i) {
        const QString path = dir.filePath(names[i]);
        const QByteArray jpeg =
            jpegBytes(renderSide(doc, i == 0 ? SideOutside : SideInside, ctx, kMailPictureDpi));
        if (jpeg.isEmpty()) {
            result.error =
                QStringLiteral("Die Karte konnte nicht als JPEG-Bild gezeichnet werden.");
            break;
        }
        QString why;
        const FolderWrite written = writeFileInFolder(folder, names[i], jpeg, true, &why);
        if (written != FolderWrite::Written) {
            result.error = writeFailure(path, written, why);
            break;
        }
        result.files << path;
    }
    if (!result.error.isEmpty()) result.files.clear();
    return result;
}

MailLauncher::MailLauncher() = default;

// A program still running is ended with the launcher (QProcess's destructor).
MailLauncher::~MailLauncher() = default;

QStringList MailLauncher::arguments(const QStringList& attachments, const QString& subject) {
    QStringList args;
    if (!subject.isEmpty()) args << QStringLiteral("--subject") << subject;
    for (const QString& file : attachments) args << QStringLiteral("--attach") << file;
    return args;
}

MailLauncher::Result MailLauncher::send(const QStringList& attachments, const QString& subject) {
    // Programs that ended since an earlier send are let go.
    std::erase_if(unanswered_, [](const std::unique_ptr<QProcess>& p) {
        return p->state() == QProcess::NotRunning;
    });
    Result result;
    const QString path =
        QFileInfo(program_).isAbsolute() ? program_ : QStandardPaths::findExecutable(program_);
    if (path.isEmpty() || !QFileInfo(path).isExecutable()) {
        result.detail = QStringLiteral("„%1“ wurde nicht gefunden.").arg(program_);
        return result;
    }
    auto process = std::make_unique<QProcess>();
    process->setProgram(path);
    process->setArguments(arguments(attachments, subject));
    process->setStandardInputFile(QProcess::nullDevice());
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start();
    if (!process->waitForStarted(kStartLimitMs)) {
        result.detail = process->errorString();
        return result;
    }
    if (!process->waitForFinished(std::max(0, timeLimitMs_))) {
        result.outcome = Outcome::NoAnswer;
        unanswered_.push_back(std::move(process));
        return result;
    }
    result.detail = QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
    result.detail.truncate(kDetailChars);
    result.exitCode = process->exitCode();
    if (process->exitStatus() != QProcess::NormalExit)
        result.outcome = Outcome::Failed;
    else if (result.exitCode == 0)
        result.outcome = Outcome::Handed;
    else if (result.exitCode == 3)
        result.outcome = Outcome::NoMailTool;
    else
        result.outcome = Outcome::Failed;
    return result;
}

QString mailFailureText(const MailLauncher::Result& result) {
    QString text;
    switch (result.outcome) {
        case MailLauncher::Outcome::Handed:
            return {};
        case MailLauncher::Outcome::NoProgram:
            text = QStringLiteral(
                "Das E-Mail-Programm konnte nicht aufgerufen werden "
                "(xdg-email fehlt).");
            break;
        case MailLauncher::Outcome::NoMailTool:
            text = QStringLiteral("Auf diesem Rechner ist kein E-Mail-Programm eingerichtet.");
            break;
        case MailLauncher::Outcome::Failed:
            text = QStringLiteral(
                       "Das E-Mail-Programm hat die Nachricht nicht angenommen "
                       "(Fehlercode %1).")
                       .arg(result.exitCode);
            break;
        case MailLauncher::Outcome::NoAnswer:
            text = QStringLiteral(
                "Das E-Mail-Programm hat sich nicht rechtzeitig gemeldet. "
                "Erscheint keine neue Nachricht, hängen Sie die Datei selbst "
                "an.");
            break;
    }
    if (!result.detail.isEmpty() && result.outcome != MailLauncher::Outcome::NoAnswer)
        text += QLatin1Char('\n') + result.detail;
    return text;
}

}  // namespace bb
