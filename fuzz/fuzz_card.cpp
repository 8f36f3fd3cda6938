// libFuzzer harness for the card file reader: the parser and its extension area, the browser's
// preview reader, the whole open path (objects, backgrounds, pictures named by the card) followed
// by a render of both sides, and a save of what was read. Every input must give a card or a
// message, without touching memory it does not own, and without a hang or an allocation beyond the
// picture limits.
#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/RenderContext.h"
#include "document/UserDialogs.h"
#include "render/Preview.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include <unistd.h>

namespace {

// Answers every question with "No" and every chooser with "cancelled".
class SilentDialogs : public bb::UserDialogs {
public:
    int message(const QString&, const QString&, bb::MsgIcon, int buttons) override {
        return (buttons & bb::BtnNo) ? bb::BtnNo : bb::BtnOk;
    }
    bb::FileDialogResult openFile(const bb::FileDialogRequest&) override { return {}; }
    bb::FileDialogResult saveFile(const bb::FileDialogRequest&) override { return {}; }
    bool chooseColor(QColor&, const QString&) override { return false; }
    bool chooseFont(QFont&, QColor&, const QString&) override { return false; }
};

QString scratchCard() {
    static const QString path =
        QDir(QDir::tempPath()).filePath(QStringLiteral("brisella-fuzz-%1.kar").arg(getpid()));
    return path;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));

    const bb::CardPreview preview = bb::readCardPreviewBytes(bytes);
    if (preview.ok() && !bb::dibSizeAllowed(preview.picture.width(), preview.picture.height(),
                                            preview.picture.bitCount()))
        std::abort();

    // The extension area on its own, so that mutations reach it without a valid card before
    // it: either read or dropped whole with a reason.
    const bb::CardExtension extension = bb::parseCardExtension(bytes);
    if (!extension.problem.isEmpty() && !extension.objects.empty()) std::abort();

    bb::CardFileData parsed;
    if (bb::parseCardFile(bytes, parsed) != bb::CardReadStatus::Ok) return 0;
    for (const bb::CardSideData* side : {&parsed.outside, &parsed.inside})
        for (const bb::CardObjectRecord& rec : side->objects)
            if (rec.slot < 1 || rec.slot > bb::kSlotCount) std::abort();

    // The whole open path reads from a file, as the window does.
    QFile file(scratchCard());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) std::abort();
    file.write(bytes.data(), bytes.size());
    file.close();

    SilentDialogs dialogs;
    bb::RenderContext ctx;
    bb::CardDocument doc;
    // Pictures named by a card are looked up in BRISELLA_FUZZ_PICTURES (e.g. the sample
    // pictures), so the picture paths of the open run too.
    static const QString pictures =
        qEnvironmentVariable("BRISELLA_FUZZ_PICTURES", QDir::tempPath());
    bb::CardFileContext fc{dialogs, ctx, pictures, {}, {}, {}};
    if (!bb::openCardFile(doc, file.fileName(), fc)) return 0;

    // What was read is written and read back alike, extension included.
    bb::CardFileData again;
    if (bb::parseCardFile(bb::cardFileBytes(doc, bb::DibImage()), again) !=
            bb::CardReadStatus::Ok ||
        !again.extension.problem.isEmpty() || again.extensionOverruled != 0)
        std::abort();

    bb::createCardPreview(doc, ctx);
    // The inside at the preview's resolution, when that gives a picture of sensible size.
    const double width = doc.format.cardWidth;
    if (std::isfinite(width) && width > 1) {
        const double dpi = std::trunc(90 * bb::kNominalMmPerInch / width);
        const QSize size = bb::sideImageSize(doc.format, dpi);
        if (dpi >= 1 && size.isValid() && size.width() <= 400 && size.height() <= 400) {
            bb::renderSide(doc, bb::SideInside, ctx, dpi);
        }
    }
    return 0;
}
