// The guide inside the program: its pictures, links, sections and history, where it is
// found, and the about box's button; the shipped guide's own pictures and links, and that it
// names every command the window offers.
#include "AppTestSupport.h"

#include "app/AboutDialog.h"
#include "app/GuideWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolBar>

#include <algorithm>

using namespace bb;
using bbtest::WindowTest;

namespace {

// Receives the addresses handed to the desktop (instead of a web browser).
class UrlCatcher : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// The guide of the sources, not an installed copy.
QString shippedGuide() {
    bbtest::TempFolder empty;
    const QByteArray saved = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", QFile::encodeName(empty.path()));
    const QString file = GuideWindow::guideFile();
    qputenv("XDG_DATA_DIRS", saved);
    return file;
}

// A caption as the guide quotes it: without the accelerator mark, trailing dots and colon.
QString guideCaption(QString text) {
    text.remove(QLatin1Char('&'));
    text = text.trimmed();
    while (text.endsWith(QLatin1Char('.')) || text.endsWith(QLatin1Char(':'))) text.chop(1);
    return text.trimmed();
}

// The captions of every command the main window itself shows: its menus and context menus,
// tool bars, tool buttons, buttons, check boxes and tabs (dialogs are windows of their own,
// and symbol-only buttons have no words to quote).
QStringList windowCaptions(QWidget& window) {
    QStringList captions;
    const auto add = [&captions](const QString& text) {
        const QString c = guideCaption(text);
        // A placeholder such as "(keine)" names no command.
        if (std::any_of(c.begin(), c.end(), [](QChar ch) { return ch.isLetter(); }) &&
            !c.startsWith(u'(') && !captions.contains(c))
            captions << c;
    };
    for (QMenu* menu : window.findChildren<QMenu*>()) {
        if (menu->objectName().isEmpty()) continue;  // menus of Qt's own widgets
        for (QAction* a : menu->actions()) {
            // Entries naming recent files carry their path.
            if (a->isSeparator() || a->data().isValid()) continue;
            add(a->text());
        }
    }
    for (QToolBar* bar : window.findChildren<QToolBar*>())
        for (QAction* a : bar->actions()) add(a->text());
    for (QAbstractButton* b : window.findChildren<QAbstractButton*>())
        if (b->window() == &window && !b->isHidden() && !qobject_cast<QRadioButton*>(b))
            add(b->text());
    for (QTabWidget* tabs : window.findChildren<QTabWidget*>())
        if (tabs->window() == &window)
            for (int i = 0; i < tabs->count(); ++i) add(tabs->tabText(i));
    return captions;
}

}  // namespace

TEST(Guide, PicturesSectionsLinksAndHistoryWork) {
    bbtest::TempFolder folder;
    QImage picture(1600, 40, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(QDir().mkpath(folder.file(QStringLiteral("img"))));
    ASSERT_TRUE(picture.save(folder.file(QStringLiteral("img/bild.png"))));
    QByteArray md =
        "# Anleitung\n\n[Zum Druck](#drucken-für-alle) und "
        "[die Seite](https://example.org/karten)\n\n![Ein Bild](img/bild.png)\n\n"
        "## Erster Abschnitt\n\n";
    for (int i = 0; i < 150; ++i) md += "Eine Zeile Text.\n\n";
    md += "## Drucken für alle\n\nDer Bogen.\n\n## Drucken für alle\n\nNoch einmal.\n";
    write(folder.file(QStringLiteral("Anleitung.md")), md);

    GuideWindow guide;
    guide.resize(600, 400);
    guide.loadGuide(folder.file(QStringLiteral("Anleitung.md")));
    guide.show();
    QTextBrowser* text = guide.browser();
    QTextDocument* doc = text->document();

    // The picture is found beside the guide and, wider than the window, shown at its width.
    QCoreApplication::processEvents();
    int pictures = 0;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextImageFormat f = it.fragment().charFormat().toImageFormat();
            if (!f.isValid()) continue;
            ++pictures;
            EXPECT_FALSE(text->loadResource(QTextDocument::ImageResource, QUrl(f.name())).isNull());
            EXPECT_GT(f.width(), 100);
            EXPECT_LT(f.width(), text->viewport()->width());
        }
    EXPECT_EQ(pictures, 1);

    // The sections are listed, a repeated heading with its own anchor.
    QListWidget* contents = guide.contents();
    ASSERT_EQ(contents->count(), 3);
    EXPECT_EQ(contents->item(1)->text(), QStringLiteral("Drucken für alle"));
    EXPECT_EQ(contents->item(2)->data(Qt::UserRole).toString(),
              QStringLiteral("drucken-für-alle-1"));

    // The internal link scrolls to its heading; Back returns to the top, Forward goes again.
    QScrollBar* bar = text->verticalScrollBar();
    ASSERT_EQ(bar->value(), 0);
    QUrl link = text->source();
    link.setFragment(QStringLiteral("drucken-für-alle"));
    emit text->anchorClicked(link);
    const int down = bar->value();
    EXPECT_GT(down, 0);
    auto* back = guide.findChild<QPushButton*>(QStringLiteral("GuideBack"));
    auto* forward = guide.findChild<QPushButton*>(QStringLiteral("GuideForward"));
    ASSERT_TRUE(back && forward);
    ASSERT_TRUE(back->isEnabled());
    back->click();
    EXPECT_EQ(bar->value(), 0);
    ASSERT_TRUE(forward->isEnabled());
    forward->click();
    EXPECT_EQ(bar->value(), down);

    // Choosing the first section from the list scrolls back up, above the second one.
    emit contents->itemClicked(contents->item(0));
    EXPECT_LT(bar->value(), down);
    EXPECT_EQ(text->source().fragment(QUrl::FullyDecoded), QStringLiteral("erster-abschnitt"));

    // A web address goes to the desktop and leaves the guide where it is.
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &catcher, "open");
    const QUrl before = text->source();
    emit text->anchorClicked(QUrl(QStringLiteral("https://example.org/karten")));
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_EQ(catcher.urls, QList<QUrl>{QUrl(QStringLiteral("https://example.org/karten"))});
    EXPECT_EQ(text->source(), before);

    // A guide that is not there is said so, in German.
    guide.loadGuide(folder.file(QStringLiteral("fehlt.md")));
    EXPECT_TRUE(doc->toPlainText().contains(QStringLiteral("nicht gefunden")));
    EXPECT_FALSE(back->isEnabled());
}

