// The export command, the scan commands with the scan save, and the JPEG quality and scanner
// choice dialogs. Scans run against SANE's "test" backend, enabled for this process only
// through SANE_CONFIG_DIR.
#include "editor/ExportController.h"
#include "editor/JpegQualityDialog.h"
#include "editor/ScanController.h"
#include "editor/ScannerSelectDialog.h"

#include "document/CardDocument.h"
#include "document/SettingsStore.h"
#include "pictures/PictureFormat.h"
#include "render/Export.h"
#include "support/ScriptedDialogs.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QSettings>
#include <QSlider>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>

#include <atomic>

using namespace bb;

namespace {

const QString kSaveFailed = QStringLiteral("Fehler: Datei konnte nicht gespeichert werden!");

// The step of the first (DC) luminance quantiser in a JPEG file: it follows from the quality
// the file was written with (the IJG tables scaled as libjpeg's jpeg_set_quality does).
int dcQuantiser(const QByteArray& jpeg) {
    const qsizetype table = jpeg.indexOf(QByteArray("\xFF\xDB", 2));
    return table < 0 || table + 5 >= jpeg.size() ? -1 : uint8_t(jpeg[table + 5]);
}
int dcQuantiserForQuality(int quality) {
    const int scale = quality < 50 ? 5000 / quality : 200 - 2 * quality;
    return std::clamp((16 * scale + 50) / 100, 1, 255);
}
QByteArray fileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

FileDialogResult answer(const QString& path, int index) {
    return {path, index};
}

// ---------------------------------------------------------------- export

struct ExportFixture : ::testing::Test {
    CardDocument doc;
    RenderContext ctx;
    bbtest::ScriptedDialogs dialogs;
    bbtest::TempFolder dir;
    ExportController exporter{doc, ctx, dialogs, nullptr};

    void SetUp() override {
        doc.format.cardWidth = 100;
        doc.format.cardHeight = 70;
        doc.updateSideUnits();
        exporter.setPrinterQuery([] { return PrinterResolution{600, 600, true}; });
    }
};

TEST_F(ExportFixture, SavesTheSideWithTheDialogsTypeAndLowerCaseExtension) {
    dialogs.saveAnswers.push_back(answer(dir.file(QStringLiteral("karte")), 1));
    exporter.exportShownSide(SideOutside);
    ASSERT_EQ(dialogs.saveRequests.size(), 1);
    const FileDialogRequest& req = dialogs.saveRequests.front();
    EXPECT_EQ(req.caption, QStringLiteral("Visitenkarte für eMail-Anhang speichern"));
    EXPECT_TRUE(req.confirmOverwrite);
    EXPECT_TRUE(req.directory.isEmpty());
    EXPECT_EQ(req.filter, saveFilter());
    EXPECT_EQ(exporter.lastExportPath(), dir.file(QStringLiteral("karte.bmp")));
    const DibImage back = loadPictureFile(dir.file(QStringLiteral("karte.bmp")));
    ASSERT_FALSE(back.isNull());
    EXPECT_EQ(QSize(back.width(), back.height()), QSize(377, 264));
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(ctx.renderMode, RenderScreen);

    // A typed extension wins; the type decides the format.
    dialogs.saveAnswers.push_back(answer(dir.file(QStringLiteral("karte.png")), 1));
    exporter.exportShownSide(SideOutside);
    QFile f(dir.file(QStringLiteral("karte.png")));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(2), QByteArray("BM"));
}

TEST_F(ExportFixture, EveryTypeOfTheFilterWritesAReadablePicture) {
    for (int index = 1; index <= int(pictureFormats().size()); ++index) {
        dialogs.saveAnswers.push_back(answer(dir.file(QStringLiteral("k%1").arg(index)), index));
        exporter.exportShownSide(SideOutside);
        const QString path =
            dir.file(QStringLiteral("k%1").arg(index)) + saveFormatExtension(index);
        const DibImage back = loadPictureFile(path);
        ASSERT_FALSE(back.isNull()) << path.toStdString();
        EXPECT_EQ(back.width(), 377) << path.toStdString();
        EXPECT_EQ(back.height(), 264) << path.toStdString();
    }
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join(';').toStdString();
}

TEST_F(ExportFixture, CancelWritesNothingAndFailureIsReported) {
    exporter.exportShownSide(SideOutside);  // no answer scripted: cancelled
    EXPECT_EQ(dialogs.saveRequests.size(), 1);
    EXPECT_TRUE(exporter.lastExportPath().isEmpty());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());

    dialogs.saveAnswers.push_back(answer(dir.file(QStringLiteral("no/such/folder/karte")), 1));
    exporter.exportShownSide(SideOutside);
    // The second line names the file and the reason.
    EXPECT_EQ(dialogs.texts(), QStringList{kSaveFailed + u'\n' +
                                           dir.file(QStringLiteral("no/such/folder/karte.bmp")) +
                                           QStringLiteral(": Der Ordner existiert nicht")});
}

