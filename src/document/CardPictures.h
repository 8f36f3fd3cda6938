// The pictures a card uses, copied into the folder the card is saved in, so that the folder
// holds all the card needs and can be sent as one: the card refers to its pictures by name,
// and the reader looks for a bare name in the card's folder.
#pragma once

#include "document/CardDocument.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace bb {

struct CardPictureCopy {
    QStringList copied;   // "source → name": files written into the card's folder
    QStringList reused;   // names already in the card's folder with the same content
    QStringList missing;  // stored names whose file was not found; their references stay
    // "name: reason" for files that are not pictures of a readable format, or lie in /proc,
    // /sys or /dev: never copied, their references stay
    QStringList notPictures;
    QStringList failed;  // "name: reason" for copies that failed; their references stay
    // Each reference that was changed with the name it had (slot 0: the side's background),
    // for restorePictureReferences.
    struct Change {
        int side = SideOutside;
        int slot = 0;
        QString before;
    };
    std::vector<Change> changes;
    bool ok() const { return failed.isEmpty(); }
};

// Where the picture stored as `name` is found, in the reader's order (pictureNameCandidates
// with the folder of the card at `cardPath`). Empty when none is a file.
QString findStoredPicture(const QString& name, const QString& cardPath,
                          const QString& programFolder);

// For a card about to be saved as `cardPath`: copies every picture of both sides' objects and
// both backgrounds (found beside the card's present file, doc.fileName, or for a card without
// a file beside doc.pictureSource) into cardPath's folder
// and makes the card store it by bare file name. Only regular files whose header a picture
// reader takes are copied; the others are listed in notPictures and keep their reference. A file of
// that name with the same content is used as it is; one with other content is never overwritten,
// the copy gets "Name (2).jpg" (and so on) instead. A bare name that the program folder would
// answer with another file is avoided the same way.
CardPictureCopy copyCardPictures(CardDocument& doc, const QString& cardPath,
                                 const QString& programFolder);

// Gives the references changed by copyCardPictures their previous names (the save failed).
void restorePictureReferences(CardDocument& doc, const CardPictureCopy& copy);

// The message naming pictures not found and copies that failed; empty when there were none.
QString pictureCopyMessage(const CardPictureCopy& copy);

}  // namespace bb
