// Objects through the clipboard payload, paste, cut and duplicate, images from other
// programs, and picture files dropped onto a view.
#include "EditingFixture.h"

#include "document/EditHistory.h"
#include "editor/ObjectClipboard.h"
#include "editor/ObjectCreation.h"
#include "pictures/PictureOps.h"
#include "support/ObjectFields.h"

#include <QClipboard>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QScrollArea>
#include <QSignalSpy>
#include <QUrl>

using namespace bb;
using namespace bbtest;

namespace {

// Every field away from its default, so that a field left out of the payload shows.
CardObject unusualObject(int32_t kind) {
    CardObject o;
    setEveryField(o, 1);
    o.kind = kind;
    o.rotation = 2;
    o.content = QStringLiteral("Grüße aus Köln – Straße ß €");
    return o;
}

DibImage stripes(int w, int h) {
    DibImage p = newDib(w, h, 24);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) setPixel(p, x, y, rgbRef(x * 7, y * 5, (x + y) & 0xFF));
    return p;
}

}  // namespace

TEST(ObjectPayload, EveryFieldOfEveryKindRoundTrips) {
    for (int32_t kind : {KindFigure, KindText, KindPicture}) {
        CardObject o = unusualObject(kind);
        if (kind == KindPicture) o.content = QStringLiteral("/tmp/Bilder/Sommerfest ä.bmp");
        CardObject back;
        PayloadPicture source;
        const QString file = QStringLiteral("/tmp/Bilder/Fundort ü.bmp");
        ASSERT_TRUE(objectFromPayload(objectPayload(o, {"key-1", file}), back, &source)) << kind;
        EXPECT_TRUE(o == back) << kind;
        EXPECT_EQ(source.key, QByteArray("key-1"));
        EXPECT_EQ(source.file, file);
        EXPECT_TRUE(back.picture.isNull());
    }
}

TEST(ObjectPayload, EveryFieldChangedInTurnRoundTrips) {
    for (int32_t kind : {KindFigure, KindText, KindPicture}) {
        for (std::size_t i = 0; i < CardObject::kFieldCount; ++i) {
            CardObject o = unusualObject(kind);
            changeField(o, i);
            CardObject back;
            // A kind or rotation changed out of range is refused; everything else comes back.
            const bool valid = o.kind >= KindFigure && o.kind <= KindPicture && o.rotation <= 3;
            ASSERT_EQ(objectFromPayload(objectPayload(o), back), valid) << kind << ", field " << i;
            if (!valid) continue;
            o.picture = DibImage();  // the payload names the picture apart from the fields
            SCOPED_TRACE(i);
            expectSameFields(back, o);
        }
    }
}

TEST(ObjectPayload, RefusesDamagedOrForeignBytesAndLeavesTheObject) {
    const CardObject text = unusualObject(KindText);
    const QByteArray good = objectPayload(text);
    CardObject target = unusualObject(KindFigure);
    target.picture = stripes(2, 2);
    // Every cut of a good payload, garbage, and one with a byte too many.
    for (int n = 0; n < good.size(); ++n)
        EXPECT_FALSE(objectFromPayload(good.left(n), target)) << n;
    EXPECT_FALSE(objectFromPayload(QByteArray(64, '\xff'), target));
    EXPECT_FALSE(objectFromPayload(good + 'x', target));
    // Well-formed but no object: kind 0, a rotation outside 0..3, a picture without a file.
    CardObject bad = text;
    bad.kind = KindFree;
    EXPECT_FALSE(objectFromPayload(objectPayload(bad), target));
    bad = text;
    bad.rotation = 4;
    EXPECT_FALSE(objectFromPayload(objectPayload(bad), target));
    bad = text;
    bad.kind = KindPicture;
    bad.content.clear();
    EXPECT_FALSE(objectFromPayload(objectPayload(bad), target));
    EXPECT_EQ(target.kind, KindFigure);
    EXPECT_FALSE(target.picture.isNull());
}

class ClipboardTest : public EditingFixture {
protected:
    ObjectClipboard& clip() { return ed->clipboard(); }

