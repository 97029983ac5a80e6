// Square, its two modes and GOST 28147-89, checked against known answers, against Crypto++ as
// an independent implementation (when the build found it) and against their own inverses.
#include "store/GostCipher.h"
#include "store/SquareCipher.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#ifdef HAVE_CRYPTOPP
#include <cryptopp/filters.h>
#include <cryptopp/gost.h>
#include <cryptopp/modes.h>
#include <cryptopp/square.h>
#endif

namespace {

using Bytes = std::vector<uint8_t>;
using namespace sona;

Bytes FromHex(const std::string& hex) {
    Bytes out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return out;
}

Bytes RandomBytes(std::mt19937& rng, size_t n) {
    Bytes out(n);
    for (auto& b : out) b = static_cast<uint8_t>(rng());
    return out;
}

Bytes SquareEncrypt(const Bytes& key, Bytes block) {
    SquareKeySchedule enc;
    BuildSquareSchedules(key.data(), &enc, nullptr);
    SquareEncryptBlock(block.data(), enc);
    return block;
}

Bytes SquareDecrypt(const Bytes& key, Bytes block) {
    SquareKeySchedule dec;
    BuildSquareSchedules(key.data(), nullptr, &dec);
    SquareDecryptBlock(block.data(), dec);
    return block;
}

Bytes GostEncrypt(const Bytes& key, Bytes block) {
    GostEncryptBlock(block.data(), key.data());
    return block;
}

Bytes GostDecrypt(const Bytes& key, Bytes block) {
    GostDecryptBlock(block.data(), key.data());
    return block;
}

Bytes Mask(const CbcStealContext& ctx) {
    Bytes out(16);
    std::memcpy(out.data(), ctx.mask, 16);  // both build hosts are little-endian
    return out;
}

bool AllZero(const void* p, size_t n) {
    const uint8_t* b = static_cast<const uint8_t*>(p);
    for (size_t i = 0; i < n; i++)
        if (b[i]) return false;
    return true;
}

// Lines of "key plaintext ciphertext" hex, blank lines ignored (Crypto++'s vector files).
std::vector<std::vector<Bytes>> ReadVectorFile(const char* path) {
    std::vector<std::vector<Bytes>> rows;
    std::ifstream in(path);
    std::string word;
    std::vector<Bytes> row;
    while (in >> word) {
        row.push_back(FromHex(word));
        if (row.size() == 3) {
            rows.push_back(row);
            row.clear();
        }
    }
    return rows;
}

// ---- Known answers ---------------------------------------------------------------------------

struct KnownAnswer {
    const char* cipher;
    const char* key;
    const char* plain;
    const char* cipherText;
};

// First rows of the vector files Crypto++ ships (squareva.dat, gostval.dat), kept here so the
// check runs without them.
const KnownAnswer kKnownAnswers[] = {
    {"square", "00000000000000000000000000000000", "00000000000000000000000000000000", "3C00428F8ABBC0B84F057CC19C26F8CF"},
    {"square", "000102030405060708090A0B0C0D0E0F", "00000000000000000000000000000000", "FF596FA668BFC3014200AE01E2BBA0A0"},
    {"square", "000102030405060708090A0B0C0D0E0F", "000102030405060708090A0B0C0D0E0F", "7C3491D94994E70F0EC2E7A5CCB5A14F"},
    {"gost", "BE5EC2006CFF9DCF52354959F1FF0CBFE95061B5A648C10387069C25997C0672", "0DF82802B741A292", "07F9027DF7F7DF89"},
    {"gost", "B385272AC8D72A5A8B344BC80363AC4D09BF58F41F540624CBCB8FDCF55307D7", "1354EE9C0A11CD4C", "4FB50536F960A7B1"},
};

void CheckVector(const std::string& cipher, const Bytes& key, const Bytes& plain, const Bytes& ct) {
    if (cipher == "square") {
        EXPECT_EQ(SquareEncrypt(key, plain), ct);
        EXPECT_EQ(SquareDecrypt(key, ct), plain);
    } else {
        EXPECT_EQ(GostEncrypt(key, plain), ct);
        EXPECT_EQ(GostDecrypt(key, ct), plain);
    }
}

TEST(Cipher, KnownAnswers) {
    for (const auto& v : kKnownAnswers) {
        SCOPED_TRACE(std::string(v.cipher) + " " + v.key);
        CheckVector(v.cipher, FromHex(v.key), FromHex(v.plain), FromHex(v.cipherText));
    }
}

TEST(Cipher, ShippedVectorFiles) {
    struct File { const char* cipher; const char* path; } files[] = {
        {"square", "/usr/share/crypto++/TestData/squareva.dat"},
        {"gost", "/usr/share/crypto++/TestData/gostval.dat"},
        {"square", "/usr/share/cryptopp/TestData/squareva.dat"},
        {"gost", "/usr/share/cryptopp/TestData/gostval.dat"},
    };
    size_t checked = 0;
    for (const auto& f : files) {
        for (const auto& row : ReadVectorFile(f.path)) {
            SCOPED_TRACE(std::string(f.path));
            CheckVector(f.cipher, row[0], row[1], row[2]);
            checked++;
        }
    }
    if (checked == 0) GTEST_SKIP() << "Crypto++ test data not installed";
    EXPECT_GE(checked, 8u);
}

// Every key, every block: deciphering undoes enciphering.
TEST(Cipher, BlockRoundTrips) {
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; i++) {
        const Bytes k16 = RandomBytes(rng, 16), k32 = RandomBytes(rng, 32);
        const Bytes b16 = RandomBytes(rng, 16), b8 = RandomBytes(rng, 8);
        ASSERT_EQ(SquareDecrypt(k16, SquareEncrypt(k16, b16)), b16);
        ASSERT_EQ(SquareEncrypt(k16, SquareDecrypt(k16, b16)), b16);
        ASSERT_EQ(GostDecrypt(k32, GostEncrypt(k32, b8)), b8);
        ASSERT_EQ(GostEncrypt(k32, GostDecrypt(k32, b8)), b8);
    }
}

