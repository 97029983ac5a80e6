// The desk collection in memory and its file form ("Media", "Media_bak").
// File: deskCount, currentDesk, then per desk itemCount and per item a type code followed by
// the fixed-size record of that type (DeskRecords.h). Little-endian, no magic, no version.
// Portable: no windows.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "store/AtomicFile.h"
#include "store/DeskRecords.h"

namespace sona {

using RecordPtr = std::unique_ptr<uint8_t[]>;  // a record of RecordSize(type) bytes

struct RecordView;

// One stored record: its DeskItemType code and its RecordSize(type) bytes, exactly as stored, kept
// together so that no list of codes has to stay in step with a list of bytes.
struct StoredRecord {
    uint32_t type = 0;
    RecordPtr bytes;
    uint8_t* get() const { return bytes.get(); }
    explicit operator bool() const { return bytes != nullptr; }
    // The typed view of its bytes (empty for a code that carries no record).
    RecordView View() const;
};

using DeskRecords = std::vector<StoredRecord>;  // one desk's records, in item order
using DeskTypes = std::vector<uint32_t>;        // a desk's codes in item order (TypesOf)

// The codes of a desk's records, in item order.
DeskTypes TypesOf(const DeskRecords& records);

// What the fixed ANSI fields cannot hold: the full UTF-8 path of a picture, music or movie item,
// or a note's full text. An entry belongs to the record whose tag (ItemTag::extensionKey) names
// its key, and only while that record's ANSI field is the one it was written with (fieldHash), so
// a record changed by a program that knows nothing of entries falls back to its field.
enum ExtensionKind : uint32_t {
    kExtensionPath = 1,      // movie, music, picture
    kExtensionNoteText = 2,  // text note
};

struct ExtensionEntry {
    uint32_t kind = 0;
    uint32_t fieldHash = 0;  // FieldHash of the record's ANSI field when the entry was written
    std::string text;        // UTF-8
};

struct DeskCollection {
    std::vector<DeskRecords> desks;
    uint32_t currentDesk = 0;

    // Entries by key. Never pruned while the program runs: records of removed items that an
    // undo may bring back still find theirs. A save writes only the entries records name.
    std::map<uint32_t, ExtensionEntry> extension;
    // The next key to hand out: above every key any record or entry has used.
    uint32_t nextExtensionKey = 1;
    uint32_t NewExtensionKey();
};

// The three stored paths that stand for the demo media, replaced by files of the data folder on load.
extern const char kDemoMoviePath[];    // "E:\\979474B8-F3BC-4d0f-B3C5-066ADA9440B1\\demo01.wmv"
extern const char kDemoMusicPath[];    // "...\\demo01.mp3"
extern const char kDemoPicturePath[];  // "...\\demo01.jpg"

// A zero-filled record for a type; nullptr for codes that carry no record.
RecordPtr NewRecord(uint32_t type);
// A copy of RecordSize(type) bytes; nullptr for codes that carry no record.
RecordPtr CopyRecord(uint32_t type, const uint8_t* record);

// The typed view of a record of `type` held in `record`; empty for codes that carry no record.
RecordView ViewRecord(uint32_t type, uint8_t* record);

// The path field (260 bytes at offset 0) of a movie, music or picture record; nullptr otherwise.
char* RecordPathField(uint8_t* record, uint32_t type);
const char* RecordPathField(const uint8_t* record, uint32_t type);

// Copies path and its NUL into the path field of a movie, music or picture record. The bytes after
// the NUL keep their old values. Refuses (false, nothing written) a path of kPathField bytes or more
// and records of other types.
bool SetRecordPath(uint8_t* record, uint32_t type, const std::string& path);

// The entry kind a record of `type` takes; 0 for codes that carry no record.
uint32_t ExtensionKindFor(uint32_t type);

// FNV-1a (32 bits) of a record's ANSI field up to its NUL: the path field, or the note's text.
uint32_t FieldHash(const RecordView& record);

// The full text of the record's entry, or null when it has none (no key, no entry, an entry of
// the wrong kind, or an entry written for another content of the field).
const std::string* ExtensionText(const DeskCollection& collection, const RecordView& record);

// Keeps the record's entry in step with its field, which the caller has just written. `full` null:
// the field spells the content exactly; the record's bytes stay as they are (an entry it may
// still name was written for another field, so it is not used). Otherwise the record gets an
// entry holding `full`; an entry shared with another record (a copy) is never changed in place:
// a different text takes a fresh key.
void SetExtensionText(DeskCollection* collection, const RecordView& record, const std::string* full);

// The store extension written after the last desk block: magic "SDXT", version, entry count,
// entries {key, kind, fieldHash, length, UTF-8 bytes}, CRC-32 of everything before it. Only the
// entries that records of the collection name and that still match their fields; empty (no
// trailer at all) when there are none.
std::vector<uint8_t> SerializeExtension(const DeskCollection& collection);

// Parses a trailer. False (nothing added to *out) when it is missing, damaged, cut short or of
// an unknown version. Entries with key 0 or an unknown kind are skipped.
bool ParseExtension(const uint8_t* data, size_t size, std::map<uint32_t, ExtensionEntry>* out);

// Parses a store image and appends its complete desks to *out; sets out->currentDesk from the
// header. True when every desk was read. A desk cut short is dropped; desks before it stay.
// Unknown type codes take only their 4 bytes. Bytes after the last desk are ignored.
// Every string field read is made to end inside its field. A path equal to a demo path of its
// type becomes dataFolder + "demo01.wmv" / "demo01.mp3" / "demo01.jpg": in the field when that is
// plain ASCII and fits, otherwise (a folder the code page may not spell, or too long) in the
// record's extension entry, the field keeping the demo path. The extension trailer after the last
// desk is read when every desk was: each record that names a valid entry gets it; a key named by
// two records is split (the second gets a fresh key and a copy). A damaged trailer is ignored.
bool LoadDeskStoreFromBytes(const uint8_t* data, size_t size, const std::string& dataFolder,
                            DeskCollection* out);

// Reads the file at path and parses it as above. False also when the file cannot be read.
bool LoadDeskStore(const std::string& path, const std::string& dataFolder, DeskCollection* out);

// The file image of the collection. Entries whose code carries no record (or whose record is
// missing) are left out of both the item count and the items, so the result always parses back.
// The extension trailer follows the last desk when any record names an entry.
std::vector<uint8_t> SerializeDeskStore(const DeskCollection& collection);

// Writes the file image to a temporary file beside path and renames it over path. On failure the
// previous file at path is left as it was.
using SaveResult = FileWriteResult;
SaveResult SaveDeskStore(const std::string& path, const DeskCollection& collection);

// Brings currentDesk below the number of desks (0 when there is none). True if it changed.
bool ClampCurrentDesk(DeskCollection* collection);

// Frees every desk and forgets the extension's entries; currentDesk keeps its value.
void ClearAllDesks(DeskCollection* collection);

}  // namespace sona
