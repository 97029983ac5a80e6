// Replays fuzz inputs without libFuzzer: each argument is a file or a folder of files.
// Used by the test run so every corpus entry is checked under the sanitizers.
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

static int RunFile(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return 0;
    std::vector<uint8_t> buf;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) buf.insert(buf.end(), chunk, chunk + n);
    std::fclose(f);
    LLVMFuzzerTestOneInput(buf.data(), buf.size());
    return 1;
}

int main(int argc, char** argv) {
    int count = 0;
    for (int i = 1; i < argc; i++) {
        struct stat st;
        if (stat(argv[i], &st) != 0) continue;
        if (S_ISDIR(st.st_mode)) {
            DIR* d = opendir(argv[i]);
            while (dirent* e = d ? readdir(d) : nullptr) {
                if (e->d_name[0] == '.') continue;
                count += RunFile(std::string(argv[i]) + "/" + e->d_name);
            }
            if (d) closedir(d);
        } else {
            count += RunFile(argv[i]);
        }
    }
    std::printf("replayed %d inputs\n", count);
    return 0;
}
