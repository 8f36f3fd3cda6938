// "Schmuck einfügen": the program's ornaments by category as previews, with a search over
// their names. A double click or "Einfügen" puts the chosen ornament on the card (the dialog
// stays open for more); an ornament can also be dragged onto a side.
#pragma once

#include <QDialog>
#include <QHash>
#include <QIcon>
#include <QString>
#include <QStringList>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;

namespace bb {

class OrnamentDialog : public QDialog {
    Q_OBJECT
public:
    explicit OrnamentDialog(QWidget* parent = nullptr);

    // The category shown ("Alle" for every one) and the search text.
    void setCategory(const QString& category);
    void setSearch(const QString& text);
    // The names of the previews shown, in order.
    QStringList shownNames() const;
    // The chosen ornament's name; empty when none is chosen.
    QString chosenName() const;
    void choose(const QString& name);

    // Which ornament a search text finds: every word of it within the label or the category,
    // without regard to case.
    static bool matches(const QString& label, const QString& category, const QString& search);

signals:
    // The person asked to put the ornament on the card.
    void insertRequested(const QString& name);

private:
    void fillPreviews();
    void insertChosen();
    // The preview of an ornament, drawn once.
    QIcon previewOf(const QString& name, bool recolourable);

    QListWidget* categories_ = nullptr;
    QLineEdit* search_ = nullptr;
    QListWidget* previews_ = nullptr;
    QPushButton* insertButton_ = nullptr;
    QHash<QString, QIcon> previewIcons_;
};

}  // namespace bb
