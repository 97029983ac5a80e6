#include "store/DeskStore.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace sona {

const char kDemoMoviePath[] = "E:\\979474B8-F3BC-4d0f-B3C5-066ADA9440B1\\demo01.wmv";
const char kDemoMusicPath[] = "E:\\979474B8-F3BC-4d0f-B3C5-066ADA9440B1\\demo01.mp3";
const char kDemoPicturePath[] = "E:\\979474B8-F3BC-4d0f-B3C5-066ADA9440B1\\demo01.jpg";

namespace {

constexpr size_t kFaceOffset = offsetof(TextItemRecord, font) + offsetof(LogFontA, lfFaceName);
constexpr size_t kFaceField = sizeof(LogFontA::lfFaceName);
constexpr size_t kTextField = sizeof(TextItemRecord::text);

uint32_t ReadU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

void AppendU32(std::vector<uint8_t>* out, uint32_t v) {
    uint8_t b[4] = {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)};
    out->insert(out->end(), b, b + 4);
}

// A field without a NUL gets one in its last byte; bytes after an existing NUL stay as they are.
void TerminateField(uint8_t* field, size_t size) {
    if (!std::memchr(field, 0, size)) field[size - 1] = 0;
}

void TerminateStrings(uint8_t* record, uint32_t type) {
    if (type == kItemText) {
        TerminateField(record, kTextField);
        TerminateField(record + kFaceOffset, kFaceField);
    } else {
        TerminateField(record, kPathField);
    }
}

const char* DemoPathFor(uint32_t type) {
    switch (type) {
    case kItemMovie: return kDemoMoviePath;
    case kItemMusic: return kDemoMusicPath;
    case kItemPicture: return kDemoPicturePath;
    default: return nullptr;
    }
}

const char* DemoFileFor(uint32_t type) {
    switch (type) {
    case kItemMovie: return "demo01.wmv";
    case kItemMusic: return "demo01.mp3";
    case kItemPicture: return "demo01.jpg";
    default: return nullptr;
    }
}

// The field is already terminated, so strcmp stays inside it.
void ReplaceDemoPath(uint8_t* record, uint32_t type, const std::string& dataFolder) {
    const char* demo = DemoPathFor(type);
    if (!demo) return;
    if (std::strcmp(reinterpret_cast<const char*>(record), demo) != 0) return;
    SetRecordPath(record, type, dataFolder + DemoFileFor(type));  // too long: kept as it is
}

}  // namespace

RecordPtr NewRecord(uint32_t type) {
    size_t size = RecordSize(type);
    if (size == 0) return nullptr;
    return RecordPtr(new uint8_t[size]());
}

RecordPtr CopyRecord(uint32_t type, const uint8_t* record) {
    size_t size = RecordSize(type);
    if (size == 0 || !record) return nullptr;
    RecordPtr copy(new uint8_t[size]);
    std::memcpy(copy.get(), record, size);
    return copy;
}

RecordView ViewRecord(uint32_t type, uint8_t* record) {
    if (!record) return RecordView();
    switch (type) {
    case kItemMovie:
    case kItemMusic: return RecordView(type, reinterpret_cast<MediaItemRecord*>(record));
    case kItemPicture: return RecordView(reinterpret_cast<PictureItemRecord*>(record));
    case kItemText: return RecordView(reinterpret_cast<TextItemRecord*>(record));
    default: return RecordView();
    }
}

char* RecordPathField(uint8_t* record, uint32_t type) {
    if (!record || !DemoPathFor(type)) return nullptr;
    return reinterpret_cast<char*>(record);
}

const char* RecordPathField(const uint8_t* record, uint32_t type) {
    return RecordPathField(const_cast<uint8_t*>(record), type);
}

bool SetRecordPath(uint8_t* record, uint32_t type, const std::string& path) {
    char* field = RecordPathField(record, type);
    if (!field || path.size() >= kPathField) return false;
    std::memcpy(field, path.c_str(), path.size() + 1);
    return true;
}

