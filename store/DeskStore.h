// The desk collection in memory and its file form ("Media", "Media_bak").
// File: deskCount, currentDesk, then per desk itemCount and per item a type code followed by
// the fixed-size record of that type (DeskRecords.h). Little-endian, no magic, no version.
// Portable: no windows.h.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "store/AtomicFile.h"
#include "store/DeskRecords.h"

namespace sona {

using RecordPtr = std::unique_ptr<uint8_t[]>;  // a record of RecordSize(type) bytes
using DeskRecords = std::vector<RecordPtr>;     // one desk's records, in item order
using DeskTypes = std::vector<uint32_t>;        // their DeskItemType codes, index-aligned

struct DeskCollection {
    std::vector<DeskRecords> desks;
    std::vector<DeskTypes> deskTypes;  // index-aligned with desks
    uint32_t currentDesk = 0;
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

// Parses a store image and appends its complete desks to *out; sets out->currentDesk from the
// header. True when every desk was read. A desk cut short is dropped; desks before it stay.
// Unknown type codes take only their 4 bytes. Bytes after the last desk are ignored.
// Every string field read is made to end inside its field. A path equal to a demo path of its
// type becomes dataFolder + "demo01.wmv" / "demo01.mp3" / "demo01.jpg" when that fits the field.
bool LoadDeskStoreFromBytes(const uint8_t* data, size_t size, const std::string& dataFolder,
                            DeskCollection* out);

// Reads the file at path and parses it as above. False also when the file cannot be read.
bool LoadDeskStore(const std::string& path, const std::string& dataFolder, DeskCollection* out);

// The file image of the collection. Entries whose code carries no record (or whose record is
// missing) are left out of both the item count and the items, so the result always parses back.
std::vector<uint8_t> SerializeDeskStore(const DeskCollection& collection);

// Writes the file image to a temporary file beside path and renames it over path. On failure the
// previous file at path is left as it was.
using SaveResult = FileWriteResult;
SaveResult SaveDeskStore(const std::string& path, const DeskCollection& collection);

// Brings currentDesk below the number of desks (0 when there is none). True if it changed.
bool ClampCurrentDesk(DeskCollection* collection);

// Frees every desk; currentDesk keeps its value.
void ClearAllDesks(DeskCollection* collection);

}  // namespace sona
