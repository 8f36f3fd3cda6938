// The first page of "Neue Karte erstellen": "Leere Karte" and the designs to start from as
// tiles with their previews, the occasions on the left and a search field above. Previews
// come from a DesignPreviews in the background; a tile shows a plain card until its preview
// arrives.
#pragma once

#include "content/DesignLibrary.h"

#include <QIcon>
#include <QList>
#include <QWidget>

class QLineEdit;
class QListWidget;
class QListWidgetItem;

namespace bb {

class DesignPreviews;

class DesignGallery : public QWidget {
    Q_OBJECT
public:
    explicit DesignGallery(QWidget* parent = nullptr);

    // Where the tiles ask for their previews; null shows plain cards only.
    void setPreviews(DesignPreviews* previews);
    // Shows "Leere Karte" and `designs`, grouped by occasion in the order of
    // designOccasions(); the search and the occasion are emptied and "Leere Karte" selected.
    void setDesigns(const QList<DesignEntry>& designs);
    const QList<DesignEntry>& designs() const { return designs_; }

    // The occasion shown ("" for all of them); an occasion without designs shows none.
    void setOccasion(const QString& occasion);
    QString occasion() const;
    // The names of the tiles shown, in order; "Leere Karte" first.
    QStringList shownNames() const;

    // The tile chosen: "Leere Karte" (blankSelected) or a design (currentDesign, else null).
    bool blankSelected() const;
    const DesignEntry* currentDesign() const;
    void selectBlank();
    // Selects the design of `cardPath`; false when it is not shown.
    bool selectDesign(const QString& cardPath);
    // Acts on the selected tile as a double click does.
    void activateCurrent();

    QLineEdit* searchEdit = nullptr;      // "vorlagenSuche"
    QListWidget* occasionList = nullptr;  // "vorlagenAnlaesse"
    QListWidget* tiles = nullptr;         // "vorlagenListe"

signals:
    void blankChosen();
    void designChosen(const QString& cardPath);
    // The context menu's "Vorlage löschen" on one of the user's own designs.
    void deleteRequested(const QString& cardPath);

private:
    void applyFilter();
    void previewArrived(const QString& cardPath, const QImage& image);
    void showContextMenu(const QPoint& pos);
    QListWidgetItem* itemFor(const QString& cardPath) const;

    DesignPreviews* previews_ = nullptr;
    QList<DesignEntry> designs_;  // in the order of the tiles after "Leere Karte"
    QIcon placeholder_;
};

// The box a design's preview is drawn into.
inline constexpr int kDesignTileBox = 150;

// The text of the tile that starts an empty card.
inline constexpr const char* kBlankCardTile = "Leere Karte";

}  // namespace bb
