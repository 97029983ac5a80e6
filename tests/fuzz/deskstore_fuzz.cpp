// Desk store parser: any input must parse without faults, and what it yields must write out and
// read back to the same collection (same desks, types, record bytes and current desk).
#include "store/DeskStore.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

bool SameCollection(const sona::DeskCollection& a, const sona::DeskCollection& b) {
    if (a.currentDesk != b.currentDesk) return false;
    // Every record finds the same full text (or none) after the round trip.
    for (size_t d = 0; d < a.desks.size() && d < b.desks.size(); ++d)
        for (size_t i = 0; i < a.desks[d].size() && i < b.desks[d].size(); ++i) {
            const std::string* ta = sona::ExtensionText(a, sona::ViewRecord(a.desks[d][i].type, a.desks[d][i].get()));
            const std::string* tb = sona::ExtensionText(b, sona::ViewRecord(b.desks[d][i].type, b.desks[d][i].get()));
            if (!ta != !tb || (ta && *ta != *tb)) return false;
        }
    if (a.desks.size() != b.desks.size()) return false;
    for (size_t d = 0; d < a.desks.size(); ++d) {
        if (sona::TypesOf(a.desks[d]) != sona::TypesOf(b.desks[d])) return false;
        for (size_t i = 0; i < a.desks[d].size(); ++i) {
            size_t size = sona::RecordSize(a.desks[d][i].type);
            if (size == 0 || !a.desks[d][i] || !b.desks[d][i]) return false;
            if (std::memcmp(a.desks[d][i].get(), b.desks[d][i].get(), size) != 0) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Alternate between a short data folder and one so long that the demo replacement cannot fit.
    static const std::string kShort = "C:\\Program Files\\Sona\\Data\\";
    static const std::string kLong = std::string(252, 'L') + "\\";
    const std::string& folder = (size & 1) ? kLong : kShort;

    sona::DeskCollection first;
    bool complete = sona::LoadDeskStoreFromBytes(data, size, folder, &first);
    if (size < 8) Check(!complete && first.desks.empty());
    // Every record read carries the bytes of a known kind.
    for (const sona::DeskRecords& records : first.desks)
        for (const sona::StoredRecord& record : records) Check(record && sona::RecordSize(record.type) != 0);

    std::vector<uint8_t> image = sona::SerializeDeskStore(first);
    sona::DeskCollection second;
    Check(sona::LoadDeskStoreFromBytes(image.data(), image.size(), folder, &second));
    if (size >= 8) Check(SameCollection(first, second));
    Check(sona::SerializeDeskStore(second) == image);

    // A complete input without unknown codes, demo paths, unterminated strings or trailing bytes
    // writes out as itself; at least the desk blocks can never grow. (The extension may: a key two
    // records share is split into two entries, and a demo path under a long folder gains one.)
    if (complete) Check(image.size() - sona::SerializeExtension(second).size() <= size);

    sona::ClampCurrentDesk(&second);
    Check(second.desks.empty() ? second.currentDesk == 0 : second.currentDesk < second.desks.size());
    return 0;
}