    // A picture object in `slot` whose picture lies in a file of the test folder, shown
    // turned a quarter to the right as a card file would load it.
    CardObject& putPicture(int slot, const QString& name) {
        const QString path = folder.file(name);
        EXPECT_EQ(savePictureFile(stripes(30, 20), path, DibBMP), 1);
        CardObject& o = put(slot, KindPicture, 500, 500, 40, 60);
        o.content = path;
        EXPECT_TRUE(loadPictureOrBlank(o.picture, path, folder.path()));
        EXPECT_TRUE(turnPictureRight(o.picture));
        o.rotation = 1;
        return o;
    }

    std::unique_ptr<QMimeData> copySlot(int slot) {
        ed->selectSlot(slot);
        return clip().mimeForSelected();
    }

    int usedSlots() { return doc->usedCount(ed->editedSlots()); }
};

TEST_F(ClipboardTest, PasteLandsOffsetSelectedInTheLowestFreeSlotOnEitherSide) {
    const CardGeometry card = cardGeometry(*doc);
    const int left = card.left / 100 + 20, top = card.top / 100 + 20;
    CardObject& text = put(2, KindText, left, top, 80, 20);
    text.content = QStringLiteral("Hallo Jörg");
    text.fontColor = 0x0000FF;
    auto mime = copySlot(2);
    ASSERT_TRUE(mime);
    EXPECT_EQ(mime->text(), QStringLiteral("Hallo Jörg"));

    EXPECT_EQ(clip().pasteMime(*mime), 1);
    EXPECT_EQ(ed->selectedSlot(), 1);
    EXPECT_EQ(ed->editedSlots()[1]->content, text.content);
    EXPECT_EQ(ed->editedSlots()[1]->x, (left + 10) * 100);
    EXPECT_EQ(ed->editedSlots()[1]->y, (top + 10) * 100);
    // Pasting the same again steps further away instead of covering the first copy.
    EXPECT_EQ(clip().pasteMime(*mime), 3);
    EXPECT_EQ(ed->editedSlots()[3]->x, (left + 20) * 100);

    tab->selectSide(SideInside);
    ASSERT_EQ(ed->editedSide(), SideInside);
    EXPECT_EQ(usedSlots(), 0);
    EXPECT_EQ(clip().pasteMime(*mime), 1);
    EXPECT_EQ(ed->editedSlots()[1]->fontColor, 0x0000FFu);
    EXPECT_EQ(ed->editedSlots()[1]->kind, KindText);
    // The outside kept its three objects.
    EXPECT_EQ(doc->usedCount(doc->outsideSlots), 3);
}

TEST_F(ClipboardTest, PasteIntoASmallerCardLandsOnItInTheMiddleOfTheView) {
    // Near the bottom right corner of a large card, copied, then the card made smaller.
    doc->format.cardWidth = 200;
    doc->format.cardHeight = 140;
    doc->updateSideUnits();
    tab->views().layoutFromDocument();
    const CardGeometry large = cardGeometry(*doc);
    put(1, KindFigure, large.right / 100 - 60, large.bottom / 100 - 50, 40, 30);
    auto mime = copySlot(1);
    doc->format.cardWidth = 100;
    doc->format.cardHeight = 70;
    doc->updateSideUnits();
    tab->views().layoutFromDocument();
    const CardGeometry card = cardGeometry(*doc);

    EditorView* v = view(SideOutside);
    const QWidget* port = v->scrollBox()->viewport();
    const QRect cardPixels(QPoint(card.left / 100, card.top / 100),
                           QPoint(card.right / 100 - 1, card.bottom / 100 - 1));
    // The middle of the card's part in the view; of the card when the view shows none of it.
    const auto shownCardMiddle = [&] {
        const QRect shown(v->scrollX(), v->scrollY(), port->width(), port->height());
        const QRect onCard = shown & cardPixels;
        return (onCard.isEmpty() ? cardPixels.center() : onCard.center()) * 100;
    };
    const auto wholeOnCard = [&](const CardObject& o) {
        return o.x >= card.left && o.y >= card.top && o.x + o.width <= card.right &&
               o.y + o.height <= card.bottom;
    };
    // With only the card's top left part in the view, and with none of it.
    for (QPoint scroll :
         {QPoint(card.left / 100 + 100 - port->width(), card.top / 100 + 80 - port->height()),
          QPoint(0, 0)}) {
        v->setScroll(scroll.x(), scroll.y());
        const int slot = clip().pasteMime(*mime);
        ASSERT_NE(slot, 0);
        const CardObject& o = *ed->editedSlots()[slot];
        EXPECT_TRUE(wholeOnCard(o)) << o.x << "," << o.y;
        EXPECT_NEAR(o.x + o.width / 2, shownCardMiddle().x(), 200);
        EXPECT_NEAR(o.y + o.height / 2, shownCardMiddle().y(), 200);
    }

    // An object larger than the card is centred on it.
    put(9, KindFigure, 0, 0, card.right / 100, 10);
    const int wide = clip().pasteMime(*copySlot(9));
    ASSERT_NE(wide, 0);
    const CardObject& o = *ed->editedSlots()[wide];
    EXPECT_NEAR(o.x + o.width / 2, (card.left + card.right) / 2, 1);
    EXPECT_GE(o.y, card.top);
}

