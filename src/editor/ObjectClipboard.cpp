#include "editor/ObjectClipboard.h"

#include "document/CardDocument.h"
#include "document/CardPictures.h"
#include "document/DrawnValues.h"
#include "document/FileErrors.h"
#include "document/Trunc.h"
#include "document/UserDialogs.h"
#include "editor/EditMath.h"
#include "editor/EditorController.h"
#include "editor/EditorView.h"
#include "editor/EditorViews.h"
#include "editor/ObjectCreation.h"
#include "editor/PropertyPanel.h"
#include "pictures/AtomicWrite.h"
#include "pictures/PictureFormat.h"
#include "pictures/PictureOps.h"
#include "pictures/QtCodec.h"
#include "render/Ornaments.h"

#include <QClipboard>
#include <QDataStream>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIODevice>
#include <QMimeData>
#include <QPainter>
#include <QScrollArea>
#include <QUrl>
#include <QUuid>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace bb {

namespace {

constexpr quint32 kPayloadMagic = 0x42424f32;  // "BBO2": every field of CardObject::fields()
// How far a pasted or duplicated object lies from its original, in view pixels.
constexpr int kPasteStep = 10;

// The picture of the last copy, so that a paste in this program shares it; other programs
// see only the key and load the picture by its file name.
struct HeldPicture {
    QByteArray key;
    DibImage picture;
};

// The pictures of the last copy, one per copied picture object.
std::vector<HeldPicture>& heldPictures() {
    static std::vector<HeldPicture> held;
    return held;
}

const DibImage* heldPicture(const QByteArray& key) {
    if (key.isEmpty()) return nullptr;
    for (const HeldPicture& h : heldPictures())
        if (h.key == key && !h.picture.isNull()) return &h.picture;
    return nullptr;
}

constexpr quint32 kListMagic = 0x42424c31;  // "BBL1": a list of object payloads

QByteArray newPictureKey() {
    static const QByteArray process = QUuid::createUuid().toByteArray(QUuid::WithoutBraces);
    static quint64 serial = 0;
    return process + '/' + QByteArray::number(++serial);
}

bool isCardFile(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("kar"), Qt::CaseInsensitive) == 0;
}

// The file a picture object's picture comes from as a full path: its name as the card file
// loads it, else, like the card file's reader, the name's file part beside the card.
QString pictureFileOf(const CardObject& o, const QString& cardPath, const QString& programFolder) {
    return findStoredPicture(o.content, cardPath, programFolder);
}

QStringList localFiles(const QMimeData& mime, bool cards) {
    QStringList files;
    if (!mime.hasUrls()) return files;
    for (const QUrl& url : mime.urls()) {
        if (!url.isLocalFile()) continue;
        const QString path = url.toLocalFile();
        if (path.isEmpty() || QFileInfo(path).isDir()) continue;
        if (isCardFile(path) == cards) files << path;
    }
    return files;
}

}  // namespace

QByteArray objectPayload(const CardObject& o, const PayloadPicture& picture) {
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    s << kPayloadMagic;
    writeFieldsWithoutPicture(s, o);
    s << picture.key << picture.file;
    return bytes;
}

bool objectFromPayload(const QByteArray& bytes, CardObject& o, PayloadPicture* picture) {
    QDataStream s(bytes);
    s.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0;
    s >> magic;
    if (s.status() != QDataStream::Ok || magic != kPayloadMagic) return false;
    CardObject r;
    PayloadPicture pic;
    readFieldsWithoutPicture(s, r);
    s >> pic.key >> pic.file;
    if (s.status() != QDataStream::Ok || !s.atEnd()) return false;
    if (r.kind < KindFigure || r.kind > KindPicture) return false;
    if (r.rotation < 0 || r.rotation > 3) return false;
    // A picture object without a file name has nothing to load its picture from.
    if (r.kind == KindPicture && r.content.isEmpty()) return false;
    releaseDib(o.picture);
    o = std::move(r);
    if (picture) *picture = std::move(pic);
    return true;
}

QByteArray objectListPayload(const std::vector<QByteArray>& payloads) {
    QByteArray bytes;
    QDataStream s(&bytes, QIODevice::WriteOnly);
    s.setVersion(QDataStream::Qt_6_0);
    s << kListMagic << quint32(payloads.size());
    for (const QByteArray& p : payloads) s << p;
    return bytes;
}

