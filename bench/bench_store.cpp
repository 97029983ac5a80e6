// Save and load of a large desk store against writing and reading the same number of bytes with the
// same file calls (temporary file, flush, rename; whole-file read). Goal: ratio at most 3.
#include "store/DeskStore.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>
#include <vector>

using namespace sona;

namespace {

DeskCollection MakeStore(int desks, int itemsPerDesk) {
    static const uint32_t kTypes[] = {kItemMovie, kItemMusic, kItemPicture, kItemText};
    DeskCollection c;
    for (int d = 0; d < desks; ++d) {
        c.desks.emplace_back();
        for (int i = 0; i < itemsPerDesk; ++i) {
            uint32_t type = kTypes[(d + i) % 4];
            RecordPtr rec = NewRecord(type);
            std::string text = "C:\\Users\\someone\\Media\\item" + std::to_string(d * 100 + i) + ".dat";
            if (type == kItemText)
                std::snprintf(reinterpret_cast<char*>(rec.get()), 10000, "note %d on desk %d", i, d);
            else
                SetRecordPath(rec.get(), type, text);
            c.desks.back().push_back(StoredRecord{type, std::move(rec)});
        }
    }
    return c;
}

double Ms(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    char tmpl[] = "/tmp/bench_store_XXXXXX";
    if (!mkdtemp(tmpl)) {
        std::perror("mkdtemp");
        return 1;
    }
    const std::string dir = tmpl;
    const std::string media = dir + "/Media";
    const std::string raw = dir + "/Raw";

    const DeskCollection store = MakeStore(50, 40);
    const size_t bytes = SerializeDeskStore(store).size();
    const std::vector<uint8_t> filler(bytes, 0x5A);

    const int kRounds = 7;
    std::vector<double> storeMs, rawMs;
    for (int round = 0; round < kRounds; ++round) {
        auto t0 = std::chrono::steady_clock::now();
        if (SaveDeskStore(media, store) != FileWriteResult::kOk) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        DeskCollection back;
        if (!LoadDeskStore(media, dir + "/", &back) || back.desks.size() != 50) {
            std::fprintf(stderr, "load failed\n");
            return 1;
        }
        auto t1 = std::chrono::steady_clock::now();

        if (WriteFileAtomically(raw, filler.data(), filler.size()) != FileWriteResult::kOk) {
            std::fprintf(stderr, "raw write failed\n");
            return 1;
        }
        std::vector<uint8_t> readBack;
        if (!ReadWholeFile(raw, &readBack) || readBack.size() != bytes) {
            std::fprintf(stderr, "raw read failed\n");
            return 1;
        }
        auto t2 = std::chrono::steady_clock::now();
        storeMs.push_back(Ms(t1 - t0));
        rawMs.push_back(Ms(t2 - t1));
    }

    const double s = Median(storeMs), r = Median(rawMs);
    std::printf("store of 50 desks x 40 records, %zu bytes, median of %d rounds\n", bytes, kRounds);
    std::printf("store save+load: %.1f ms, raw copy: %.1f ms, ratio %.2f\n", s, r, r > 0 ? s / r : 0.0);

    unlink(media.c_str());
    unlink(raw.c_str());
    rmdir(dir.c_str());
    return 0;
}
