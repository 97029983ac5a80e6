#include "store/DeskStore.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <set>

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

bool PlainAscii(const std::string& s) {
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

// The field is already terminated, so strcmp stays inside it. A folder the field can hold as it
// is goes there (every reader then finds the file); any other is kept in the record's entry and
// the field keeps the demo path, which every reader replaces again.
void ReplaceDemoPath(DeskCollection* c, uint8_t* record, uint32_t type, const std::string& dataFolder) {
    const char* demo = DemoPathFor(type);
    if (!demo) return;
    if (std::strcmp(reinterpret_cast<const char*>(record), demo) != 0) return;
    const std::string full = dataFolder + DemoFileFor(type);
    RecordView view = ViewRecord(type, record);
    if (PlainAscii(full) && SetRecordPath(record, type, full)) {
        SetExtensionText(c, view, nullptr);
        return;
    }
    SetExtensionText(c, view, &full);
}

constexpr uint8_t kExtensionMagic[4] = {'S', 'D', 'X', 'T'};
constexpr uint32_t kExtensionVersion = 1;
constexpr size_t kMaxEntryText = 64u << 20;  // far above any path or note; a bound for bad input

uint32_t Crc32(const uint8_t* p, size_t n) {
    static uint32_t table[256];
    static bool ready = false;
    if (!ready) {
        for (uint32_t i = 0; i < 256; ++i) {
            uint32_t c = i;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            table[i] = c;
        }
        ready = true;
    }
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; ++i) crc = table[(crc ^ p[i]) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

const char* FieldOf(const RecordView& record, size_t* size) {
    if (record.text()) {
        *size = kTextField;
        return record.text()->text;
    }
    if (record.media()) {
        *size = kPathField;
        return record.media()->path;
    }
    if (record.picture()) {
        *size = kPathField;
        return record.picture()->path;
    }
    *size = 0;
    return nullptr;
}

// The entry a record names in `entries`, when it is of the record's kind and its field's.
const ExtensionEntry* EntryFor(const std::map<uint32_t, ExtensionEntry>& entries, const RecordView& record) {
    const uint32_t key = record.Tag().extensionKey;
    if (key == 0) return nullptr;
    auto it = entries.find(key);
    if (it == entries.end()) return nullptr;
    if (it->second.kind != ExtensionKindFor(record.type())) return nullptr;
    if (it->second.fieldHash != FieldHash(record)) return nullptr;
    return &it->second;
}

void SetKey(const RecordView& record, uint32_t key) {
    ItemTag tag = record.Tag();
    if (tag.extensionKey == key) return;
    tag.extensionKey = key;
    record.SetTag(tag);
}

}  // namespace

uint32_t DeskCollection::NewExtensionKey() {
    if (nextExtensionKey == 0) nextExtensionKey = 1;
    while (extension.count(nextExtensionKey)) ++nextExtensionKey;
    return nextExtensionKey++;
}

uint32_t ExtensionKindFor(uint32_t type) {
    switch (type) {
    case kItemMovie:
    case kItemMusic:
    case kItemPicture: return kExtensionPath;
    case kItemText: return kExtensionNoteText;
    default: return 0;
    }
}

uint32_t FieldHash(const RecordView& record) {
    size_t size = 0;
    const char* field = FieldOf(record, &size);
    uint32_t h = 2166136261u;
    for (size_t i = 0; field && i < size && field[i]; ++i) {
        h ^= static_cast<uint8_t>(field[i]);
        h *= 16777619u;
    }
    return h;
}

const std::string* ExtensionText(const DeskCollection& collection, const RecordView& record) {
    const ExtensionEntry* entry = EntryFor(collection.extension, record);
    return entry ? &entry->text : nullptr;
}

void SetExtensionText(DeskCollection* c, const RecordView& record, const std::string* full) {
    if (!record) return;
    // The field spells the content: whatever key the record names, the entry no longer matches
    // the field and so is not used; the record's bytes stay as they are.
    if (!full) return;
    const uint32_t kind = ExtensionKindFor(record.type());
    const uint32_t hash = FieldHash(record);
    const uint32_t key = record.Tag().extensionKey;
    auto it = key ? c->extension.find(key) : c->extension.end();
    if (it != c->extension.end() && it->second.kind == kind && it->second.text == *full) {
        // Same content; a record sharing the key spells it the same way.
        it->second.fieldHash = hash;
        return;
    }
    const uint32_t fresh = c->NewExtensionKey();
    c->extension[fresh] = ExtensionEntry{kind, hash, *full};
    SetKey(record, fresh);
}

std::vector<uint8_t> SerializeExtension(const DeskCollection& collection) {
    std::vector<uint8_t> out;
    std::set<uint32_t> written;
    uint32_t count = 0;
    std::vector<uint8_t> body;
    for (const DeskRecords& records : collection.desks) {
        for (const StoredRecord& record : records) {
            RecordView view = record.View();
            const ExtensionEntry* entry = EntryFor(collection.extension, view);
            if (!entry) continue;
            const uint32_t key = view.Tag().extensionKey;
            if (!written.insert(key).second) continue;
            AppendU32(&body, key);
            AppendU32(&body, entry->kind);
            AppendU32(&body, entry->fieldHash);
            AppendU32(&body, static_cast<uint32_t>(entry->text.size()));
            body.insert(body.end(), entry->text.begin(), entry->text.end());
            ++count;
        }
    }
    if (count == 0) return out;
    out.insert(out.end(), kExtensionMagic, kExtensionMagic + 4);
    AppendU32(&out, kExtensionVersion);
    AppendU32(&out, count);
    out.insert(out.end(), body.begin(), body.end());
    AppendU32(&out, Crc32(out.data(), out.size()));
    return out;
}

bool ParseExtension(const uint8_t* data, size_t size, std::map<uint32_t, ExtensionEntry>* out) {
    if (!data || size < 16 || std::memcmp(data, kExtensionMagic, 4) != 0) return false;
    if (ReadU32(data + 4) != kExtensionVersion) return false;
    const uint32_t count = ReadU32(data + 8);
    std::map<uint32_t, ExtensionEntry> entries;
    size_t pos = 12;
    for (uint32_t n = 0; n < count; ++n) {
        if (size - pos < 16 + 4) return false;
        const uint32_t key = ReadU32(data + pos);
        const uint32_t kind = ReadU32(data + pos + 4);
        const uint32_t hash = ReadU32(data + pos + 8);
        const uint32_t length = ReadU32(data + pos + 12);
        pos += 16;
        if (length > kMaxEntryText || size - pos < size_t(length) + 4) return false;
        if (key != 0 && (kind == kExtensionPath || kind == kExtensionNoteText))
            entries[key] = ExtensionEntry{kind, hash, std::string(reinterpret_cast<const char*>(data + pos), length)};
        pos += length;
    }
    if (size - pos < 4 || ReadU32(data + pos) != Crc32(data, pos)) return false;
    out->insert(entries.begin(), entries.end());
    return true;
}

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

RecordView StoredRecord::View() const { return ViewRecord(type, bytes.get()); }

DeskTypes TypesOf(const DeskRecords& records) {
    DeskTypes types;
    for (const StoredRecord& record : records) types.push_back(record.type);
    return types;
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
    const size_t firstNewDesk = out->desks.size();
    // Entries are given out and demo paths replaced once every desk this file delivers is in.
    auto finish = [&](bool complete) {
        std::map<uint32_t, ExtensionEntry> entries;
        if (complete) ParseExtension(data + pos, size - pos, &entries);
        std::set<uint32_t> seen;
        std::vector<RecordView> views;
        for (size_t d = firstNewDesk; d < out->desks.size(); ++d)
            for (size_t i = 0; i < out->desks[d].size(); ++i) {
                RecordView view = out->desks[d][i].View();
                const uint32_t key = view.Tag().extensionKey;
                // Keys handed out later stay clear of every key a record carries, matched or not.
                if (key >= out->nextExtensionKey) out->nextExtensionKey = key + 1;
                views.push_back(view);
            }
        for (const RecordView& view : views) {
            const uint32_t key = view.Tag().extensionKey;
            if (key == 0) continue;
            const ExtensionEntry* entry = EntryFor(entries, view);
            if (!entry) continue;
            if (seen.insert(key).second && !out->extension.count(key)) {
                out->extension[key] = *entry;
            } else {
                // A second record naming the key (or a key already in use) gets its own copy.
                const uint32_t fresh = out->NewExtensionKey();
                out->extension[fresh] = *entry;
                SetKey(view, fresh);
            }
        }
        for (const RecordView& view : views) {
            uint8_t* bytes = view.media() ? reinterpret_cast<uint8_t*>(view.media())
                             : view.picture() ? reinterpret_cast<uint8_t*>(view.picture())
                                              : nullptr;
            if (bytes) ReplaceDemoPath(out, bytes, view.type(), dataFolder);
        }
        return complete;
    };

    const uint8_t* header = take(8);
    if (!header) return false;
    const uint32_t deskCount = ReadU32(header);
    out->currentDesk = ReadU32(header + 4);

    for (uint32_t d = 0; d < deskCount; ++d) {
        const uint8_t* countBytes = take(4);
        if (!countBytes) return finish(false);
        const uint32_t itemCount = ReadU32(countBytes);

        DeskRecords records;
        for (uint32_t i = 0; i < itemCount; ++i) {
            const uint8_t* typeBytes = take(4);
            if (!typeBytes) return finish(false);  // the desk being read is dropped
            const uint32_t type = ReadU32(typeBytes);
            const size_t recordSize = RecordSize(type);
            if (recordSize == 0) continue;  // unknown code: only its 4 bytes are consumed
            const uint8_t* recordBytes = take(recordSize);
            if (!recordBytes) return finish(false);
            RecordPtr record = CopyRecord(type, recordBytes);
            TerminateStrings(record.get(), type);
            records.push_back(StoredRecord{type, std::move(record)});
        }
        out->desks.push_back(std::move(records));
    }
    return finish(true);
}

bool LoadDeskStore(const std::string& path, const std::string& dataFolder, DeskCollection* out) {
    std::vector<uint8_t> bytes;
    if (!ReadWholeFile(path, &bytes)) return false;
    return LoadDeskStoreFromBytes(bytes.data(), bytes.size(), dataFolder, out);
}

namespace {

bool Storable(const StoredRecord& record) { return record && RecordSize(record.type) != 0; }

}  // namespace

std::vector<uint8_t> SerializeDeskStore(const DeskCollection& collection) {
    const size_t deskCount = collection.desks.size();

    size_t total = 8;
    for (const DeskRecords& records : collection.desks) {
        total += 4;
        for (const StoredRecord& record : records)
            if (Storable(record)) total += 4 + RecordSize(record.type);
    }

    std::vector<uint8_t> out;
    out.reserve(total);
    AppendU32(&out, static_cast<uint32_t>(deskCount));
    AppendU32(&out, collection.currentDesk);
    for (const DeskRecords& records : collection.desks) {
        uint32_t itemCount = 0;
        for (const StoredRecord& record : records)
            if (Storable(record)) ++itemCount;
        AppendU32(&out, itemCount);
        for (const StoredRecord& record : records) {
            if (!Storable(record)) continue;
            AppendU32(&out, record.type);
            const uint8_t* rec = record.get();
            out.insert(out.end(), rec, rec + RecordSize(record.type));
        }
    }
    assert(out.size() == total);
    std::vector<uint8_t> trailer = SerializeExtension(collection);
    out.insert(out.end(), trailer.begin(), trailer.end());
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
    collection->extension.clear();
}

}  // namespace sona
