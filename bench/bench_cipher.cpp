// Speed of the pack ciphers against Crypto++ on the same 64 MiB buffer, same keys, same run.
// Each figure is the best of a few passes; the outputs are compared so a fast wrong answer
// cannot pass for a result.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "store/GostCipher.h"
#include "store/SquareCipher.h"

#ifdef HAVE_CRYPTOPP
#include <cryptopp/gost.h>
#include <cryptopp/modes.h>
#include <cryptopp/square.h>
#endif

using namespace sona;

namespace {

constexpr size_t kBufferSize = 64u << 20;
constexpr int kPasses = 7;

// Best pass in MB/s (10^6 bytes per second) of each side. The two sides alternate pass by pass
// so that load from other processes on the machine falls on both alike.
void Measure(const std::vector<uint8_t>& input, const std::function<void(uint8_t*, size_t)>& ours,
             const std::function<void(uint8_t*, size_t)>& theirs, std::vector<uint8_t>& ourOut,
             std::vector<uint8_t>& theirOut, double* ourSpeed, double* theirSpeed) {
    double bestOurs = 1e30, bestTheirs = 1e30;
    for (int pass = 0; pass < kPasses; pass++) {
        for (int side = 0; side < (theirs ? 2 : 1); side++) {
            std::vector<uint8_t>& work = side ? theirOut : ourOut;
            std::memcpy(work.data(), input.data(), input.size());
            const auto start = std::chrono::steady_clock::now();
            (side ? theirs : ours)(work.data(), work.size());
            const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            double& best = side ? bestTheirs : bestOurs;
            if (seconds < best) best = seconds;
        }
    }
    *ourSpeed = input.size() / bestOurs / 1e6;
    *theirSpeed = input.size() / bestTheirs / 1e6;
}

std::vector<std::string> gOnly;

int Report(const char* mode, const std::vector<uint8_t>& input, const std::function<void(uint8_t*, size_t)>& ours,
           const std::function<void(uint8_t*, size_t)>& theirs) {
    if (!gOnly.empty() && std::find(gOnly.begin(), gOnly.end(), mode) == gOnly.end()) return 0;
    std::vector<uint8_t> a(input.size()), b(input.size());
    double project = 0, reference = 0;
    Measure(input, ours, theirs, a, b, &project, &reference);
    if (!theirs) {
        std::printf("%s: project %.0f MB/s, crypto++ not built in\n", mode, project);
        return 0;
    }
    const bool same = a == b;
    std::printf("%s: project %.0f MB/s, crypto++ %.0f MB/s, ratio %.2f%s\n", mode, project, reference,
                project / reference, same ? "" : "  OUTPUTS DIFFER");
    std::fflush(stdout);
    return same ? 0 : 1;
}

}  // namespace

// Optional arguments: names of the modes to run (default: all).
int main(int argc, char** argv) {
    for (int i = 1; i < argc; i++) gOnly.push_back(argv[i]);
    std::vector<uint8_t> input(kBufferSize);
    std::mt19937 rng(1);
    for (auto& byte : input) byte = static_cast<uint8_t>(rng());
    uint8_t key[16], gostKey[32];
    for (auto& byte : key) byte = static_cast<uint8_t>(rng());
    for (auto& byte : gostKey) byte = static_cast<uint8_t>(rng());

    // The initial chaining value the pack uses: the encryption of the zero block.
    CbcStealContext probe;
    CbcStealInit(&probe, key);
    CbcStealSetIv(&probe, nullptr);
    uint8_t iv[16];
    std::memcpy(iv, probe.mask, 16);  // the host is little-endian
    CbcStealWipe(&probe);
    const uint8_t zero[16] = {};

    std::function<void(uint8_t*, size_t)> cbcRef, ofbRef, gostRef;
#ifdef HAVE_CRYPTOPP
    cbcRef = [&](uint8_t* p, size_t n) {
        CryptoPP::CBC_Mode<CryptoPP::Square>::Decryption d(key, 16, iv);
        d.ProcessData(p, p, n);
    };
    ofbRef = [&](uint8_t* p, size_t n) {
        CryptoPP::OFB_Mode<CryptoPP::Square>::Encryption e(key, 16, zero);
        e.ProcessData(p, p, n);
    };
    gostRef = [&](uint8_t* p, size_t n) {
        CryptoPP::ECB_Mode<CryptoPP::GOST>::Decryption d(gostKey, 32);
        d.ProcessData(p, p, n);
    };
#endif

    int failures = 0;
    failures += Report("square-cbc-cs", input,
                       [&](uint8_t* p, size_t n) {
                           CbcStealContext ctx;
                           CbcStealInit(&ctx, key);
                           CbcStealSetIv(&ctx, nullptr);
                           CbcStealDecrypt(&ctx, p, n);
                           CbcStealWipe(&ctx);
                       },
                       cbcRef);
    failures += Report("square-ofb", input,
                       [&](uint8_t* p, size_t n) {
                           OfbStreamContext ctx;
                           OfbInit(&ctx, key);
                           OfbSetIv(&ctx, nullptr);
                           OfbApply(&ctx, p, n);
                           OfbWipe(&ctx);
                       },
                       ofbRef);
    // The pack deciphers one GOST block per chunk; the many-block form is the ECB comparison.
    failures += Report("gost-ecb", input, [&](uint8_t* p, size_t n) { GostDecryptBlocks(p, n / 8, gostKey); },
                       gostRef);
    failures += Report("gost-block", input,
                       [&](uint8_t* p, size_t n) {
                           for (size_t at = 0; at + 8 <= n; at += 8) GostDecryptBlock(p + at, gostKey);
                       },
                       gostRef);
    return failures ? 1 : 0;
}
