// The German guide ("Anleitung") shown inside the program: the Markdown guide with its
// pictures in a QTextBrowser, so that no outside viewer is needed.
#pragma once

#include <QDialog>

class QHBoxLayout;
class QListWidget;
class QPushButton;
class QSplitter;
class QTextBrowser;

namespace bb {

class GuideWindow : public QDialog {
    Q_OBJECT
public:
    explicit GuideWindow(QWidget* parent = nullptr);

    // Shows the guide (not modal), loading it on first use, and raises it.
    void showGuide();
    // Loads a Markdown guide; an empty or missing file shows a German note instead.
    void loadGuide(const QString& file);
    QTextBrowser* browser() const { return browser_; }
    // The guide's headings; choosing one scrolls to it.
    QListWidget* contents() const { return contents_; }

    // The guide's Markdown file: installed in the XDG data folders or beside the installed
    // program, else the source tree's; empty when there is none.
    static QString guideFile();
    // The anchor name a heading gets, as web sites name Markdown headings:
    // "Drucken für alle" -> "drucken-für-alle".
    static QString headingAnchor(const QString& heading);

private:
    // Back, forward, contents and close, above the guide.
    QHBoxLayout* buildButtonRow();
    // The list of sections beside the guide's text.
    QSplitter* buildPanes();
    // The buttons, the list and the links move through the guide.
    void connectNavigation();

    QPushButton* back_ = nullptr;
    QPushButton* forward_ = nullptr;
    QPushButton* home_ = nullptr;
    QPushButton* close_ = nullptr;
    QTextBrowser* browser_ = nullptr;
    QListWidget* contents_ = nullptr;
    bool loaded_ = false;
};

}  // namespace bb
