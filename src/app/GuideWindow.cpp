#include "app/GuideWindow.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QImage>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStandardPaths>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace bb {

namespace {

const QString kGuidePath = QStringLiteral("doc/brisella-bildwerker/Anleitung.md");

bool isMarkdown(const QUrl& url) {
    const QString suffix = QFileInfo(url.path()).suffix().toLower();
    return suffix == QLatin1String("md") || suffix == QLatin1String("markdown");
}

// Qt's Markdown reader names no headings; every heading gets the anchor name that links
// such as "[Drucken](#drucken)" expect. Returns the headings (level, text, anchor).
struct Heading {
    int level;
    QString text;
    QString anchor;
};

QList<Heading> nameHeadings(QTextDocument* doc) {
    QList<Heading> headings;
    QHash<QString, int> used;
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next()) {
        const int level = b.blockFormat().headingLevel();
        if (level == 0 || b.text().trimmed().isEmpty()) continue;
        QString anchor = GuideWindow::headingAnchor(b.text());
        const int seen = used[anchor]++;
        if (seen > 0) anchor += QLatin1Char('-') + QString::number(seen);
        headings.append({level, b.text().trimmed(), anchor});
        if (b.begin().fragment().charFormat().anchorNames().contains(anchor)) continue;
        QTextCursor c(b);
        c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
        QTextCharFormat f;
        f.setAnchor(true);
        f.setAnchorNames({anchor});
        c.mergeCharFormat(f);
    }
    return headings;
}

// The text view: names the headings of every page it loads before it scrolls to the
// address's anchor, and reports the headings.
class GuideText : public QTextBrowser {
public:
    using QTextBrowser::QTextBrowser;
    std::function<void(const QList<Heading>&)> loaded;

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override {
        QTextBrowser::doSetSource(name, type);
        pictureSizes_.clear();
        fitPictures();
        const QList<Heading> headings = nameHeadings(document());
        if (loaded) loaded(headings);
        const QString fragment = name.fragment(QUrl::FullyDecoded);
        if (!fragment.isEmpty()) scrollToAnchor(fragment);
    }

    void resizeEvent(QResizeEvent* event) override {
        QTextBrowser::resizeEvent(event);
        fitPictures();
    }

private:
    // Pictures wider than the text column (the screenshots are) are shown at its width;
    // narrower ones keep their own size.
    void fitPictures() {
        const qreal room = viewport()->width() - 2 * document()->documentMargin() - 8;
        if (room < 50) return;
        struct Change {
            int position;
            int length;
            QTextImageFormat format;
        };
        QList<Change> changes;
        for (QTextBlock b = document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it) {
                QTextImageFormat f = it.fragment().charFormat().toImageFormat();
                if (!f.isValid()) continue;
                const QSize natural = pictureSize(f.name());
                if (natural.isEmpty()) continue;
                const qreal width = std::min<qreal>(natural.width(), room);
                if (qAbs(f.width() - width) < 0.5) continue;
                f.setWidth(width);
                f.setHeight(natural.height() * width / natural.width());
                changes.append({it.fragment().position(), it.fragment().length(), f});
            }
        for (const Change& change : changes) {
            QTextCursor c(document());
            c.setPosition(change.position);
            c.setPosition(change.position + change.length, QTextCursor::KeepAnchor);
            c.setCharFormat(change.format);
        }
    }

    QSize pictureSize(const QString& name) {
        auto found = pictureSizes_.find(name);
        if (found != pictureSizes_.end()) return *found;
        const QVariant data = document()->resource(QTextDocument::ImageResource, QUrl(name));
        QSize size;
        if (data.typeId() == QMetaType::QImage)
            size = data.value<QImage>().size();
        else if (data.typeId() == QMetaType::QPixmap)
            size = data.value<QPixmap>().size();
        else
            size = QImage::fromData(data.toByteArray()).size();
        pictureSizes_.insert(name, size);
        return size;
    }

    QHash<QString, QSize> pictureSizes_;
};

}  // namespace

QString GuideWindow::headingAnchor(const QString& heading) {
    QString anchor;
    for (const QChar c : heading.trimmed().toLower()) {
        if (c.isLetterOrNumber() || c == QLatin1Char('-') || c == QLatin1Char('_'))
            anchor += c;
        else if (c.isSpace())
            anchor += QLatin1Char('-');
    }
    return anchor;
}

QString GuideWindow::guideFile() {
    // Beside the installed program (also under a prefix that the data folders do not name),
    // then the data folders, then the sources of a build tree.
    const QString beside =
        QCoreApplication::applicationDirPath() + QStringLiteral("/../share/") + kGuidePath;
    if (QFileInfo::exists(beside)) return QFileInfo(beside).canonicalFilePath();
    QString installed = QStandardPaths::locate(QStandardPaths::GenericDataLocation, kGuidePath);
    if (!installed.isEmpty()) return installed;
    const QString sources = QStringLiteral(BRISELLA_SOURCE_DIR "/docs/Anleitung.md");
    return QFileInfo::exists(sources) ? sources : QString();
}