bool LoadDeskStoreFromBytes(const uint8_t* data, size_t size, const std::string& dataFolder,
                            DeskCollection* out) {
    size_t pos = 0;
    auto take = [&](size_t n) -> const uint8_t* {
        if (size - pos < n) return nullptr;
        const uint8_t* p = data + pos;
        pos += n;
        return p;
    };

    const uint8_t* header = take(8);
    if (!header) return false;
    const uint32_t deskCount = ReadU32(header);
    out->currentDesk = ReadU32(header + 4);

    for (uint32_t d = 0; d < deskCount; ++d) {
        const uint8_t* countBytes = take(4);
        if (!countBytes) return false;
        const uint32_t itemCount = ReadU32(countBytes);

        DeskRecords records;
        DeskTypes types;
        for (uint32_t i = 0; i < itemCount; ++i) {
            const uint8_t* typeBytes = take(4);
            if (!typeBytes) return false;  // the desk being read is dropped
            const uint32_t type = ReadU32(typeBytes);
            const size_t recordSize = RecordSize(type);
            if (recordSize == 0) continue;  // unknown code: only its 4 bytes are consumed
            const uint8_t* recordBytes = take(recordSize);
            if (!recordBytes) return false;
            RecordPtr record = CopyRecord(type, recordBytes);
            TerminateStrings(record.get(), type);
            ReplaceDemoPath(record.get(), type, dataFolder);
            records.push_back(std::move(record));
            types.push_back(type);
        }
        out->desks.push_back(std::move(records));
        out->deskTypes.push_back(std::move(types));
    }
    return true;
}

bool LoadDeskStore(const std::string& path, const std::string& dataFolder, DeskCollection* out) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes)) return false;
    return LoadDeskStoreFromBytes(bytes.data(), bytes.size(), dataFolder, out);
}

namespace {

bool Storable(const DeskRecords& records, const DeskTypes& types, size_t i) {
    return i < records.size() && i < types.size() && records[i] && RecordSize(types[i]) != 0;
}

}  // namespace

std::vector<uint8_t> SerializeDeskStore(const DeskCollection& collection) {
    assert(collection.desks.size() == collection.deskTypes.size());
    const size_t deskCount = std::min(collection.desks.size(), collection.deskTypes.size());

    size_t total = 8;
    for (size_t d = 0; d < deskCount; ++d) {
        const DeskRecords& records = collection.desks[d];
        const DeskTypes& types = collection.deskTypes[d];
        assert(records.size() == types.size());
        total += 4;
        for (size_t i = 0; i < types.size(); ++i)
            if (Storable(records, types, i)) total += 4 + RecordSize(types[i]);
    }

    std::vector<uint8_t> out;
    out.reserve(total);
    AppendU32(&out, static_cast<uint32_t>(deskCount));
    AppendU32(&out, collection.currentDesk);
    for (size_t d = 0; d < deskCount; ++d) {
        const DeskRecords& records = collection.desks[d];
        const DeskTypes& types = collection.deskTypes[d];
        uint32_t itemCount = 0;
        for (size_t i = 0; i < types.size(); ++i)
            if (Storable(records, types, i)) ++itemCount;
        AppendU32(&out, itemCount);
        for (size_t i = 0; i < types.size(); ++i) {
            if (!Storable(records, types, i)) continue;
            AppendU32(&out, types[i]);
            const uint8_t* rec = records[i].get();
            out.insert(out.end(), rec, rec + RecordSize(types[i]));
        }
    }
    assert(out.size() == total);
    return out;
}

SaveResult SaveDeskStore(const std::string& path, const DeskCollection& collection) {
    std::vector<uint8_t> bytes = SerializeDeskStore(collection);
    return WriteFileAtomically(path, bytes.data(), bytes.size());
}

bool ClampCurrentDesk(DeskCollection* collection) {
    const size_t count = collection->desks.size();
    uint32_t wanted = count == 0 ? 0 : collection->currentDesk;
    if (count != 0 && collection->currentDesk >= count) wanted = static_cast<uint32_t>(count - 1);
    if (wanted == collection->currentDesk) return false;
    collection->currentDesk = wanted;
    return true;
}

void ClearAllDesks(DeskCollection* collection) {
    collection->desks.clear();
    collection->deskTypes.clear();
}

}  // namespace sona