bool objectListFromPayload(const QByteArray& bytes, std::vector<QByteArray>& payloads) {
    QDataStream s(bytes);
    s.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, count = 0;
    s >> magic >> count;
    if (s.status() != QDataStream::Ok || magic != kListMagic || count == 0 ||
        count > quint32(kMaxListedObjects))
        return false;
    std::vector<QByteArray> read;
    for (quint32 i = 0; i < count; ++i) {
        QByteArray p;
        s >> p;
        if (s.status() != QDataStream::Ok) return false;
        read.push_back(std::move(p));
    }
    if (!s.atEnd()) return false;
    payloads = std::move(read);
    return true;
}

ObjectClipboard::ObjectClipboard(EditorController& editor, UserDialogs& dialogs,
                                 const QString& programFolder)
    : editor_(editor), dialogs_(dialogs), programFolder_(programFolder) {}

ObjectClipboard::~ObjectClipboard() = default;

std::unique_ptr<QMimeData> ObjectClipboard::mimeForSelected() const {
    const std::vector<int> picks = editor_.selection();
    if (picks.empty()) return nullptr;
    auto mime = std::make_unique<QMimeData>();
    std::vector<QByteArray> payloads;
    QStringList texts;
    heldPictures().clear();
    for (int slot : picks) {
        const CardObject& o = *editor_.views().edited().table(editor_.views().doc())[slot];
        PayloadPicture payloadPicture;
        if (o.kind == KindPicture && !o.picture.isNull()) {
            payloadPicture = {newPictureKey(),
                              pictureFileOf(o, editor_.views().doc().fileName, programFolder_)};
            heldPictures().push_back({payloadPicture.key, o.picture});
            // The picture as shown, for programs that take images.
            if (picks.size() == 1) mime->setImageData(qimageFromDib(o.picture));
        }
        if (o.kind == KindText) texts << o.content;
        payloads.push_back(objectPayload(o, payloadPicture));
    }
    if (!texts.isEmpty()) mime->setText(texts.join(QLatin1Char('\n')));
    if (payloads.size() == 1)
        mime->setData(kObjectMimeType, payloads.front());
    else
        mime->setData(kObjectListMimeType, objectListPayload(payloads));
    return mime;
}

bool ObjectClipboard::copy() {
    std::unique_ptr<QMimeData> mime = mimeForSelected();
    if (!mime) return false;
    QGuiApplication::clipboard()->setMimeData(mime.release());
    return true;
}

bool ObjectClipboard::cut() {
    const std::vector<int> picks = editor_.selection();
    if (!copy()) return false;
    EditHistory::Step step(editor_.history(), picks.size() == 1
                                                  ? QStringLiteral("Objekt ausschneiden")
                                                  : QStringLiteral("Objekte ausschneiden"));
    for (int slot : picks) CardDocument::freeObject(*editor_.editedSlots()[slot]);
    editor_.edited().select(0);
    editor_.repaintBoth();
    return true;
}

bool ObjectClipboard::paste() {
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    return mime && pasteMime(*mime) != 0;
}

bool ObjectClipboard::duplicate() {
    const std::vector<int> picks = editor_.selection();
    if (picks.empty()) return false;
    EditHistory::Step step(editor_.history(), picks.size() == 1
                                                  ? QStringLiteral("Objekt duplizieren")
                                                  : QStringLiteral("Objekte duplizieren"));
    std::vector<CardObject> copies;
    const int32_t offset = editor_.doc().fromView(kPasteStep);
    for (int slot : picks) {
        CardObject copy = *editor_.editedSlots()[slot];  // shares the picture
        copy.x += offset;
        copy.y += offset;
        copies.push_back(std::move(copy));
    }
    return placeAll(std::move(copies)) != 0;
}

bool ObjectClipboard::canPaste(const QMimeData* mime) {
    return mime && (mime->hasFormat(kObjectMimeType) || mime->hasFormat(kObjectListMimeType) ||
                    mime->hasImage());
}

int ObjectClipboard::pasteMime(const QMimeData& mime) {
    EditHistory::Step step(editor_.history(), QStringLiteral("Objekt einfügen"));
    if (mime.hasFormat(kObjectListMimeType)) return pasteObjects(mime.data(kObjectListMimeType));
    if (mime.hasFormat(kObjectMimeType)) return pasteObject(mime.data(kObjectMimeType));
    if (mime.hasImage()) return pasteImage(qvariant_cast<QImage>(mime.imageData()));
    return 0;
}