GuideWindow::GuideWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("GuideWindow"));
    setWindowTitle(QStringLiteral("Anleitung – Brisella-Bildwerker"));
    setModal(false);
    setSizeGripEnabled(true);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buildButtonRow());
    layout->addWidget(buildPanes(), 1);
    connectNavigation();

    QSize size(820, 720);
    if (const QScreen* sc = parent ? parent->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(sc->availableGeometry().size() * 9 / 10);
    resize(size);
}

QHBoxLayout* GuideWindow::buildButtonRow() {
    auto* row = new QHBoxLayout;
    const auto button = [this, row](const QString& text, const char* name, const QString& tip) {
        auto* b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setStatusTip(tip);
        b->setToolTip(tip);
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    back_ = button(QStringLiteral("&Zurück"), "GuideBack",
                   QStringLiteral("Zur vorher gezeigten Stelle"));
    forward_ =
        button(QStringLiteral("&Vor"), "GuideForward", QStringLiteral("Zur nächsten Stelle"));
    home_ =
        button(QStringLiteral("&Inhalt"), "GuideHome", QStringLiteral("Zum Anfang der Anleitung"));
    row->addStretch(1);
    close_ = button(QStringLiteral("&Schließen"), "GuideClose",
                    QStringLiteral("Schließt die Anleitung"));
    back_->setIcon(QIcon::fromTheme(QStringLiteral("go-previous")));
    forward_->setIcon(QIcon::fromTheme(QStringLiteral("go-next")));
    home_->setIcon(QIcon::fromTheme(QStringLiteral("go-home")));
    return row;
}

QSplitter* GuideWindow::buildPanes() {
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    contents_ = new QListWidget(splitter);
    contents_->setObjectName(QStringLiteral("GuideContents"));
    contents_->setStatusTip(QStringLiteral("Abschnitte der Anleitung"));
    contents_->setWordWrap(true);
    contents_->setSpacing(2);
    auto* text = new GuideText(splitter);
    browser_ = text;
    browser_->setObjectName(QStringLiteral("GuideText"));
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({190, 610});

    // The sections of the page shown; the list is refilled only when they change, so that
    // choosing one (which goes through setSource) leaves it alone.
    text->loaded = [this](const QList<Heading>& headings) {
        QList<Heading> shown;
        for (const Heading& h : headings)
            if (h.level == 2) shown.append(h);
        if (shown.isEmpty()) shown = headings;
        QStringList anchors;
        for (const Heading& h : shown) anchors << h.anchor;
        QStringList listed;
        for (int i = 0; i < contents_->count(); ++i)
            listed << contents_->item(i)->data(Qt::UserRole).toString();
        if (anchors == listed) return;
        contents_->clear();
        for (const Heading& h : shown) {
            auto* item = new QListWidgetItem(h.text, contents_);
            item->setData(Qt::UserRole, h.anchor);
        }
        contents_->setVisible(!shown.isEmpty());
    };
    return splitter;
}

void GuideWindow::connectNavigation() {
    // A click, and Enter or a double click (styles activate differently), go to a section.
    const auto goToSection = [this](QListWidgetItem* item) {
        const QString anchor = item->data(Qt::UserRole).toString();
        QUrl url = browser_->source();
        if (url.fragment(QUrl::FullyDecoded) == anchor) {
            browser_->scrollToAnchor(anchor);
            return;
        }
        url.setFragment(anchor);
        browser_->setSource(url, QTextDocument::MarkdownResource);
    };
    connect(contents_, &QListWidget::itemClicked, this, goToSection);
    connect(contents_, &QListWidget::itemActivated, this, goToSection);

    // Links inside the guide stay here (Back and Forward follow them); web addresses and
    // other files go to the desktop's programs.
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
        const bool samePage = url.isLocalFile() && browser_->source().isLocalFile() &&
                              url.toLocalFile() == browser_->source().toLocalFile();
        if (samePage || (url.isLocalFile() && isMarkdown(url)))
            browser_->setSource(url, QTextDocument::MarkdownResource);
        else
            QDesktopServices::openUrl(url);
    });
    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QWidget::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QWidget::setEnabled);
    connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(home_, &QPushButton::clicked, browser_, &QTextBrowser::home);
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
}

void GuideWindow::loadGuide(const QString& file) {
    loaded_ = !file.isEmpty() && QFileInfo::exists(file);
    if (loaded_) {
        browser_->setSource(QUrl::fromLocalFile(QFileInfo(file).absoluteFilePath()),
                            QTextDocument::MarkdownResource);
        return;
    }
    browser_->clearHistory();
    contents_->clear();
    contents_->hide();
    browser_->setMarkdown(QStringLiteral(
        "# Die Anleitung wurde nicht gefunden\n\n"
        "Sie gehört zum Programm und liegt nach der Installation in "
        "„share/doc/brisella-bildwerker/Anleitung.md“. Installieren Sie das Programm "
        "bitte erneut."));
}

void GuideWindow::showGuide() {
    if (!loaded_) loadGuide(guideFile());
    show();
    raise();
    activateWindow();
    browser_->setFocus();  // the keys scroll the guide at once
}

}  // namespace bb
