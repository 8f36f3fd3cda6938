// Cards made from designs and designs made from cards: a design opens as a new card that has
// no file yet (its pictures still found in the design's folder until the card is saved
// elsewhere), and the open card can be kept among the user's own designs.
#pragma once

#include "document/CardDocument.h"
#include "document/CardFile.h"
#include "document/CardPictures.h"

#include <QString>
#include <QStringList>

namespace bb {

// Reads the design at `designPath` into `doc` as a new, untitled card: no file name, nothing
// to save yet, and doc.pictureSource pointing at the design so that saving the card
// copies the design's pictures beside it. The design's file and folder are only read. False
// (with the reader's message shown) when the design cannot be read.
bool openDesignCopy(CardDocument& doc, const QString& designPath, CardFileContext& fc);

// Why `name` cannot name an own design, or an empty string when it can: it must not be empty,
// start with a dot, hold a folder separator, a control character or a character a card file
// name cannot keep ("\\ / : * ? \" < > |"), nor be longer than 100 characters.
QString ownDesignNameProblem(const QString& name);

// The card file of the own design `name` in `folder`.
QString ownDesignPath(const QString& folder, const QString& name);

struct OwnDesignSave {
    bool ok = false;
    QString path;     // the design's card file
    QString problem;  // why it failed, for the user
    CardPictureCopy pictures;
};

// Writes the card in `doc` as the own design `name` into `folder` (the user's own designs
// folder, which must be a real folder): its pictures are copied into the folder first, then
// the card file is written atomically, replacing a design of that name. The open card is left
// as it was: its file name, its picture references and its saved state do not change.
OwnDesignSave saveOwnDesign(CardDocument& doc, const QString& folder, const QString& name,
                            const RenderContext& ctx, const QString& programFolder);

// Deletes the own design at `cardPath`: only a regular card file directly inside `folder` is
// removed. Its pictures stay, as other own designs may use them.
bool deleteOwnDesign(const QString& folder, const QString& cardPath);

}  // namespace bb
