// The fixed-size records of the desk store, exactly as they sit in memory and in "Media".
// Portable: no windows.h. Every field is little-endian; the static checks pin the layouts.
#pragma once
#include <cstddef>
#include <cstdint>

namespace sona {

// Item kinds stored per record. 2 is not assigned.
enum DeskItemType : uint32_t {
    kItemMovie = 0,
    kItemMusic = 1,
    kItemPicture = 3,
    kItemText = 4,
};

constexpr size_t kPathField = 260;  // MAX_PATH: 259 characters and the NUL

// Window rectangle divided by the main window's outer width (left, right) or height (top, bottom).
struct RelativeRect {
    float left, top, right, bottom;
};
static_assert(sizeof(RelativeRect) == 16, "RelativeRect layout");

// LOGFONTA as Windows lays it out (LONG is 32 bits there).
struct LogFontA {
    int32_t lfHeight, lfWidth, lfEscapement, lfOrientation, lfWeight;
    uint8_t lfItalic, lfUnderline, lfStrikeOut, lfCharSet;
    uint8_t lfOutPrecision, lfClipPrecision, lfQuality, lfPitchAndFamily;
    char lfFaceName[32];
};
static_assert(sizeof(LogFontA) == 60, "LOGFONTA layout");

struct MediaItemRecord {
    char path[kPathField];
    uint8_t reserved1[32];
    RelativeRect rect;
    uint8_t reserved2[12];
};
static_assert(sizeof(MediaItemRecord) == 320, "MediaItemRecord layout");
static_assert(offsetof(MediaItemRecord, rect) == 292, "MediaItemRecord rect");

struct PictureItemRecord {
    char path[kPathField];
    RelativeRect rect;
    uint8_t reserved[16];
};
static_assert(sizeof(PictureItemRecord) == 292, "PictureItemRecord layout");

struct TextItemRecord {
    char text[10000];
    RelativeRect rect;
    uint8_t reserved1[8];
    uint32_t textColour;
    uint32_t reservedColour;
    LogFontA font;
    uint32_t reservedWords[3];
};
static_assert(sizeof(TextItemRecord) == 10104, "TextItemRecord layout");
static_assert(offsetof(TextItemRecord, textColour) == 10024, "TextItemRecord colour");
static_assert(offsetof(TextItemRecord, font) == 10032, "TextItemRecord font");

// The in-memory form of a note, shared by the note window, the add-text dialog and the main window.
struct TextNoteRecord {
    LogFontA font;
    char text[10000];
    uint32_t textColour;
    uint32_t reservedColour;
    uint32_t reservedWords[4];
};
static_assert(sizeof(TextNoteRecord) == 10084, "TextNoteRecord layout");

constexpr size_t kMaxNoteChars = 9999;
constexpr uint32_t kNoteReservedColour = 0xC8C8C8;

// Record size for a type code, 0 for codes that carry no record.
inline size_t RecordSize(uint32_t type) {
    switch (type) {
    case kItemMovie:
    case kItemMusic: return sizeof(MediaItemRecord);
    case kItemPicture: return sizeof(PictureItemRecord);
    case kItemText: return sizeof(TextItemRecord);
    default: return 0;
    }
}

// A new note's defaults: 12 points, "Microsoft Sans Serif", black, reserved colour 0xC8C8C8.
void InitTextNoteRecord(TextNoteRecord* rec);

// The one conversion between a note and its stored record. To the record: text field (all of it,
// bytes after the end included), font, colour, the reserved colour and zero reserved words; the
// rectangle is not touched. From the record: text field (given an end if it has none), font and
// colour; the note's other fields keep their values.
void NoteToRecord(const TextNoteRecord& note, TextItemRecord* rec);
void NoteFromRecord(const TextItemRecord& rec, TextNoteRecord* note);

// Copies path and its NUL into a path field; the bytes after the NUL keep their old values.
// Refuses (false, nothing written) a path of kPathField bytes or more.
bool SetPathField(char (&field)[kPathField], const char* path, size_t length);

// A typed look at one stored record: its type code and the one record its kind has.
// Eight bytes of every record's reserved area carry the program's own per-item data: the key of
// the item's entry in the store's extension (full Unicode path or note text) and the item's
// settings. The reader and the writer of the plain format never look at reserved bytes and keep
// them as stored, so the tag moves with its record through reordering, removal, undo and paste,
// and an older program keeps it untouched. A record whose tag bytes are all zero (every record
// made before tags existed) has no extension entry and the default settings.
enum ItemLayer : uint8_t {
    kLayerNormal = 0,   // an ordinary window owned by the main window
    kLayerTop = 1,      // always on top of other programs' windows
    kLayerDesktop = 2,  // below every normal window, kept when the desktop is shown
};
constexpr uint8_t kItemClickThrough = 0x01;  // ItemTag::flags: the mouse passes through the item
constexpr uint8_t kItemTagVersion = 1;

struct ItemTag {
    uint32_t extensionKey = 0;  // 0: no extension entry
    uint8_t layer = kLayerNormal;
    uint8_t opacity = 100;      // percent of the item's own alpha, 1..100
    uint8_t flags = 0;
    uint8_t version = 0;        // kItemTagVersion once written; 0: bytes untouched (all defaults)
};
// Where the tag lives: media reserved1 (offset 260), picture reserved (276), text reserved1 (10016).
constexpr size_t kItemTagSize = 8;

class RecordView {
public:
    RecordView() = default;
    // `type` is kItemMovie or kItemMusic.
    RecordView(uint32_t type, MediaItemRecord* media) : type_(type), media_(media) {}
    explicit RecordView(PictureItemRecord* picture) : type_(kItemPicture), picture_(picture) {}
    explicit RecordView(TextItemRecord* text) : type_(kItemText), text_(text) {}

    uint32_t type() const { return type_; }
    // The record of each kind; null when the view is of another kind (or empty).
    MediaItemRecord* media() const { return media_; }
    PictureItemRecord* picture() const { return picture_; }
    TextItemRecord* text() const { return text_; }
    // The rectangle every kind keeps; null for an empty view.
    RelativeRect* rect() const;
    explicit operator bool() const { return media_ || picture_ || text_; }
    // The record's tag (defaults for an empty view or untouched bytes), and writing it back.
    ItemTag Tag() const;
    void SetTag(const ItemTag& tag) const;

private:
    uint32_t type_ = 0;
    MediaItemRecord* media_ = nullptr;
    PictureItemRecord* picture_ = nullptr;
    TextItemRecord* text_ = nullptr;
};

}  // namespace sona