TEST(Guide, InstalledCopyIsFoundInTheDataFolders) {
    bbtest::TempFolder data;
    const QString installed = data.file(QStringLiteral("doc/brisella-bildwerker/Anleitung.md"));
    write(installed, "# Installiert\n");
    const QByteArray saved = qgetenv("XDG_DATA_DIRS");
    qputenv("XDG_DATA_DIRS", QFile::encodeName(data.path()));
    const QString found = GuideWindow::guideFile();
    // Without it, a build tree shows the sources' guide.
    bbtest::TempFolder empty;
    qputenv("XDG_DATA_DIRS", QFile::encodeName(empty.path()));
    const QString sources = GuideWindow::guideFile();
    qputenv("XDG_DATA_DIRS", saved);
    EXPECT_EQ(QFileInfo(found).canonicalFilePath(), QFileInfo(installed).canonicalFilePath());
    EXPECT_TRUE(sources.endsWith(QStringLiteral("docs/Anleitung.md"))) << sources.toStdString();
}

TEST_F(WindowTest, AboutBoxButtonClosesTheBoxAndShowsTheGuide) {
    auto w = make();
    AboutDialog& about = w->aboutDialog();
    about.show();
    auto* button = about.findChild<QPushButton*>(QStringLiteral("WebBtn"));
    ASSERT_NE(button, nullptr);
    button->click();
    EXPECT_FALSE(about.isVisible());
    GuideWindow* guide = w->guideWindow();
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    EXPECT_FALSE(guide->isModal());
    EXPECT_EQ(guide->browser()->source().toLocalFile(), GuideWindow::guideFile());
    EXPECT_GE(guide->contents()->count(), 5);
}

TEST(Guide, ShippedGuideShowsItsPicturesAndReachesItsLinks) {
    GuideWindow guide;
    guide.resize(800, 600);
    guide.loadGuide(shippedGuide());
    QTextBrowser* text = guide.browser();
    QStringList anchors, hrefs;
    int pictures = 0;
    for (QTextBlock b = text->document()->begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            anchors << f.anchorNames();
            if (f.anchorHref().startsWith(u'#')) hrefs << f.anchorHref();
            if (f.isImageFormat()) {
                ++pictures;
                const QString name = f.toImageFormat().name();
                EXPECT_FALSE(text->loadResource(QTextDocument::ImageResource, QUrl(name)).isNull())
                    << name.toStdString();
            }
        }
    EXPECT_GE(pictures, 9);
    // Every link inside the guide leads to one of its headings.
    EXPECT_FALSE(hrefs.isEmpty());
    for (const QString& href : hrefs)
        EXPECT_TRUE(anchors.contains(QUrl(href).fragment(QUrl::FullyDecoded)))
            << href.toStdString();
}

TEST_F(WindowTest, ShippedGuideQuotesEveryCommandOfTheWindow) {
    auto w = make();
    QFile file(shippedGuide());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    // A caption may run over a line break of the text.
    const QString guide = QString::fromUtf8(file.readAll()).simplified();
    const QStringList captions = windowCaptions(*w);
    // The walk itself found the window's commands.
    for (const char* known :
         {"Neu", "Rückgängig", "Ausrichten", "Am Raster ausrichten", "Lupe", "Viertelfalz",
          "Kopieren", "Auf der Karte waagerecht zentrieren", "In den Papierkorb verschieben",
          "Seitenverhältnis sperren", "Linie schräg runter"})
        EXPECT_TRUE(captions.contains(QString::fromUtf8(known))) << known;
    QStringList missing;
    for (const QString& c : captions) {
        const QString open = QStringLiteral("„") + c;
        if (!guide.contains(open + QStringLiteral("“")) &&
            !guide.contains(open + QStringLiteral("...“")))
            missing << c;
    }
    EXPECT_TRUE(missing.isEmpty())
        << "Die Anleitung nennt nicht: " << missing.join(QStringLiteral(", ")).toStdString();
}

#include "test_guide.moc"
