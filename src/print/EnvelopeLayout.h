// Where everything goes on the address side of an envelope, in millimetres from its upper
// left corner, as data that the drawing, the preview and `brisella-cli envelopes --layout`
// share. The measures and their sources are in docs/envelopes.md:
// - envelopes addressed the German way without window: the sender in the upper left above
//   the reading zone, the stamp area (74 × 40 mm, upper right) kept free, the recipient in the
//   lower right of the reading zone, 15 mm from the sides and above the 15 mm code zone;
// - window envelopes: the recipient in the address field of DIN 5008 (85 × 45 mm) lying in the
//   window: the one-line sender in small type at the foot of the 17.7 mm zone for notes, the
//   address in the 27.3 mm zone below it, written from 5 mm inside the field;
// - other envelopes: the sender in the upper left, the address centred.
#pragma once

#include <QFont>
#include <QImage>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace bb {

struct AddressList;
struct EnvelopeSize;
class FieldFiller;

// The sender. `country` decides which recipients are abroad; it is not written on the
// envelope by itself (write it as a line when it should be).
struct SenderAddress {
    QStringList lines;
    QString country;  // empty: Deutschland
};

// A sender file: UTF-8 text, one line of the sender block per line, blank lines skipped. A
// line "Land: NAME" (any case, anywhere) gives the country and is not printed. Null lines
// and an error text when the file cannot be read, is no UTF-8 text or holds no line.
SenderAddress readSenderFile(const QString& path, QString* error);
// The same from text already read.
SenderAddress parseSenderText(const QString& text);

// Whether two country names mean the same country: case and surrounding blanks ignored, and
// the usual names and codes of Germany ("Deutschland", "Germany", "DE", "D", ...), Austria
// and Switzerland taken as one. An empty name is Deutschland.
bool sameCountry(const QString& a, const QString& b);

inline const QString kDefaultRecipientTemplate =
    QStringLiteral("{Anrede}\n{Vorname} {Nachname}\n{Straße}\n{PLZ} {Ort}\n{Land}");

// `tmpl` with every field that `list` has no column for taken out, so that an envelope never
// shows "{Anrede}" for a list without such a column (a card keeps them to show the gap).
QString templateForList(const QString& tmpl, const AddressList& list);

// The lines of the recipient block for one row: `tmpl` filled by `filler`; blanks at the
// ends and runs of blanks inside a line closed up, empty lines dropped. "{Land}" is left out
// when the row's country is empty or the sender's own (sameCountry), and otherwise written
// in capitals (Deutsche Post wants the country as the last line, in capitals).
QStringList recipientLines(const QString& tmpl, const FieldFiller& filler, const QStringList& row,
                           const QString& senderCountry);

// A block of lines; the lines run from the rectangle's top, one line spacing of the font
// apart, and never leave it.
struct EnvelopeBlock {
    QRectF rectMm;
    QStringList lines;
    double pointSize = 11;
    bool bold = false;
};

struct EnvelopeFace {
    QSizeF sizeMm;
    EnvelopeBlock recipient;
    EnvelopeBlock sender;      // upper left block; empty on window envelopes
    EnvelopeBlock senderLine;  // one line above the address of a window envelope
    QRectF stampAreaMm;        // kept free for the stamp
    QRectF pictureMm;          // where `picture` goes; empty without one
    QImage picture;
    QString fontFamily;    // every block's type
    QStringList warnings;  // German, e.g. when lines of a long address had to be left out
};

// What the faces are made with besides the addresses.
struct EnvelopeStyle {
    QString fontFamily = QStringLiteral("Liberation Sans");
    double recipientPt = 11;    // Deutsche Post asks for 10 to 12 pt
    double minRecipientPt = 8;  // a long address shrinks down to this, then loses lines
    double senderPt = 9;
    double senderLinePt = 8;  // the sender line of a window envelope
    double minSenderPt = 6;
    QImage picture;  // a small picture or ornament from the card; none when null
};

// The font the blocks are measured and drawn with.
QFont envelopeFont(const QString& family, double pointSize, bool bold);
// Line spacing and width of `text` in millimetres for that font.
double lineSpacingMm(const QFont& font);
double textWidthMm(const QFont& font, const QString& text);

// The address side of one envelope (`window` is ignored for a size without one).
EnvelopeFace envelopeFace(const EnvelopeSize& size, bool window, const SenderAddress& sender,
                          const QStringList& recipientLines, const EnvelopeStyle& style = {});

}  // namespace bb