TEST_F(ExportFixture, PrinterQueryWarnsOnUnequalResolutionAndGoesOnWithoutPrinter) {
    exporter.setPrinterQuery([] { return PrinterResolution{600, 300, true}; });
    dialogs.saveAnswers.push_back(answer(dir.file(QStringLiteral("a")), 1));
    exporter.exportShownSide(SideOutside);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Fehler"));
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(QStringLiteral("Diese Meldung dürfte nie")));
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("a.bmp"))));

    // No printer installed: the export still happens.
    dialogs.messages.clear();
    exporter.setPrinterQuery([] { return PrinterResolution{}; });
    dialogs.saveAnswers.push_back(answer(dir.file(QStringLiteral("b")), 1));
    exporter.exportShownSide(SideOutside);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_TRUE(QFile::exists(dir.file(QStringLiteral("b.bmp"))));
}

TEST_F(ExportFixture, TheDialogStartsInTheCardsFolderThenWhereThePictureWentLast) {
    bbtest::TempFolder cards;
    exporter.startFolder().setCardFolder(cards.path());
    // A new card: the card folder, not the process's working folder.
    exporter.exportShownSide(SideOutside);
    ASSERT_EQ(dialogs.saveRequests.size(), 1);
    EXPECT_EQ(dialogs.saveRequests[0].directory, cards.path());
    // A saved card: its own folder.
    doc.fileName = dir.file(QStringLiteral("Geburtstag.kar"));
    exporter.exportShownSide(SideOutside);
    EXPECT_EQ(dialogs.saveRequests[1].directory, dir.path());
    {
        bbtest::TempFolder elsewhere;
        dialogs.saveAnswers.push_back(answer(elsewhere.file(QStringLiteral("gruss")), 1));
        exporter.exportShownSide(SideOutside);
        ASSERT_FALSE(exporter.lastExportPath().isEmpty());
        exporter.exportShownSide(SideOutside);
        EXPECT_EQ(dialogs.saveRequests[3].directory, elsewhere.path());
    }
    // That folder is gone: the card's folder again.
    exporter.exportShownSide(SideOutside);
    EXPECT_EQ(dialogs.saveRequests[4].directory, dir.path());
}

// ---------------------------------------------------------------- dialogs

TEST(JpegQualityDialogTest, SliderAndNumberStayInStepAndPersist) {
    bbtest::TempFolder dir;
    const QString file = dir.file(QStringLiteral("settings.ini"));
    {
        const auto store = SettingsStore::inFile(file);
        JpegQualityDialog dialog(*store);
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("JPEG-Speicherqualität setzen"));
        EXPECT_EQ(dialog.qualitySlider->value(), 75);
        EXPECT_EQ(dialog.qualityNumber->value(), 75);
        EXPECT_EQ(dialog.qualitySlider->minimum(), 1);
        EXPECT_EQ(dialog.qualitySlider->maximum(), 99);
        EXPECT_EQ(dialog.qualityNumber->minimum(), 1);
        EXPECT_EQ(dialog.qualityNumber->maximum(), 99);
        dialog.qualitySlider->setValue(40);
        EXPECT_EQ(dialog.qualityNumber->value(), 40);
        dialog.qualityNumber->setValue(62);
        EXPECT_EQ(dialog.qualitySlider->value(), 62);
        EXPECT_EQ(dialog.quality(), 62);
    }
    const auto store = SettingsStore::inFile(file);  // a later run of the program
    JpegQualityDialog again(*store);
    EXPECT_EQ(again.qualitySlider->value(), 62);
    EXPECT_EQ(again.qualityNumber->value(), 62);
}

