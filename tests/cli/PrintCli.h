// Helpers of the brisella-cli print tests: the print command run without a printer service,
// the print tests' card written as a card file, and the layout lines read back.
#pragma once

#include "cli/CliProcess.h"
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/RenderContext.h"
#include "print/PdfPages.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QList>

#include <memory>

namespace bbtest {

// brisella-cli print ARGS with no printer service: a test never reaches a real printer.
inline CliRun runPrint(const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("CUPS_SERVER", "/nonexistent/cups.sock");
    return runCli(QStringList{"print"} + args, env, kHangGuardMs);
}

// The 2 × 5 card of the print tests (90 × 55 mm, margins 10 and 12.5; red outside, blue
// inside), or that card `width` × `height` mm unfolded; false when it cannot be written.
inline bool writePrintCard(const QString& path, double width = 0, double height = 0) {
    ScriptedDialogs dialogs;
    bb::RenderContext ctx;
    auto doc = std::make_unique<bb::CardDocument>();
    doc->format = printtest::twoByFive();
    if (width > 0) doc->format.cardWidth = width;
    if (height > 0) doc->format.cardHeight = height;
    printtest::colourSides(*doc);
    bb::CardFileContext fc{dialogs, ctx, QString(), {}, {}, {}};
    return bb::saveCardFile(*doc, path, fc);
}

// The JSON objects of the --layout lines.
inline QList<QJsonObject> layoutLines(const QByteArray& out) {
    QList<QJsonObject> lines;
    for (const QByteArray& line : out.split('\n'))
        if (!line.trimmed().isEmpty()) lines.append(QJsonDocument::fromJson(line).object());
    return lines;
}

}  // namespace bbtest