TEST_F(ClipboardTest, PicturePasteSharesTheCopyHereAndLoadsTheFileFromAnotherProgram) {
    CardObject& original = putPicture(1, QStringLiteral("Blume.bmp"));
    auto mime = copySlot(1);
    ASSERT_TRUE(mime && mime->hasImage());

    // A second card in this program: the picture is shared, not loaded again.
    CardDocument doc2;
    doc2.zoomFactor = 1.0;
    doc2.unitsPerPixel = 100.0;
    QWidget window2;
    auto* tab2 = new EditorTab(doc2, ctx, &window2);
    EditorController ed2(tab2->views(), dialogs, folder.path(), nullptr);
    ed2.install(*tab2);
    tab2->views().layoutFromDocument();
    ASSERT_EQ(ed2.clipboard().pasteMime(*mime), 1);
    EXPECT_EQ(ed2.editedSlots()[1]->picture.sharedId(), original.picture.sharedId());
    EXPECT_EQ(ed2.editedSlots()[1]->content, original.content);

    // Another program knows only where the file lies: it loads the file and turns it as
    // shown, and the card names the file where it was found.
    CardObject fields;
    PayloadPicture source;
    ASSERT_TRUE(objectFromPayload(mime->data(kObjectMimeType), fields, &source));
    EXPECT_EQ(source.file, original.content);
    fields.content = QStringLiteral("Blume.bmp");  // in the other program's folder
    QMimeData foreign;
    foreign.setData(kObjectMimeType, objectPayload(fields, {"other-program/1", source.file}));
    const int slot = clip().pasteMime(foreign);
    ASSERT_EQ(slot, 2);
    const DibImage& loaded = ed->editedSlots()[slot]->picture;
    EXPECT_NE(loaded.sharedId(), original.picture.sharedId());
    EXPECT_EQ(loaded.width(), 20);
    EXPECT_EQ(loaded.height(), 30);
    EXPECT_EQ(getPixel(loaded, 0, 0), getPixel(original.picture, 0, 0));
    EXPECT_EQ(ed->editedSlots()[slot]->rotation, 1);
    EXPECT_EQ(ed->editedSlots()[slot]->content, original.content);

    // Its file gone, the paste says so and makes nothing.
    ASSERT_TRUE(QFile::remove(original.content));
    dialogs.messages.clear();
    EXPECT_EQ(clip().pasteMime(foreign), 0);
    ASSERT_EQ(dialogs.messages.size(), 1);
    EXPECT_TRUE(dialogs.messages[0].text.contains(QStringLiteral("Blume.bmp")));
    EXPECT_EQ(usedSlots(), 2);
}