TEST(JpegQualityDialogTest, ValuesStoredUnderTheOldKeysAreTakenOverOnce) {
    bbtest::TempFolder dir;
    const QString file = dir.file(QStringLiteral("settings.ini"));
    {
        // A settings file of an earlier version: only the old keys.
        QSettings old(file, QSettings::IniFormat);
        old.setValue(QStringLiteral("TJPEGQForm/QualED1.Position"), 33);
        old.setValue(QStringLiteral("TJPEGQForm/QualED2.Value"), 33);
    }
    {
        const auto store = SettingsStore::inFile(file);
        JpegQualityDialog dialog(*store);
        EXPECT_EQ(dialog.qualitySlider->value(), 33);
        EXPECT_EQ(dialog.qualityNumber->value(), 33);
        EXPECT_FALSE(store->contains(QStringLiteral("TJPEGQForm/QualED1.Position")));
        dialog.qualitySlider->setValue(80);
    }
    {
        QSettings written(file, QSettings::IniFormat);
        EXPECT_EQ(written.value(QStringLiteral("JpegQuality/Slider")).toInt(), 80);
        EXPECT_TRUE(written.childGroups().contains(QStringLiteral("JpegQuality")));
        EXPECT_FALSE(written.childGroups().contains(QStringLiteral("TJPEGQForm")));
        // Old keys written again (an older version run meanwhile) do not replace newer values.
        written.setValue(QStringLiteral("TJPEGQForm/QualED1.Position"), 20);
    }
    const auto store = SettingsStore::inFile(file);
    JpegQualityDialog again(*store);
    EXPECT_EQ(again.qualitySlider->value(), 80);
    EXPECT_FALSE(store->contains(QStringLiteral("TJPEGQForm/QualED1.Position")));
}

TEST(JpegQualityDialogTest, TheScanControllersDialogUsesTheStoreItIsGiven) {
    bbtest::TempFolder dir;
    const QString file = dir.file(QStringLiteral("settings.ini"));
    {
        QSettings old(file, QSettings::IniFormat);
        old.setValue(QStringLiteral("TJPEGQForm/QualED1.Position"), 21);
        old.setValue(QStringLiteral("TJPEGQForm/QualED2.Value"), 21);
    }
    bbtest::ScriptedDialogs dialogs;
    {
        const auto store = SettingsStore::inFile(file);
        ScanController scans(dialogs, *store, nullptr);
        scans.rememberDevice(QStringLiteral("test:1"));
        EXPECT_EQ(store->value(QStringLiteral("JpegQuality/Slider")).toInt(), 21);
        EXPECT_EQ(scans.rememberedDevice(), QStringLiteral("test:1"));
    }
    QSettings written(file, QSettings::IniFormat);
    EXPECT_EQ(written.value(QStringLiteral("JpegQuality/Number")).toInt(), 21);
    EXPECT_EQ(written.value(QStringLiteral("Scanner/Device")).toString(), QStringLiteral("test:1"));
    EXPECT_FALSE(written.childGroups().contains(QStringLiteral("TJPEGQForm")));
}

TEST(ScannerChoice, ListsDevicesAndPreselectsTheRememberedOne) {
    const QList<ScanDevice> devices = {
        {QStringLiteral("a:0"), QStringLiteral("Acme"), QStringLiteral("One"), QString()},
        {QStringLiteral("b:1"), QStringLiteral("Bco"), QStringLiteral("Two"), QString()}};
    ScannerSelectDialog dialog(devices, QStringLiteral("b:1"));
    ASSERT_EQ(dialog.DeviceList->topLevelItemCount(), 2);
    EXPECT_EQ(dialog.DeviceList->topLevelItem(0)->text(1), QStringLiteral("Acme"));
    EXPECT_EQ(dialog.DeviceList->topLevelItem(1)->text(2), QStringLiteral("Two"));
    EXPECT_EQ(dialog.selectedDevice(), QStringLiteral("b:1"));
    ScannerSelectDialog fresh(devices, QStringLiteral("gone:9"));
    EXPECT_EQ(fresh.selectedDevice(), QStringLiteral("a:0"));
}

// ---------------------------------------------------------------- scanning

QString saneFolder() {
    static QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/brisella-sane-XXXXXX"));
    static const bool once = [] {
        QFile dll(dir.filePath(QStringLiteral("dll.conf")));
        if (dll.open(QIODevice::WriteOnly)) dll.write("test\n");
        QFile system(QStringLiteral("/etc/sane.d/test.conf"));
        QFile conf(dir.filePath(QStringLiteral("test.conf")));
        if (system.open(QIODevice::ReadOnly) && conf.open(QIODevice::WriteOnly))
            conf.write(system.readAll());
        qputenv("SANE_CONFIG_DIR", QFile::encodeName(dir.path()));
        return true;
    }();
    (void)once;
    return dir.path();
}

struct ScanFixture : ::testing::Test {
    bbtest::ScriptedDialogs dialogs;
    bbtest::TempFolder dir;
    std::unique_ptr<SettingsStore> store = SettingsStore::forThisRunOnly();
    std::unique_ptr<ScanController> scans;
    int qualityQuestions = 0;
    std::optional<int> qualityAnswer = 40;
    QList<int> progress;
    QList<bool> handled;