bool ObjectClipboard::objectOf(const QByteArray& payload, CardObject& o) {
    PayloadPicture source;
    if (!objectFromPayload(payload, o, &source)) return false;
    if (o.kind != KindPicture) return true;
    if (const DibImage* held = heldPicture(source.key)) {
        o.picture = *held;
        return true;
    }
    // From another program (or an older copy): the picture file, turned as shown. The file
    // where the copying program found it comes first; the card then names that file.
    if (!source.file.isEmpty() && loadPictureOrBlank(o.picture, source.file, {})) {
        o.content = source.file;
    } else if (PictureError why = PictureError::None;
               !loadPictureOrBlank(o.picture, o.content, programFolder_, &why)) {
        releaseDib(o.picture);
        dialogs_.message(pictureLoadMessage(o.content, why), QString(), MsgIcon::Error, BtnOk);
        return false;
    }
    turnByRotation(o.picture, o.rotation);
    return true;
}

void ObjectClipboard::placeCopies(std::vector<CardObject>& objects, int repeat) {
    CardDocument& d = editor_.doc();
    int64_t left = INT64_MAX, top = INT64_MAX, right = INT64_MIN, bottom = INT64_MIN;
    for (const CardObject& o : objects) {
        left = std::min<int64_t>(left, o.x);
        top = std::min<int64_t>(top, o.y);
        right = std::max(right, int64_t(o.x) + o.width);
        bottom = std::max(bottom, int64_t(o.y) + o.height);
    }
    const int64_t offset = int64_t(d.fromView(kPasteStep)) * repeat;
    const CardGeometry card = cardGeometry(d);
    int64_t dx = offset, dy = offset;
    if (!(left + offset >= card.left && top + offset >= card.top && right + offset <= card.right &&
          bottom + offset <= card.bottom)) {
        // Not on this card (a smaller card type, or pasted often): in the middle of the part of
        // the card that the view shows, and on the card as far as it fits.
        const QPoint c = visibleCardCentre();
        dx = int64_t(placeOnCard(c.x(), clampInt32(right - left), card.left, card.right)) - left;
        dy = int64_t(placeOnCard(c.y(), clampInt32(bottom - top), card.top, card.bottom)) - top;
    }
    for (CardObject& o : objects) {
        o.x = clampInt32(o.x + dx);
        o.y = clampInt32(o.y + dy);
    }
}

int ObjectClipboard::pasteObject(const QByteArray& payload) {
    CardObject o;
    if (!objectOf(payload, o)) return 0;
    if (payload == lastPasted_) {
        ++pasteRepeat_;
    } else {
        lastPasted_ = payload;
        pasteRepeat_ = 1;
    }
    std::vector<CardObject> objects;
    objects.push_back(std::move(o));
    placeCopies(objects, pasteRepeat_);
    return placeAll(std::move(objects));
}

int ObjectClipboard::pasteObjects(const QByteArray& listPayload) {
    std::vector<QByteArray> payloads;
    if (!objectListFromPayload(listPayload, payloads)) return 0;
    std::vector<CardObject> objects;
    for (const QByteArray& p : payloads) {
        CardObject o;
        if (objectOf(p, o)) objects.push_back(std::move(o));
    }
    if (objects.empty()) return 0;
    if (listPayload == lastPasted_) {
        ++pasteRepeat_;
    } else {
        lastPasted_ = listPayload;
        pasteRepeat_ = 1;
    }
    placeCopies(objects, pasteRepeat_);
    return placeAll(std::move(objects));
}

int ObjectClipboard::placeAll(std::vector<CardObject> objects) {
    CardDocument& d = editor_.doc();
    const SlotTable& t = editor_.editedSlots();
    // Groups among the copies become new groups of the side; a copy alone is in none.
    int32_t fresh = 1;
    for (int s = 1; s <= kSlotCount; ++s)
        if (t[s]->used()) fresh = std::max(fresh, t[s]->extras.group + 1);
    std::vector<std::pair<int32_t, int32_t>> renamed;
    for (CardObject& o : objects) {
        const int32_t old = o.extras.group;
        if (old <= 0 || objects.size() == 1) {
            o.extras.group = 0;
            continue;
        }
        const auto at = std::find_if(renamed.begin(), renamed.end(),
                                     [old](const auto& r) { return r.first == old; });
        if (at != renamed.end()) {
            o.extras.group = at->second;
        } else {
            renamed.emplace_back(old, fresh);
            o.extras.group = fresh++;
        }
    }
    std::vector<int> placed;
    for (CardObject& o : objects) {
        const int slot = d.findFreeSlot(editor_.editedSide(), &dialogs_);
        if (slot == 0) break;
        if (place(slot, std::move(o)) != 0) placed.push_back(slot);
    }
    if (placed.empty()) return 0;
    editor_.setSelection(placed, placed.back());
    return placed.back();
}