TEST_F(ClipboardTest, CopiedPictureNamesTheFileWhereTheCardFoundIt) {
    // A card from another machine names "C:\Bilder\Rose.bmp"; the file lies beside the card.
    QDir(folder.path()).mkdir(QStringLiteral("Karten"));
    doc->fileName = folder.file(QStringLiteral("Karten/Garten.kar"));
    const QString beside = folder.file(QStringLiteral("Karten/Rose.bmp"));
    ASSERT_EQ(savePictureFile(stripes(6, 6), beside, DibBMP), 1);
    CardObject& o = put(1, KindPicture, 300, 300, 20, 20);
    o.content = QStringLiteral("C:\\Bilder\\Rose.bmp");
    o.picture = loadPictureFile(beside);
    auto mime = copySlot(1);
    CardObject fields;
    PayloadPicture source;
    ASSERT_TRUE(objectFromPayload(mime->data(kObjectMimeType), fields, &source));
    EXPECT_EQ(fields.content, o.content);
    EXPECT_EQ(source.file, beside);
}

TEST_F(ClipboardTest, CutDuplicateAndPasteThroughTheSystemClipboard) {
    CardObject& pic = putPicture(4, QStringLiteral("Baum.bmp"));
    const void* pixels = pic.picture.sharedId();
    ed->selectSlot(4);
    ASSERT_TRUE(clip().duplicate());
    EXPECT_EQ(ed->selectedSlot(), 1);
    EXPECT_EQ(ed->editedSlots()[1]->picture.sharedId(), pixels);
    EXPECT_EQ(ed->editedSlots()[1]->x, pic.x + 1000);

    ed->selectSlot(4);
    ASSERT_TRUE(clip().cut());
    EXPECT_FALSE(ed->editedSlots()[4]->used());
    EXPECT_EQ(ed->selectedSlot(), 0);
    const QMimeData* onBoard = QGuiApplication::clipboard()->mimeData();
    ASSERT_TRUE(onBoard && onBoard->hasFormat(kObjectMimeType));
    ASSERT_TRUE(clip().paste());
    EXPECT_EQ(ed->selectedSlot(), 2);
    EXPECT_EQ(ed->editedSlots()[2]->picture.sharedId(), pixels);
    // Nothing selected: nothing to copy, cut or duplicate.
    ed->selectSlot(0);
    EXPECT_FALSE(clip().copy());
    EXPECT_FALSE(clip().cut());
    EXPECT_FALSE(clip().duplicate());
}

TEST_F(ClipboardTest, FullSideRefusesPasteDuplicateAndDropWithTheTableMessage) {
    for (int s = 1; s <= kSlotCount; ++s) put(s, KindFigure, 10, 10, 5, 5);
    ed->editedSlots()[7]->color = 0x00FF00;
    auto mime = copySlot(7);
    QMimeData image;
    image.setImageData(QImage(8, 8, QImage::Format_RGB32));
    QMimeData files;
    const QString pic = folder.file(QStringLiteral("a.bmp"));
    ASSERT_EQ(savePictureFile(stripes(4, 4), pic, DibBMP), 1);
    files.setUrls({QUrl::fromLocalFile(pic)});

    EXPECT_EQ(clip().pasteMime(*mime), 0);
    EXPECT_FALSE(clip().duplicate());
    EXPECT_EQ(clip().pasteMime(image), 0);
    EXPECT_EQ(clip().dropPictures(files, QPoint(100, 100)), 0);
    ASSERT_EQ(dialogs.messages.size(), 4);
    for (const RecordedMessage& m : dialogs.messages)
        EXPECT_EQ(m.text, QStringLiteral("Es wurden zuviele Objekte erstellt!"));
    EXPECT_EQ(ed->editedSlots()[7]->color, 0x00FF00u);
    // No picture file was written for the refused image.
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("Eingefügt 1.png"))));
}