// The many-block form agrees with the single block, for odd and even counts.
TEST(Cipher, GostBlocksMatchSingleBlocks) {
    std::mt19937 rng(13);
    const Bytes key = RandomBytes(rng, 32);
    for (size_t count : {0u, 1u, 2u, 3u, 8u, 17u}) {
        const Bytes data = RandomBytes(rng, 8 * count);
        Bytes many = data, single = data;
        GostDecryptBlocks(many.data(), count, key.data());
        for (size_t i = 0; i < count; i++) GostDecryptBlock(single.data() + 8 * i, key.data());
        EXPECT_EQ(many, single) << count;
    }
}

// ---- CBC with ciphertext stealing ------------------------------------------------------------

const Bytes kModeKey = FromHex("2B7E151628AED2A6ABF7158809CF4F3C");

// Fresh context with the no-value initial mask, as the language pack uses it.
CbcStealContext FreshCbc(const Bytes& key = kModeKey) {
    CbcStealContext ctx;
    CbcStealInit(&ctx, key.data());
    CbcStealSetIv(&ctx, nullptr);
    return ctx;
}

// Deciphers data as the given sequence of calls on one context.
Bytes CbcDecryptCalls(Bytes data, const std::vector<size_t>& calls, CbcStealContext* out = nullptr) {
    CbcStealContext ctx = FreshCbc();
    size_t at = 0;
    for (size_t n : calls) {
        CbcStealDecrypt(&ctx, data.data() + at, n);
        at += n;
    }
    if (out) *out = ctx;
    return data;
}

Bytes CbcEncryptCalls(Bytes data, const std::vector<size_t>& calls) {
    CbcStealContext ctx = FreshCbc();
    size_t at = 0;
    for (size_t n : calls) {
        CbcStealEncrypt(&ctx, data.data() + at, n);
        at += n;
    }
    return data;
}

TEST(CbcSteal, NoValueIvIsEncryptedZeroBlock) {
    const CbcStealContext ctx = FreshCbc();
    EXPECT_EQ(Mask(ctx), SquareEncrypt(kModeKey, Bytes(16, 0)));
    CbcStealContext withIv;
    CbcStealInit(&withIv, kModeKey.data());
    EXPECT_TRUE(AllZero(withIv.mask, 16));
    const Bytes iv = FromHex("000102030405060708090A0B0C0D0E0F");
    CbcStealSetIv(&withIv, iv.data());
    EXPECT_EQ(Mask(withIv), SquareEncrypt(kModeKey, iv));
}