    void SetUp() override {
        if (!QFile::exists(QStringLiteral("/etc/sane.d/test.conf")))
            GTEST_SKIP() << "SANE test backend configuration not installed";
        saneFolder();
        scans = std::make_unique<ScanController>(dialogs, *store, nullptr);
        scans->setProgramFolder(dir.path());
        scans->settings().dpi = 10;  // small pictures keep the tests quick
        scans->setQualityAsker([this]() -> std::optional<int> {
            ++qualityQuestions;
            return qualityAnswer;
        });
        QObject::connect(scans.get(), &ScanController::progress, [this](int p) { progress << p; });
        QObject::connect(scans.get(), &ScanController::scanHandled,
                         [this](bool saved) { handled << saved; });
        scans->rememberDevice(QStringLiteral("test:0"));
    }

    // Starts a scan and runs the event loop until it has been handled or has failed.
    void scanAndWait() {
        const int before = handled.size();
        const int messagesBefore = dialogs.messages.size();
        scans->scanImage();
        QElapsedTimer t;
        t.start();
        while (handled.size() == before && dialogs.messages.size() == messagesBefore &&
               t.elapsed() < bbtest::kHangGuardMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
};

TEST_F(ScanFixture, SelectScannerRemembersTheChoiceAndCancelKeepsIt) {
    QList<ScanDevice> offered;
    scans->setDeviceChooser([&](const QList<ScanDevice>& d) -> std::optional<QString> {
        offered = d;
        return QStringLiteral("test:1");
    });
    scans->selectScanner();
    ASSERT_EQ(offered.size(), 2);
    EXPECT_EQ(offered[0].name, QStringLiteral("test:0"));
    EXPECT_EQ(scans->rememberedDevice(), QStringLiteral("test:1"));

    scans->setDeviceChooser([](const QList<ScanDevice>&) { return std::optional<QString>(); });
    scans->selectScanner();
    EXPECT_EQ(scans->rememberedDevice(), QStringLiteral("test:1"));
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(ScanFixture, ScanSavesWithEachTypeAndAsksTheQualityForJpegOnly) {
    for (int index = 1; index <= int(pictureFormats().size()); ++index) {
        const QString base = dir.file(QStringLiteral("scan%1").arg(index));
        dialogs.saveAnswers.push_back(answer(base, index));
        const int asked = qualityQuestions;
        progress.clear();
        scanAndWait();
        ASSERT_FALSE(handled.isEmpty())
            << "index " << index << dialogs.texts().join(';').toStdString();
        EXPECT_TRUE(handled.back()) << "index " << index;
        const QString path = base + saveFormatExtension(index, true);
        const DibImage back = loadPictureFile(path);
        EXPECT_FALSE(back.isNull()) << path.toStdString();
        EXPECT_EQ(qualityQuestions - asked, (index == 5 || index == 6) ? 1 : 0) << index;
        if (index == 6) {
            EXPECT_EQ(dcQuantiser(fileBytes(path)), dcQuantiserForQuality(40));
        }
        ASSERT_FALSE(progress.isEmpty());
        EXPECT_EQ(progress.back(), 100);
        EXPECT_TRUE(std::is_sorted(progress.begin(), progress.end()));
    }
    const FileDialogRequest& req = dialogs.saveRequests.front();
    EXPECT_TRUE(req.caption.isEmpty());
    EXPECT_FALSE(req.confirmOverwrite);
    EXPECT_EQ(req.directory, dir.path());
    EXPECT_TRUE(dialogs.messages.isEmpty()) << dialogs.texts().join(';').toStdString();
}

TEST_F(ScanFixture, AScansQualityDoesNotReachALaterExport) {
    CardDocument doc;
    doc.format.cardWidth = 100;
    doc.format.cardHeight = 70;
    doc.updateSideUnits();
    RenderContext ctx;
    ExportController exporter(doc, ctx, dialogs, nullptr);
    exporter.setPrinterQuery([] { return PrinterResolution{600, 600, true}; });
    const int jpg = pictureFormatForName(QStringLiteral("jpg"))->filterIndex();

    dialogs.saveAnswers.push_back(answer(dir.file(QStringLiteral("before")), jpg));
    exporter.exportShownSide(SideOutside);
    qualityAnswer = 5;
    dialogs.saveAnswers.push_back(answer(dir.file(QStringLiteral("scan")), jpg));
    scanAndWait();
    ASSERT_EQ(handled, QList<bool>{true});
    EXPECT_EQ(dcQuantiser(fileBytes(dir.file(QStringLiteral("scan.JPG")))),
              dcQuantiserForQuality(5));
    dialogs.saveAnswers.push_back(answer(dir.file(QStringLiteral("after")), jpg));
    exporter.exportShownSide(SideOutside);

    const QByteArray after = fileBytes(dir.file(QStringLiteral("after.jpg")));
    ASSERT_FALSE(after.isEmpty());
    EXPECT_EQ(after, fileBytes(dir.file(QStringLiteral("before.jpg"))));
    EXPECT_EQ(dcQuantiser(after), dcQuantiserForQuality(kDefaultJpegQuality));
    EXPECT_EQ(qualityQuestions, 1);  // the export does not ask
}

TEST_F(ScanFixture, CancellingTheSaveOrTheQualityDiscardsTheScan) {
    scanAndWait();  // save dialog cancelled (nothing scripted)
    ASSERT_EQ(handled, QList<bool>{false});
    EXPECT_EQ(qualityQuestions, 0);

    qualityAnswer.reset();
    dialogs.saveAnswers.push_back(answer(dir.file(QStringLiteral("scan")), 6));
    scanAndWait();
    ASSERT_EQ(handled.size(), 2);
    EXPECT_FALSE(handled.back());
    EXPECT_EQ(qualityQuestions, 1);
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(dialogs.messages.isEmpty());

    // A cancelled scan reaches no save dialog at all.
    const int requests = dialogs.saveRequests.size();
    scans->settings().dpi = 300;
    // The worker waits after its first block until the cancel is in, so the scan cannot
    // finish first.
    std::atomic<bool> cancelIssued{false};
    scans->scanner().setReadHook([&] {
        while (!cancelIssued) QThread::yieldCurrentThread();
    });
    scans->scanImage();
    scans->scanner().cancel();
    cancelIssued = true;
    scans->scanner().wait();
    scans->scanner().setReadHook({});
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_FALSE(scans->scanner().busy());
    EXPECT_EQ(dialogs.saveRequests.size(), requests);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    EXPECT_EQ(progress.back(), 0);  // the progress bar returns to 0
}

TEST_F(ScanFixture, ReadOnlyTargetIsOverwrittenAndAFailedWriteIsReported) {
    const QString target = dir.file(QStringLiteral("scan.BMP"));
    {
        QFile old(target);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    QFile::setPermissions(target, QFileDevice::ReadOwner);
    dialogs.saveAnswers.push_back(answer(dir.file(QStringLiteral("scan")), 1));
    scanAndWait();
    ASSERT_EQ(handled, QList<bool>{true});
    QFile f(target);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.read(2), QByteArray("BM"));

    dialogs.saveAnswers.push_back(answer(dir.file(QStringLiteral("no/such/scan")), 1));
    scanAndWait();
    ASSERT_EQ(handled.size(), 2);
    EXPECT_FALSE(handled.back());
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.startsWith(kSaveFailed + u'\n' +
                                                    dir.file(QStringLiteral("no/such/scan"))));
    EXPECT_TRUE(dialogs.messages[0].text.endsWith(QStringLiteral(": Der Ordner existiert nicht")));
    EXPECT_EQ(dialogs.messages[0].caption, kAppTitle);
    EXPECT_EQ(dialogs.messages[0].icon, MsgIcon::Information);
}

TEST_F(ScanFixture, SecondScanWhileOneRunsAndUnknownDeviceGiveMessages) {
    scans->settings().dpi = 300;
    scans->scanImage();
    scans->scanImage();
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Es läuft bereits ein Scanvorgang."));
    scans->scanner().cancel();
    scans->scanner().wait();
    QCoreApplication::processEvents();

    scans->rememberDevice(QStringLiteral("nosuch:0"));
    scans->settings().dpi = 10;
    scanAndWait();
    ASSERT_EQ(dialogs.messages.size(), 2);
    EXPECT_TRUE(dialogs.messages[1].text.contains(QStringLiteral("nosuch:0")));
    EXPECT_TRUE(dialogs.saveRequests.isEmpty());
}

TEST_F(ScanFixture, TheRealQualityDialogSetsTheJpegQuality) {
    scans->setQualityAsker(nullptr);  // the real dialog
    dialogs.saveAnswers.push_back(answer(dir.file(QStringLiteral("real")), 5));
    bool answered = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<JpegQualityDialog*>(QApplication::activeModalWidget())) {
            dialog->qualityNumber->setValue(33);
            dialog->accept();
            answered = true;
        }
    });
    poll.start(10);
    scanAndWait();
    EXPECT_TRUE(answered);
    ASSERT_EQ(handled, QList<bool>{true});
    EXPECT_EQ(dcQuantiser(fileBytes(dir.file(QStringLiteral("real.JIF")))),
              dcQuantiserForQuality(33));
}

}  // namespace