int ObjectClipboard::pasteImage(const QImage& image) {
    CardDocument& d = editor_.doc();
    if (image.isNull()) return 0;
    const int slot = d.findFreeSlot(editor_.editedSide(), &dialogs_);
    if (slot == 0) return 0;
    // Pictures have no alpha: see-through parts of the image show white, as on the card.
    QImage flat = image;
    if (image.hasAlphaChannel()) {
        flat = QImage(image.size(), QImage::Format_RGB32);
        if (!flat.isNull()) {
            flat.fill(Qt::white);
            QPainter painter(&flat);
            painter.drawImage(0, 0, image);
        }
    }
    DibImage picture = dibFromQImage(flat);
    QByteArray bytes;
    const PictureFormat* png = pictureFormatForType(DibPNG);
    if (picture.isNull() || !png || !png->write(picture, {}, bytes)) {
        dialogs_.message(QStringLiteral("Das Bild der Zwischenablage ist zu groß oder "
                                        "beschädigt und wurde nicht eingefügt."),
                         QString(), MsgIcon::Error, BtnOk);
        return 0;
    }
    // Cards name their pictures' files: the image is saved beside the card first.
    const QString folder =
        d.fileName.isEmpty() ? programFolder_ : QFileInfo(d.fileName).absolutePath();
    QString path;
    bool written = false;
    int error = 0;
    // A file that appeared since the name was chosen is never replaced: try the next name.
    for (int attempt = 0; attempt < 5 && !written; ++attempt) {
        path = freePastedName(folder);
        if (path.isEmpty()) break;
        const WriteOutcome outcome = writeNewFile(path, bytes);
        written = outcome.ok;
        error = outcome.error;
        if (!written && error != EEXIST) break;
    }
    if (!written) {
        QString text = QStringLiteral("Das eingefügte Bild konnte nicht gespeichert werden (") +
                       QDir::toNativeSeparators(path) + QStringLiteral(").");
        if (error != 0) text += QLatin1Char('\n') + fileErrorReason(error);
        dialogs_.message(text, QString(), MsgIcon::Error, BtnOk);
        return 0;
    }
    // Centred on the middle of the card's visible part; a picture too large for the half of
    // the card there is fitted into that half.
    const QPoint c = visibleCardCentre();
    CardObject o;
    if (!initNewObject(d, o, KindPicture, d.screenPixels(c.x()), d.screenPixels(c.y()),
                       editor_.creator().newTextFont(), editor_.views().ctx(), std::move(picture),
                       path)) {
        const CardGeometry card = cardGeometry(d);
        o.x = placeOnCard(c.x(), o.width, card.left, card.right);
        o.y = placeOnCard(c.y(), o.height, card.top, card.bottom);
    }
    const int placed = place(slot, std::move(o));
    emit statusMessage(QStringLiteral("Bild gespeichert als ") + QDir::toNativeSeparators(path));
    return placed;
}

int ObjectClipboard::dropPictures(const QMimeData& mime, QPoint pos) {
    // Several files dropped together are one step.
    EditHistory::Step step(editor_.history(), QStringLiteral("Bild einfügen"));
    CardDocument& d = editor_.doc();
    int made = 0;
    for (const QString& file : otherFiles(mime)) {
        DibImage picture = loadPictureFile(file);
        if (picture.isNull()) continue;  // not a picture
        const int slot = d.findFreeSlot(editor_.editedSide(), &dialogs_);
        if (slot == 0) break;
        CardObject o;
        const int offset = made * kPasteStep;
        initNewObject(d, o, KindPicture, pos.x() + offset, pos.y() + offset,
                      editor_.creator().newTextFont(), editor_.views().ctx(), std::move(picture),
                      file);
        if (place(slot, std::move(o))) ++made;
    }
    return made;
}

const QString& ObjectClipboard::ornamentMimeType() {
    static const QString type = QStringLiteral("application/x-brisella-ornament");
    return type;
}