// Split call sequences and the stealing lengths; each decryption must invert the matching
// encryption, and plain multiples of 16 must leave the last ciphertext block as the mask.
TEST(CbcSteal, EncryptionInvertsDecryptionCallForCall) {
    const std::vector<std::vector<size_t>> sequences = {
        {16}, {17}, {20}, {31}, {32}, {33}, {40}, {47}, {48}, {4096}, {4096, 4096}, {4096, 3376},
        {16, 16, 17}, {4096, 4096, 4096, 4096, 3376}, {100, 31, 16, 4096},
    };
    std::mt19937 rng(11);
    for (const auto& calls : sequences) {
        size_t total = 0;
        for (size_t n : calls) total += n;
        const Bytes plain = RandomBytes(rng, total);
        const Bytes ct = CbcEncryptCalls(plain, calls);
        EXPECT_NE(ct, plain);
        CbcStealContext ctx;
        EXPECT_EQ(CbcDecryptCalls(ct, calls, &ctx), plain) << "first call " << calls[0] << " of " << calls.size();
        if (calls.back() % 16 == 0) {
            EXPECT_EQ(Mask(ctx), Bytes(ct.end() - 16, ct.end()));
        }
    }
}

TEST(CbcSteal, MaskCarriesAcrossCalls) {
    std::mt19937 rng(3);
    const Bytes ct = RandomBytes(rng, 8192);
    EXPECT_EQ(CbcDecryptCalls(ct, {4096, 4096}), CbcDecryptCalls(ct, {8192}));
    EXPECT_EQ(CbcDecryptCalls(ct, {16, 4064, 16, 4096}), CbcDecryptCalls(ct, {8192}));
}

TEST(CbcSteal, ShortRunIsLeftAlone) {
    CbcStealContext ctx = FreshCbc();
    const Bytes before = Mask(ctx);
    Bytes data(15, 0xAB);
    CbcStealDecrypt(&ctx, data.data(), data.size());
    EXPECT_EQ(data, Bytes(15, 0xAB));
    EXPECT_EQ(Mask(ctx), before);
}

TEST(CbcSteal, WipeClearsEverything) {
    CbcStealContext cbc = FreshCbc();
    CbcStealWipe(&cbc);
    EXPECT_TRUE(AllZero(&cbc, sizeof cbc));
    OfbStreamContext ofb;
    OfbInit(&ofb, kModeKey.data());
    uint8_t b[5] = {};
    OfbApply(&ofb, b, sizeof b);
    OfbWipe(&ofb);
    EXPECT_TRUE(AllZero(&ofb, sizeof ofb));
}

// ---- Output feedback -------------------------------------------------------------------------

Bytes OfbCalls(Bytes data, const std::vector<size_t>& calls, const uint8_t* iv = nullptr,
               std::vector<uint32_t>* available = nullptr) {
    OfbStreamContext ctx;
    OfbInit(&ctx, kModeKey.data());
    OfbSetIv(&ctx, iv);
    size_t at = 0;
    for (size_t n : calls) {
        OfbApply(&ctx, data.data() + at, n);
        at += n;
        if (available) available->push_back(ctx.available);
    }
    return data;
}

TEST(Ofb, KeystreamIsIteratedEncryptionOfZero) {
    const Bytes zero16(16, 0);
    const Bytes e1 = SquareEncrypt(kModeKey, zero16), e2 = SquareEncrypt(kModeKey, e1);
    Bytes expected = e1;
    expected.insert(expected.end(), e2.begin(), e2.end());
    EXPECT_EQ(OfbCalls(Bytes(32, 0), {32}), expected);
    OfbStreamContext ctx;
    OfbInit(&ctx, kModeKey.data());
    OfbSetIv(&ctx, nullptr);
    EXPECT_TRUE(AllZero(ctx.feedback, 16));
    EXPECT_EQ(ctx.available, 0u);
}

TEST(Ofb, SplitCallsContinueTheStream) {
    std::mt19937 rng(5);
    const Bytes data = RandomBytes(rng, 4096 * 3);
    struct Case { std::vector<size_t> calls; std::vector<uint32_t> available; } cases[] = {
        {{5, 11, 16}, {11, 0, 0}},
        {{0, 5, 0, 27}, {0, 11, 11, 0}},
        {{1, 1, 14, 17}, {15, 14, 0, 15}},
        {{33}, {15}},
        {{4096, 4096, 4096}, {0, 0, 0}},
        {{3000, 5000, 4288}, {8, 0, 0}},
    };
    for (const auto& c : cases) {
        size_t total = 0;
        for (size_t n : c.calls) total += n;
        const Bytes part(data.begin(), data.begin() + total);
        std::vector<uint32_t> available;
        EXPECT_EQ(OfbCalls(part, c.calls, nullptr, &available), OfbCalls(part, {total})) << c.calls.size() << " calls";
        EXPECT_EQ(available, c.available);
    }
}

TEST(Ofb, SameCallDeciphers) {
    std::mt19937 rng(9);
    const Bytes iv = RandomBytes(rng, 16), data = RandomBytes(rng, 1000);
    EXPECT_EQ(OfbCalls(OfbCalls(data, {7, 993}, iv.data()), {500, 500}, iv.data()), data);
}

