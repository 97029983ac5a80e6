#include "store/GostCipher.h"

#include "store/ByteOrder.h"

#include <cstring>

namespace sona {
namespace {

// The GOST R 34.11-94 test parameter set; box k substitutes nibble k-1 (box 1: least significant).
constexpr uint8_t kBoxes[8][16] = {
    {4, 10, 9, 2, 13, 8, 0, 14, 6, 11, 1, 12, 7, 15, 5, 3},
    {14, 11, 4, 12, 6, 13, 15, 10, 2, 3, 8, 1, 0, 7, 5, 9},
    {5, 8, 1, 13, 10, 3, 4, 2, 14, 15, 12, 7, 6, 0, 9, 11},
    {7, 13, 10, 1, 0, 8, 9, 15, 14, 4, 6, 12, 11, 2, 5, 3},
    {6, 12, 7, 1, 5, 15, 13, 8, 4, 10, 9, 14, 0, 3, 11, 2},
    {4, 11, 10, 0, 7, 2, 1, 13, 3, 6, 8, 5, 9, 12, 15, 14},
    {13, 11, 4, 1, 3, 15, 5, 9, 0, 10, 14, 7, 6, 8, 2, 12},
    {1, 15, 13, 0, 5, 7, 10, 4, 9, 2, 3, 14, 6, 11, 8, 12},
};

// Two boxes per byte lane, with the lane's shift and the rotation by 11 already applied, so the
// round function is four look-ups: rotation distributes over the exclusive-or of the lanes.
struct GostTables {
    uint32_t lane[4][256];
};

constexpr GostTables BuildTables() {
    GostTables tab{};
    for (unsigned lane = 0; lane < 4; lane++)
        for (unsigned b = 0; b < 256; b++) {
            const uint32_t v = static_cast<uint32_t>(kBoxes[2 * lane][b & 15] | kBoxes[2 * lane + 1][b >> 4] << 4)
                               << (8 * lane);
            tab.lane[lane][b] = (v << 11) | (v >> 21);
        }
    return tab;
}

alignas(64) constexpr GostTables kTables = BuildTables();

inline uint32_t F(uint32_t x) {
    return kTables.lane[0][x & 0xFF] ^ kTables.lane[1][(x >> 8) & 0xFF] ^ kTables.lane[2][(x >> 16) & 0xFF] ^
           kTables.lane[3][x >> 24];
}

#if defined(__GNUC__) || defined(__clang__)
#define GOST_PIN(v) __asm__("" : "+r"(v))
#else
#define GOST_PIN(v) ((void)0)
#endif

// One round on a single block: target ^= F(source + key). The look-ups are joined as a tree
// (the empty asm stops the compiler re-chaining them), so each round waits on two
// exclusive-ors after its loads instead of four; a lone block is one long dependent chain.
#define GOST_ROUND(target, source, key)                                                            \
    do {                                                                                           \
        const uint32_t x_ = (source) + (key);                                                      \
        uint32_t p_ = (target) ^ kTables.lane[0][x_ & 0xFF] ^ kTables.lane[1][(x_ >> 8) & 0xFF];   \
        uint32_t q_ = kTables.lane[2][(x_ >> 16) & 0xFF] ^ kTables.lane[3][x_ >> 24];              \
        GOST_PIN(p_);                                                                              \
        GOST_PIN(q_);                                                                              \
        (target) = p_ ^ q_;                                                                        \
    } while (0)

// Two rounds with the swap folded away: the halves trade roles instead of places.
#define GOST_PAIR(ka, kb) \
    do { GOST_ROUND(n2, n1, ka); GOST_ROUND(n1, n2, kb); } while (0)
#define GOST_UP(k) \
    do { GOST_PAIR(k[0], k[1]); GOST_PAIR(k[2], k[3]); GOST_PAIR(k[4], k[5]); GOST_PAIR(k[6], k[7]); } while (0)
#define GOST_DOWN(k) \
    do { GOST_PAIR(k[7], k[6]); GOST_PAIR(k[5], k[4]); GOST_PAIR(k[3], k[2]); GOST_PAIR(k[1], k[0]); } while (0)

// The decryption key order on two blocks at once (halves a1/a2 and b1/b2).
#define GOST_PAIR2(ka, kb) \
    do { a2 ^= F(a1 + (ka)); b2 ^= F(b1 + (ka)); a1 ^= F(a2 + (kb)); b1 ^= F(b2 + (kb)); } while (0)
#define GOST_UP2(k) \
    do { GOST_PAIR2(k[0], k[1]); GOST_PAIR2(k[2], k[3]); GOST_PAIR2(k[4], k[5]); GOST_PAIR2(k[6], k[7]); } while (0)
#define GOST_DOWN2(k) \
    do { GOST_PAIR2(k[7], k[6]); GOST_PAIR2(k[5], k[4]); GOST_PAIR2(k[3], k[2]); GOST_PAIR2(k[1], k[0]); } while (0)

}  // namespace

void GostDecryptBlocks(uint8_t* blocks, size_t count, const uint8_t key[32]) {
    uint32_t k[8];
    for (int i = 0; i < 8; i++) k[i] = Load32(key + 4 * i);
    for (; count >= 2; count -= 2, blocks += 16) {
        uint32_t a1 = Load32(blocks), a2 = Load32(blocks + 4), b1 = Load32(blocks + 8), b2 = Load32(blocks + 12);
        GOST_UP2(k);
        GOST_DOWN2(k);
        GOST_DOWN2(k);
        GOST_DOWN2(k);
        Store32(blocks, a2);
        Store32(blocks + 4, a1);
        Store32(blocks + 8, b2);
        Store32(blocks + 12, b1);
    }
    if (count) GostDecryptBlock(blocks, key);
}

void GostDecryptBlock(uint8_t block[8], const uint8_t key[32]) {
    uint32_t k[8];
    for (int i = 0; i < 8; i++) k[i] = Load32(key + 4 * i);
    uint32_t n1 = Load32(block), n2 = Load32(block + 4);
    GOST_UP(k);
    GOST_DOWN(k);
    GOST_DOWN(k);
    GOST_DOWN(k);
    // Without per-round swaps the halves end where the swapped form has them after an even
    // number of rounds; the cipher's closing swap-back is this crossed store.
    Store32(block, n2);
    Store32(block + 4, n1);
}

void GostEncryptBlock(uint8_t block[8], const uint8_t key[32]) {
    uint32_t k[8];
    for (int i = 0; i < 8; i++) k[i] = Load32(key + 4 * i);
    uint32_t n1 = Load32(block), n2 = Load32(block + 4);
    GOST_UP(k);
    GOST_UP(k);
    GOST_UP(k);
    GOST_DOWN(k);
    Store32(block, n2);
    Store32(block + 4, n1);
}

}  // namespace sona