int ObjectClipboard::insertOrnament(const QString& name, const QPoint* centre) {
    const OrnamentInfo* info = findOrnament(name);
    if (!info) return 0;
    EditHistory::Step step(editor_.history(), QStringLiteral("Schmuck einfügen"));
    CardDocument& d = editor_.doc();
    const int slot = d.findFreeSlot(editor_.editedSide(), &dialogs_);
    if (slot == 0) return 0;
    CardObject o;
    initNewObject(d, o, KindPicture, 0, 0, editor_.creator().newTextFont(), editor_.views().ctx());
    makeOrnamentObject(o, *info, kOrnamentDefaultColour);
    // The longer side 40 mm, in the card's units along each axis.
    constexpr double kLongerSideMm = 40.0;
    const CardGeometry card = cardGeometry(d);
    const double perMmX =
        d.format.cardWidth > 0 ? (card.right - card.left) / d.format.cardWidth : 0;
    const double perMmY =
        d.format.cardHeight > 0 ? (card.bottom - card.top) / d.format.cardHeight : 0;
    const QSizeF mm = info->size.scaled(QSizeF(kLongerSideMm, kLongerSideMm), Qt::KeepAspectRatio);
    o.width = std::max<int32_t>(1, clampInt32(int64_t(std::lround(mm.width() * perMmX))));
    o.height = std::max<int32_t>(1, clampInt32(int64_t(std::lround(mm.height() * perMmY))));
    const QPoint c = centre ? *centre : visibleCardCentre();
    o.x = placeOnCard(c.x(), o.width, card.left, card.right);
    o.y = placeOnCard(c.y(), o.height, card.top, card.bottom);
    return place(slot, std::move(o));
}

int ObjectClipboard::place(int slot, CardObject o) {
    if (slot < 1 || slot > kSlotCount) return 0;
    CardObject& target = *editor_.editedSlots()[slot];
    releaseDib(target.picture);
    target = std::move(o);
    settleObject(target);
    editor_.edited().select(slot);
    editor_.panel().loadSelectionControls(target);
    editor_.repaintBoth();
    return slot;
}

QPoint ObjectClipboard::visibleCardCentre() const {
    const CardDocument& d = editor_.views().doc();
    const CardGeometry card = cardGeometry(d);
    const QRect cardRect(QPoint(card.left, card.top), QPoint(card.right - 1, card.bottom - 1));
    const EditorView* v = editor_.views().view(editor_.editedSide());
    if (v) {
        const QScrollArea* box = v->scrollBox();
        const QWidget* port = box ? box->viewport() : v;
        const QRect shown(QPoint(d.fromView(v->scrollX()), d.fromView(v->scrollY())),
                          QPoint(d.fromView(v->scrollX() + port->width()) - 1,
                                 d.fromView(v->scrollY() + port->height()) - 1));
        const QRect part = shown & cardRect;
        if (!part.isEmpty()) return part.center();
    }
    return cardRect.center();
}

int32_t ObjectClipboard::placeOnCard(int32_t centre, int32_t size, int32_t lo, int32_t hi) {
    if (int64_t(hi) - lo < size) return clampInt32((int64_t(lo) + hi - size) / 2);
    return clampInt32(std::clamp<int64_t>(int64_t(centre) - size / 2, lo, int64_t(hi) - size));
}

QStringList ObjectClipboard::cardFiles(const QMimeData& mime) {
    return localFiles(mime, true);
}

QStringList ObjectClipboard::otherFiles(const QMimeData& mime) {
    return localFiles(mime, false);
}

QString ObjectClipboard::freePastedName(const QString& folder) {
    const QDir dir(folder);
    for (int n = 1; n <= 1000000; ++n) {
        QString path = dir.filePath(QStringLiteral("Eingefügt %1.png").arg(n));
        if (!QFileInfo::exists(path)) return path;
    }
    return {};
}

void ObjectClipboard::watchViews() {
    for (int side : {0, 1}) {
        if (EditorView* v = editor_.views().view(side)) {
            v->setAcceptDrops(true);
            v->installEventFilter(this);
        }
    }
}

bool ObjectClipboard::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop)
        return QObject::eventFilter(watched, event);
    auto* view = qobject_cast<EditorView*>(watched);
    auto* drop = static_cast<QDropEvent*>(event);
    const QMimeData* mime = drop->mimeData();
    // An ornament from the "Schmuck" dialog lands with its middle where it was dropped.
    if (view && mime && mime->hasFormat(ornamentMimeType())) {
        if (type == QEvent::Drop) {
            const CardDocument& d = editor_.doc();
            const QPoint at = drop->position().toPoint();
            const QPoint centre(d.fromView(at.x()), d.fromView(at.y()));
            if (view->side() == editor_.editedSide())
                insertOrnament(QString::fromUtf8(mime->data(ornamentMimeType())), &centre);
        }
        drop->acceptProposedAction();
        return true;
    }
    // Card files go on to the window, which opens them.
    if (!view || !mime || !cardFiles(*mime).isEmpty() || otherFiles(*mime).isEmpty()) {
        drop->ignore();
        return false;
    }
    if (type == QEvent::Drop) {
        if (view->side() == editor_.editedSide()) dropPictures(*mime, drop->position().toPoint());
    }
    drop->acceptProposedAction();
    return true;
}

}  // namespace bb