// ---- Crypto++ as oracle ------------------------------------------------------------------------

#ifdef HAVE_CRYPTOPP
Bytes CryptoppFilter(CryptoPP::StreamTransformation& mode, const Bytes& in) {
    Bytes out(in.size());
    CryptoPP::ArraySource(in.data(), in.size(), true,
                          new CryptoPP::StreamTransformationFilter(
                              mode, new CryptoPP::ArraySink(out.data(), out.size()),
                              CryptoPP::StreamTransformationFilter::NO_PADDING));
    return out;
}
#endif

TEST(CipherOracle, RandomBlocksBothDirections) {
#ifndef HAVE_CRYPTOPP
    GTEST_SKIP() << "built without Crypto++";
#else
    std::mt19937 rng(2024);
    for (int i = 0; i < 5000; i++) {
        const Bytes k16 = RandomBytes(rng, 16), k32 = RandomBytes(rng, 32);
        const Bytes b16 = RandomBytes(rng, 16), b8 = RandomBytes(rng, 8);
        Bytes ref16(16), ref8(8);
        CryptoPP::Square::Encryption(k16.data(), 16).ProcessBlock(b16.data(), ref16.data());
        ASSERT_EQ(SquareEncrypt(k16, b16), ref16) << i;
        CryptoPP::Square::Decryption(k16.data(), 16).ProcessBlock(b16.data(), ref16.data());
        ASSERT_EQ(SquareDecrypt(k16, b16), ref16) << i;
        CryptoPP::GOST::Encryption(k32.data(), 32).ProcessBlock(b8.data(), ref8.data());
        ASSERT_EQ(GostEncrypt(k32, b8), ref8) << i;
        CryptoPP::GOST::Decryption(k32.data(), 32).ProcessBlock(b8.data(), ref8.data());
        ASSERT_EQ(GostDecrypt(k32, b8), ref8) << i;
    }
#endif
}

// Whole multiples of 16 are plain CBC; otherwise CS2 and Crypto++'s CTS (CS3) agree.
TEST(CipherOracle, CbcStealMatchesCryptopp) {
#ifndef HAVE_CRYPTOPP
    GTEST_SKIP() << "built without Crypto++";
#else
    std::mt19937 rng(77);
    const Bytes iv = Mask(FreshCbc());
    std::vector<size_t> lengths = {63, 100, 3376, 4096, 4100, 8192};
    for (size_t n = 16; n <= 48; n++) lengths.push_back(n);  // one block, every stealing length, 40
    for (size_t n : lengths) {
        const Bytes ct = RandomBytes(rng, n);
        Bytes expected;
        if (n % 16 == 0) {
            CryptoPP::CBC_Mode<CryptoPP::Square>::Decryption d(kModeKey.data(), 16, iv.data());
            expected = CryptoppFilter(d, ct);
        } else {
            CryptoPP::CBC_CTS_Mode<CryptoPP::Square>::Decryption d(kModeKey.data(), 16, iv.data());
            expected = CryptoppFilter(d, ct);
        }
        EXPECT_EQ(CbcDecryptCalls(ct, {n}), expected) << n;
        Bytes again;
        if (n % 16 == 0) {
            CryptoPP::CBC_Mode<CryptoPP::Square>::Encryption e(kModeKey.data(), 16, iv.data());
            again = CryptoppFilter(e, expected);
        } else {
            CryptoPP::CBC_CTS_Mode<CryptoPP::Square>::Encryption e(kModeKey.data(), 16, iv.data());
            again = CryptoppFilter(e, expected);
        }
        EXPECT_EQ(CbcEncryptCalls(expected, {n}), again) << n;
    }
#endif
}

TEST(CipherOracle, OfbMatchesCryptopp) {
#ifndef HAVE_CRYPTOPP
    GTEST_SKIP() << "built without Crypto++";
#else
    std::mt19937 rng(99);
    for (size_t n : {1u, 15u, 16u, 17u, 32u, 4096u, 5000u}) {
        const Bytes data = RandomBytes(rng, n), iv = RandomBytes(rng, 16), zero(16, 0);
        for (const Bytes* v : {&zero, &iv}) {
            CryptoPP::OFB_Mode<CryptoPP::Square>::Encryption e(kModeKey.data(), 16, v->data());
            EXPECT_EQ(OfbCalls(data, {n}, v->data()), CryptoppFilter(e, data)) << n;
        }
    }
#endif
}

}  // namespace
