#include "store/SquareCipher.h"

#include "store/ByteOrder.h"

#include <cstring>

namespace sona {
namespace {

// ---- Tables, computed by the compiler from the cipher's definition -------------------------

// GF(2^8) with the Square reduction polynomial x^8+x^7+x^6+x^5+x^4+x^2+1.
constexpr uint8_t GfMul(uint8_t a, uint8_t b) {
    unsigned r = 0, x = a;
    for (; b; b >>= 1) {
        if (b & 1) r ^= x;
        x <<= 1;
        if (x & 0x100) x ^= 0x1F5;
    }
    return static_cast<uint8_t>(r);
}

// x^254 is the multiplicative inverse, and maps 0 to 0 as the S box wants.
constexpr uint8_t GfInverse(uint8_t x) {
    uint8_t result = 1, base = x;
    for (unsigned e = 254; e; e >>= 1) {
        if (e & 1) result = GfMul(result, base);
        base = GfMul(base, base);
    }
    return result;
}

// Rows of Square's affine matrix: output bit i is the parity of (row i AND input).
constexpr uint8_t kAffineRows[8] = {0x01, 0x03, 0x05, 0x0F, 0x1F, 0x3D, 0x7B, 0xD6};

constexpr uint8_t SquareSbox(uint8_t x) {
    const uint8_t v = GfInverse(x);
    unsigned out = 0;
    for (int i = 0; i < 8; i++) {
        unsigned bits = kAffineRows[i] & v, parity = 0;
        for (; bits; bits >>= 1) parity ^= bits & 1;
        out |= parity << i;
    }
    return static_cast<uint8_t>(out ^ 0xB1);
}

constexpr uint32_t Rotl(uint32_t v, unsigned n) { return n ? (v << n) | (v >> (32 - n)) : v; }
constexpr uint32_t Rotr(uint32_t v, unsigned n) { return n ? (v >> n) | (v << (32 - n)) : v; }

constexpr uint32_t PackBytes(unsigned b0, unsigned b1, unsigned b2, unsigned b3) {
    return b0 | (b1 << 8) | (b2 << 16) | (static_cast<uint32_t>(b3) << 24);
}

struct SquareTables {
    uint32_t t[4][256];  // substitution, transposition and theta of one input row
    uint32_t u[4][256];  // the same for the inverse
    uint8_t s[256];
    uint8_t sInverse[256];
};

constexpr SquareTables BuildTables() {
    SquareTables tab{};
    for (unsigned a = 0; a < 256; a++) tab.s[a] = SquareSbox(static_cast<uint8_t>(a));
    for (unsigned a = 0; a < 256; a++) tab.sInverse[tab.s[a]] = static_cast<uint8_t>(a);
    for (unsigned a = 0; a < 256; a++) {
        const uint8_t s = tab.s[a], si = tab.sInverse[a];
        const uint32_t t0 = PackBytes(GfMul(s, 2), s, s, GfMul(s, 3));
        const uint32_t u0 = PackBytes(GfMul(si, 0x0E), GfMul(si, 0x09), GfMul(si, 0x0D), GfMul(si, 0x0B));
        for (unsigned i = 0; i < 4; i++) {
            tab.t[i][a] = Rotl(t0, 8 * i);
            tab.u[i][a] = Rotl(u0, 8 * i);
        }
    }
    return tab;
}

alignas(64) constexpr SquareTables kTables = BuildTables();
static_assert(kTables.s[0] == 0xB1 && kTables.s[1] == 0xCE && kTables.s[7] == 0x02 && kTables.s[15] == 0x50,
              "Square S box does not match its published first row");
static_assert(kTables.sInverse[0] == 0x35 && kTables.sInverse[3] == 0x2E, "Square inverse S box");

// ---- Word access -----------------------------------------------------------------------------

inline void LoadBlock(const uint8_t* p, uint32_t w[4]) {
    for (int i = 0; i < 4; i++) w[i] = Load32(p + 4 * i);
}
inline void StoreBlock(uint8_t* p, const uint32_t w[4]) {
    for (int i = 0; i < 4; i++) Store32(p + 4 * i, w[i]);
}

// ---- Rounds ------------------------------------------------------------------------------------
// The state lives in four locals named <prefix>0..<prefix>3 so that two independent blocks can be
// run side by side: CBC decryption has no chain between blocks and the CPU overlaps the look-ups.

#define SQ_BYTE(v, j) (((v) >> (8 * (j))) & 0xFF)
// Each column is two pairs of look-ups joined at the end, so its result waits on two dependent
// exclusive-ors after the loads rather than a chain of four. Compilers like to re-chain them,
// which costs about 7% where one block feeds the next (OFB, CBC encryption); the empty asm pins
// each pair in a register of its own. Where two blocks run side by side the latency is hidden
// anyway and the pinning only adds register moves, so that path leaves the compiler free.
#if defined(__GNUC__) || defined(__clang__)
#define SQ_PIN(v) __asm__("" : "+r"(v))
#else
#define SQ_PIN(v) ((void)0)
#endif
#define SQ_FREE(v) ((void)0)
#define SQ_COLUMN(T, k, x, j, out, PIN)                                              \
    do {                                                                             \
        uint32_t p_ = (k)[j] ^ T[0][SQ_BYTE(x##0, j)] ^ T[1][SQ_BYTE(x##1, j)];      \
        uint32_t q_ = T[2][SQ_BYTE(x##2, j)] ^ T[3][SQ_BYTE(x##3, j)];               \
        PIN(p_);                                                                     \
        PIN(q_);                                                                     \
        out = p_ ^ q_;                                                               \
    } while (0)
#define SQ_ROUND_WITH(T, k, x, PIN)                              \
    do {                                                         \
        uint32_t n0, n1, n2, n3;                                 \
        SQ_COLUMN(T, k, x, 0, n0, PIN);                          \
        SQ_COLUMN(T, k, x, 1, n1, PIN);                          \
        SQ_COLUMN(T, k, x, 2, n2, PIN);                          \
        SQ_COLUMN(T, k, x, 3, n3, PIN);                          \
        x##0 = n0; x##1 = n1; x##2 = n2; x##3 = n3;              \
    } while (0)
#define SQ_ROUND(T, k, x) SQ_ROUND_WITH(T, k, x, SQ_PIN)
#define SQ_LAST_COLUMN(S, k, x, j, out, PIN)                                                    \
    do {                                                                                        \
        uint32_t p_ = (k)[j] ^ S[SQ_BYTE(x##0, j)] ^ static_cast<uint32_t>(S[SQ_BYTE(x##1, j)]) << 8; \
        uint32_t q_ = static_cast<uint32_t>(S[SQ_BYTE(x##2, j)]) << 16 ^                        \
                      static_cast<uint32_t>(S[SQ_BYTE(x##3, j)]) << 24;                         \
        PIN(p_);                                                                                \
        PIN(q_);                                                                                \
        out = p_ ^ q_;                                                                          \
    } while (0)
#define SQ_LAST_WITH(S, k, x, PIN)                                \
    do {                                                         \
        uint32_t n0, n1, n2, n3;                                 \
        SQ_LAST_COLUMN(S, k, x, 0, n0, PIN);                     \
        SQ_LAST_COLUMN(S, k, x, 1, n1, PIN);                     \
        SQ_LAST_COLUMN(S, k, x, 2, n2, PIN);                     \
        SQ_LAST_COLUMN(S, k, x, 3, n3, PIN);                     \
        x##0 = n0; x##1 = n1; x##2 = n2; x##3 = n3;              \
    } while (0)
#define SQ_LAST(S, k, x) SQ_LAST_WITH(S, k, x, SQ_PIN)
#define SQ_ADD_KEY(k, x) \
    do { x##0 ^= (k)[0]; x##1 ^= (k)[1]; x##2 ^= (k)[2]; x##3 ^= (k)[3]; } while (0)

// All eight rounds of one direction, unrolled, on one block.
#define SQ_CIPHER(T, S, rk, x)                                                         \
    do {                                                                               \
        SQ_ADD_KEY(rk, x);                                                             \
        SQ_ROUND(T, rk + 4, x); SQ_ROUND(T, rk + 8, x); SQ_ROUND(T, rk + 12, x);       \
        SQ_ROUND(T, rk + 16, x); SQ_ROUND(T, rk + 20, x); SQ_ROUND(T, rk + 24, x);     \
        SQ_ROUND(T, rk + 28, x);                                                       \
        SQ_LAST(S, rk + 32, x);                                                        \
    } while (0)

// Two blocks interleaved round by round.
#define SQ_ROUND2(T, k, x, y) \
    do { SQ_ROUND_WITH(T, k, x, SQ_FREE); SQ_ROUND_WITH(T, k, y, SQ_FREE); } while (0)
#define SQ_CIPHER2(T, S, rk, x, y)                                                     \
    do {                                                                               \
        SQ_ADD_KEY(rk, x); SQ_ADD_KEY(rk, y);                                          \
        SQ_ROUND2(T, rk + 4, x, y); SQ_ROUND2(T, rk + 8, x, y);                        \
        SQ_ROUND2(T, rk + 12, x, y); SQ_ROUND2(T, rk + 16, x, y);                      \
        SQ_ROUND2(T, rk + 20, x, y); SQ_ROUND2(T, rk + 24, x, y);                      \
        SQ_ROUND2(T, rk + 28, x, y);                                                   \
        SQ_LAST(S, rk + 32, x); SQ_LAST(S, rk + 32, y);                                \
    } while (0)

inline void EncryptWords(uint32_t w[4], const uint32_t* rk) {
    uint32_t a0 = w[0], a1 = w[1], a2 = w[2], a3 = w[3];
    SQ_CIPHER(kTables.t, kTables.s, rk, a);
    w[0] = a0; w[1] = a1; w[2] = a2; w[3] = a3;
}

inline void DecryptWords(uint32_t w[4], const uint32_t* rk) {
    uint32_t a0 = w[0], a1 = w[1], a2 = w[2], a3 = w[3];
    SQ_CIPHER(kTables.u, kTables.sInverse, rk, a);
    w[0] = a0; w[1] = a1; w[2] = a2; w[3] = a3;
}

// theta on one row: byte m of the result is the sum over j of c[(m - j) mod 4] * byte j.
uint32_t Theta(uint32_t w) {
    static constexpr uint8_t c[4] = {2, 1, 1, 3};
    uint8_t out[4] = {};
    for (unsigned m = 0; m < 4; m++)
        for (unsigned j = 0; j < 4; j++) out[m] ^= GfMul(c[(m - j) & 3], static_cast<uint8_t>(w >> (8 * j)));
    return PackBytes(out[0], out[1], out[2], out[3]);
}

}  // namespace

void SecureWipe(void* memory, size_t length) {
#if defined(__GNUC__) || defined(__clang__)
    std::memset(memory, 0, length);
    // The empty asm claims to read the memory, so the stores above cannot be dropped as dead.
    __asm__ __volatile__("" : : "r"(memory) : "memory");
#else
    volatile uint8_t* p = static_cast<volatile uint8_t*>(memory);
    while (length--) *p++ = 0;
#endif
}

void BuildSquareSchedules(const uint8_t key[16], SquareKeySchedule* encryption,
                          SquareKeySchedule* decryption) {
    uint32_t raw[9][4];
    LoadBlock(key, raw[0]);
    for (unsigned t = 1; t <= 8; t++) {
        // The row rotation moves byte j+1 to byte j, i.e. a right rotation of the word.
        raw[t][0] = raw[t - 1][0] ^ Rotr(raw[t - 1][3], 8) ^ (1u << (t - 1));
        raw[t][1] = raw[t - 1][1] ^ raw[t][0];
        raw[t][2] = raw[t - 1][2] ^ raw[t][1];
        raw[t][3] = raw[t - 1][3] ^ raw[t][2];
    }
    // theta is folded into the round keys so each round is look-ups and exclusive-ors only.
    if (encryption) {
        for (unsigned t = 0; t < 8; t++)
            for (unsigned i = 0; i < 4; i++) encryption->words[4 * t + i] = Theta(raw[t][i]);
        for (unsigned i = 0; i < 4; i++) encryption->words[32 + i] = raw[8][i];
    }
    if (decryption) {
        for (unsigned t = 0; t < 8; t++)
            for (unsigned i = 0; i < 4; i++) decryption->words[4 * t + i] = raw[8 - t][i];
        for (unsigned i = 0; i < 4; i++) decryption->words[32 + i] = Theta(raw[0][i]);
    }
    SecureWipe(raw, sizeof raw);
}

void SquareEncryptBlock(uint8_t block[16], const SquareKeySchedule& encryption) {
    uint32_t w[4];
    LoadBlock(block, w);
    EncryptWords(w, encryption.words);
    StoreBlock(block, w);
}

void SquareDecryptBlock(uint8_t block[16], const SquareKeySchedule& decryption) {
    uint32_t w[4];
    LoadBlock(block, w);
    DecryptWords(w, decryption.words);
    StoreBlock(block, w);
}

// ---- CBC with ciphertext stealing ------------------------------------------------------------

void CbcStealInit(CbcStealContext* ctx, const uint8_t key[16]) {
    SecureWipe(ctx, sizeof *ctx);
    BuildSquareSchedules(key, &ctx->encryption, &ctx->decryption);
}

void CbcStealSetIv(CbcStealContext* ctx, const uint8_t* iv) {
    if (iv) LoadBlock(iv, ctx->mask);
    EncryptWords(ctx->mask, ctx->encryption.words);
}

void CbcStealDecrypt(CbcStealContext* ctx, uint8_t* buffer, size_t length) {
    // Fewer than 16 bytes cannot be deciphered; touching them would read past the caller's data.
    if (length < 16) return;
    const uint32_t* rk = ctx->decryption.words;
    uint32_t m0 = ctx->mask[0], m1 = ctx->mask[1], m2 = ctx->mask[2], m3 = ctx->mask[3];
    // Every block but the last whole one (and the partial one behind it, if any) is plain CBC.
    size_t plain = length >= 32 ? (length - 16) / 16 : 0;
    uint8_t* p = buffer;
    for (; plain >= 2; plain -= 2, p += 32) {
        uint32_t a0 = Load32(p), a1 = Load32(p + 4), a2 = Load32(p + 8), a3 = Load32(p + 12);
        uint32_t b0 = Load32(p + 16), b1 = Load32(p + 20), b2 = Load32(p + 24), b3 = Load32(p + 28);
        const uint32_t c0 = a0, c1 = a1, c2 = a2, c3 = a3;
        const uint32_t d0 = b0, d1 = b1, d2 = b2, d3 = b3;
        SQ_CIPHER2(kTables.u, kTables.sInverse, rk, a, b);
        Store32(p, a0 ^ m0); Store32(p + 4, a1 ^ m1); Store32(p + 8, a2 ^ m2); Store32(p + 12, a3 ^ m3);
        Store32(p + 16, b0 ^ c0); Store32(p + 20, b1 ^ c1); Store32(p + 24, b2 ^ c2); Store32(p + 28, b3 ^ c3);
        m0 = d0; m1 = d1; m2 = d2; m3 = d3;
    }
    if (plain) {
        uint32_t a0 = Load32(p), a1 = Load32(p + 4), a2 = Load32(p + 8), a3 = Load32(p + 12);
        const uint32_t c0 = a0, c1 = a1, c2 = a2, c3 = a3;
        SQ_CIPHER(kTables.u, kTables.sInverse, rk, a);
        Store32(p, a0 ^ m0); Store32(p + 4, a1 ^ m1); Store32(p + 8, a2 ^ m2); Store32(p + 12, a3 ^ m3);
        m0 = c0; m1 = c1; m2 = c2; m3 = c3;
        p += 16;
    }
    const size_t rest = length - static_cast<size_t>(p - buffer);  // 16..31
    uint32_t last[4];
    LoadBlock(p, last);
    if (rest > 16) {
        // The whole block at p was enciphered over the previous (truncated) ciphertext block;
        // deciphering it yields the final plaintext bytes and the stolen tail of that block.
        const size_t stolen = rest - 16;
        uint32_t z[4] = {last[0], last[1], last[2], last[3]};
        DecryptWords(z, rk);
        uint8_t zb[16];
        StoreBlock(zb, z);
        for (size_t i = 0; i < stolen; i++) {
            const uint8_t c = p[16 + i];
            p[16 + i] = static_cast<uint8_t>(zb[i] ^ c);
            zb[i] = c;
        }
        std::memcpy(p, zb, 16);
        SecureWipe(zb, sizeof zb);
        SecureWipe(z, sizeof z);
    }
    uint32_t w[4];
    LoadBlock(p, w);
    DecryptWords(w, rk);
    Store32(p, w[0] ^ m0); Store32(p + 4, w[1] ^ m1); Store32(p + 8, w[2] ^ m2); Store32(p + 12, w[3] ^ m3);
    for (int i = 0; i < 4; i++) ctx->mask[i] = last[i];
}

void CbcStealEncrypt(CbcStealContext* ctx, uint8_t* buffer, size_t length) {
    if (length < 16) return;
    const uint32_t* rk = ctx->encryption.words;
    uint32_t* mask = ctx->mask;
    size_t plain = length >= 32 ? (length - 16) / 16 : 0;
    uint8_t* p = buffer;
    for (; plain; plain--, p += 16) {
        uint32_t w[4];
        LoadBlock(p, w);
        for (int i = 0; i < 4; i++) w[i] ^= mask[i];
        EncryptWords(w, rk);
        StoreBlock(p, w);
        for (int i = 0; i < 4; i++) mask[i] = w[i];
    }
    const size_t rest = length - static_cast<size_t>(p - buffer);
    uint32_t w[4];
    LoadBlock(p, w);
    for (int i = 0; i < 4; i++) w[i] ^= mask[i];
    EncryptWords(w, rk);
    if (rest > 16) {
        // CS2: the last whole block goes first, the truncated one after it.
        const size_t stolen = rest - 16;
        uint8_t previous[16], next[16];
        StoreBlock(previous, w);
        std::memcpy(next, previous, 16);
        for (size_t i = 0; i < stolen; i++) next[i] ^= p[16 + i];
        LoadBlock(next, w);
        EncryptWords(w, rk);
        std::memcpy(p + 16, previous, stolen);
        SecureWipe(previous, sizeof previous);
        SecureWipe(next, sizeof next);
    }
    StoreBlock(p, w);
    for (int i = 0; i < 4; i++) mask[i] = w[i];
}

void CbcStealWipe(CbcStealContext* ctx) { SecureWipe(ctx, sizeof *ctx); }

// ---- Output feedback -------------------------------------------------------------------------

void OfbInit(OfbStreamContext* ctx, const uint8_t key[16]) {
    SecureWipe(ctx, sizeof *ctx);
    BuildSquareSchedules(key, &ctx->encryption, nullptr);
    const uint32_t* rk = ctx->encryption.words;
    for (unsigned j = 0; j < 4; j++)
        for (unsigned i = 0; i < 4; i++) {
            const uint8_t join = static_cast<uint8_t>((rk[32 + i] ^ rk[i]) >> (8 * j));
            // The second round key rides along in the first row's table of each column.
            const uint32_t roundKey = i == 0 ? rk[4 + j] : 0;
            for (unsigned v = 0; v < 256; v++) ctx->chained[j][i][v] = kTables.t[i][kTables.s[v] ^ join] ^ roundKey;
        }
}

void OfbSetIv(OfbStreamContext* ctx, const uint8_t* iv) {
    if (iv) LoadBlock(iv, ctx->feedback);
}

// In OFB one block's output is the next block's input, so the speed is the length of that chain.
// The final round (substitution and transposition only) followed by the two round keys and the
// next block's first round (whose transposition undoes the previous one) collapses into a single
// round of look-ups in ctx->chained; each column then depends on one state word only. The
// keystream block itself is computed beside the chain from the same state.
#define SQ_CHAINED_COLUMN(M, x, j, out)                                              \
    do {                                                                             \
        uint32_t p_ = M[j][0][SQ_BYTE(x##j, 0)] ^ M[j][1][SQ_BYTE(x##j, 1)];          \
        uint32_t q_ = M[j][2][SQ_BYTE(x##j, 2)] ^ M[j][3][SQ_BYTE(x##j, 3)];          \
        SQ_PIN(p_);                                                                  \
        SQ_PIN(q_);                                                                  \
        out = p_ ^ q_;                                                               \
    } while (0)

void OfbApply(OfbStreamContext* ctx, uint8_t* buffer, size_t length) {
    uint8_t stream[16];
    StoreBlock(stream, ctx->feedback);
    const size_t available = ctx->available;
    if (length <= available) {
        for (size_t i = 0; i < length; i++) buffer[i] ^= stream[16 - available + i];
        ctx->available = static_cast<uint32_t>(available - length);
        SecureWipe(stream, sizeof stream);
        return;
    }
    for (size_t i = 0; i < available; i++) buffer[i] ^= stream[16 - available + i];
    buffer += available;
    size_t left = length - available;  // at least 1
    const uint32_t* rk = ctx->encryption.words;
    const uint32_t(*chained)[4][256] = ctx->chained;

    // State before the final round of the first new block.
    uint32_t a0 = ctx->feedback[0], a1 = ctx->feedback[1], a2 = ctx->feedback[2], a3 = ctx->feedback[3];
    SQ_ADD_KEY(rk, a);
    SQ_ROUND(kTables.t, rk + 4, a); SQ_ROUND(kTables.t, rk + 8, a); SQ_ROUND(kTables.t, rk + 12, a);
    SQ_ROUND(kTables.t, rk + 16, a); SQ_ROUND(kTables.t, rk + 20, a); SQ_ROUND(kTables.t, rk + 24, a);
    SQ_ROUND(kTables.t, rk + 28, a);
    uint32_t z0, z1, z2, z3;
    for (;;) {
        z0 = a0; z1 = a1; z2 = a2; z3 = a3;
        if (left <= 16) {
            SQ_LAST(kTables.s, rk + 32, z);
            break;
        }
        // The chain goes first so the out-of-order core reaches it early; the keystream
        // block and its exclusive-or fill the gaps behind it.
        uint32_t n0, n1, n2, n3;
        SQ_CHAINED_COLUMN(chained, a, 0, n0);
        SQ_CHAINED_COLUMN(chained, a, 1, n1);
        SQ_CHAINED_COLUMN(chained, a, 2, n2);
        SQ_CHAINED_COLUMN(chained, a, 3, n3);
        a0 = n0; a1 = n1; a2 = n2; a3 = n3;
        SQ_LAST(kTables.s, rk + 32, z);
        Store32(buffer, Load32(buffer) ^ z0);
        Store32(buffer + 4, Load32(buffer + 4) ^ z1);
        Store32(buffer + 8, Load32(buffer + 8) ^ z2);
        Store32(buffer + 12, Load32(buffer + 12) ^ z3);
        buffer += 16;
        left -= 16;
        SQ_ROUND(kTables.t, rk + 8, a); SQ_ROUND(kTables.t, rk + 12, a); SQ_ROUND(kTables.t, rk + 16, a);
        SQ_ROUND(kTables.t, rk + 20, a); SQ_ROUND(kTables.t, rk + 24, a); SQ_ROUND(kTables.t, rk + 28, a);
    }
    ctx->feedback[0] = z0; ctx->feedback[1] = z1; ctx->feedback[2] = z2; ctx->feedback[3] = z3;
    StoreBlock(stream, ctx->feedback);
    for (size_t i = 0; i < left; i++) buffer[i] ^= stream[i];
    ctx->available = static_cast<uint32_t>(16 - left);
    SecureWipe(stream, sizeof stream);
}

void OfbWipe(OfbStreamContext* ctx) { SecureWipe(ctx, sizeof *ctx); }

}  // namespace sona