TEST_F(ClipboardTest, ImageFromAnotherProgramIsSavedBesideTheCardUnderAFreeName) {
    QDir(folder.path()).mkdir(QStringLiteral("Karten"));
    doc->fileName = folder.file(QStringLiteral("Karten/Geburtstag.kar"));
    const QString taken = folder.file(QStringLiteral("Karten/Eingefügt 1.png"));
    {
        QFile f(taken);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(200, 10, 20));
    QMimeData mime;
    mime.setImageData(image);
    QSignalSpy status(&clip(), &ObjectClipboard::statusMessage);

    const int slot = clip().pasteMime(mime);
    ASSERT_EQ(slot, 1);
    const QString saved = folder.file(QStringLiteral("Karten/Eingefügt 2.png"));
    const CardObject& o = *ed->editedSlots()[slot];
    EXPECT_EQ(o.content, saved);
    EXPECT_EQ(o.picture.width(), 40);
    EXPECT_EQ(pixelColor(o.picture, getPixel(o.picture, 3, 3)), rgbRef(200, 10, 20));
    // The file beside the card holds the picture and the one there before is untouched.
    EXPECT_EQ(loadPictureFile(saved).width(), 40);
    QFile before(taken);
    ASSERT_TRUE(before.open(QIODevice::ReadOnly));
    EXPECT_EQ(before.readAll(), QByteArray("keep me"));
    ASSERT_EQ(status.count(), 1);
    EXPECT_TRUE(status[0][0].toString().contains(QStringLiteral("Eingefügt 2.png")));

    // An unsaved card keeps its pasted pictures in the program folder; see-through parts
    // come in white.
    doc->fileName.clear();
    QImage clear(10, 10, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    mime.setImageData(clear);
    ASSERT_EQ(clip().pasteMime(mime), 2);
    const CardObject& seeThrough = *ed->editedSlots()[2];
    EXPECT_EQ(seeThrough.content, folder.file(QStringLiteral("Eingefügt 1.png")));
    EXPECT_EQ(pixelColor(seeThrough.picture, getPixel(seeThrough.picture, 5, 5)), 0xFFFFFFu);
}

TEST_F(ClipboardTest, PictureLargerThanAHalfOfTheCardIsFittedIntoThatHalf) {
    const CardGeometry card = cardGeometry(*doc);
    const int32_t halfWidth = card.fold - card.left, cardHeight = card.bottom - card.top;
    QMimeData mime;
    QImage wide(4000, 1000, QImage::Format_RGB32);
    wide.fill(Qt::blue);
    mime.setImageData(wide);
    const int slot = clip().pasteMime(mime);
    ASSERT_NE(slot, 0);
    const CardObject& o = *ed->editedSlots()[slot];
    EXPECT_EQ(o.width, halfWidth);
    EXPECT_NEAR(double(o.width) / o.height, 4.0, 0.01);
    EXPECT_TRUE((o.x == card.left || o.x == card.fold)) << o.x;
    EXPECT_GE(o.y, card.top);
    EXPECT_LE(o.y + o.height, card.bottom);

    // The picture tool fits it into the half that was clicked, the front or the back.
    for (int32_t clickX : {card.left + 500, card.fold + 500}) {
        CardObject made;
        EXPECT_TRUE(initNewObject(*doc, made, KindPicture, doc->screenPixels(clickX),
                                  doc->screenPixels(card.top + 500), ed->creator().newTextFont(),
                                  ctx, stripes(4000, 1000), "w"));
        const int32_t halfLeft = clickX < card.fold ? card.left : card.fold;
        EXPECT_EQ(made.x, halfLeft);
        EXPECT_EQ(made.width, halfWidth);
        EXPECT_LE(made.y + made.height, card.bottom);
    }

    // The picture tool's own placement fits a tall one by its height; small ones keep their
    // pixel size.
    CardObject tall;
    initNewObject(*doc, tall, KindPicture, 0, 0, ed->creator().newTextFont(), ctx,
                  stripes(100, 5000), "t");
    EXPECT_EQ(tall.height, cardHeight);
    EXPECT_NEAR(double(tall.height) / tall.width, 50.0, 0.5);
    EXPECT_EQ(tall.y, card.top);
    CardObject small;
    initNewObject(*doc, small, KindPicture, 7, 9, ed->creator().newTextFont(), ctx, stripes(96, 48),
                  "s");
    EXPECT_EQ(small.x, 700);
    EXPECT_EQ(small.width, doc->fromView(pictureViewSize(*doc, small.picture, 96).width()));
}

TEST_F(ClipboardTest, DroppedPictureFilesBecomeObjectsAtTheDropPointOthersArePassedOver) {
    const QString pic = folder.file(QStringLiteral("Foto.bmp"));
    const QString text = folder.file(QStringLiteral("Notiz.txt"));
    const QString card = folder.file(QStringLiteral("Karte.kar"));
    ASSERT_EQ(savePictureFile(stripes(16, 8), pic, DibBMP), 1);
    for (const QString& path : {text, card}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("no picture");
    }
    QMimeData pictures;
    pictures.setUrls({QUrl::fromLocalFile(text), QUrl::fromLocalFile(pic)});
    QMimeData cards;
    cards.setUrls({QUrl::fromLocalFile(card)});

    // The view takes picture drags and leaves card files to the window.
    EditorView* v = view(SideOutside);
    QDragEnterEvent enterCard(QPoint(10, 10), Qt::CopyAction, &cards, Qt::LeftButton,
                              Qt::NoModifier);
    QApplication::sendEvent(v, &enterCard);
    EXPECT_FALSE(enterCard.isAccepted());
    QDragEnterEvent enterPicture(QPoint(10, 10), Qt::CopyAction, &pictures, Qt::LeftButton,
                                 Qt::NoModifier);
    QApplication::sendEvent(v, &enterPicture);
    EXPECT_TRUE(enterPicture.isAccepted());

    QDropEvent drop(QPointF(321, 234), Qt::CopyAction, &pictures, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v, &drop);
    ASSERT_EQ(usedSlots(), 1);
    const CardObject& o = *ed->editedSlots()[1];
    EXPECT_EQ(o.kind, KindPicture);
    EXPECT_EQ(o.content, pic);
    EXPECT_EQ(o.x, 32100);
    EXPECT_EQ(o.y, 23400);
    EXPECT_EQ(ed->selectedSlot(), 1);
    EXPECT_TRUE(dialogs.messages.isEmpty());
    // A card file dropped on the view makes no object.
    QDropEvent dropCard(QPointF(50, 50), Qt::CopyAction, &cards, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(v, &dropCard);
    EXPECT_EQ(usedSlots(), 1);
}

TEST_F(ClipboardTest, EachPasteCutDuplicateAndDropIsOneUndoStep) {
    EditHistory& h = ed->history();
    put(1, KindFigure, 400, 400, 30, 30).color = 0x0000FF;
    auto mime = copySlot(1);
    const QString a = folder.file(QStringLiteral("a.bmp")),
                  b = folder.file(QStringLiteral("b.bmp"));
    ASSERT_EQ(savePictureFile(stripes(4, 4), a, DibBMP), 1);
    ASSERT_EQ(savePictureFile(stripes(5, 5), b, DibBMP), 1);
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b)});
    const int before = h.stack().count();

    ASSERT_EQ(clip().pasteMime(*mime), 2);
    ed->selectSlot(1);
    ASSERT_TRUE(clip().duplicate());
    ed->selectSlot(2);
    ASSERT_TRUE(clip().cut());
    ASSERT_EQ(clip().dropPictures(files, QPoint(100, 100)), 2);
    ASSERT_EQ(h.stack().count(), before + 4);
    EXPECT_EQ(h.stack().undoText(), QStringLiteral("Bild einfügen"));

    h.undo();  // both dropped pictures at once
    EXPECT_EQ(usedSlots(), 2);
    h.undo();  // the cut object comes back
    EXPECT_TRUE(ed->editedSlots()[2]->used());
    EXPECT_EQ(ed->editedSlots()[2]->color, 0x0000FFu);
    h.undo();
    h.undo();
    EXPECT_EQ(usedSlots(), 1);
    h.redo();
    EXPECT_EQ(usedSlots(), 2);
    // A refused paste records nothing.
    QMimeData junk;
    junk.setData(kObjectMimeType, "junk");
    EXPECT_EQ(clip().pasteMime(junk), 0);
    EXPECT_EQ(h.stack().index(), before + 1);
    EXPECT_TRUE(h.canRedo());
}
