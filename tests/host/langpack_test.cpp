// The language pack: chunked deciphering, refusals, the slot reader, the langpack tool and the
// shipped English text.
#include "store/LanguagePack.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "store/GostCipher.h"
#include "store/SquareCipher.h"

#ifdef HAVE_CRYPTOPP
#include <cryptopp/filters.h>
#include <cryptopp/gost.h>
#include <cryptopp/modes.h>
#include <cryptopp/square.h>
#endif

namespace {

using Bytes = std::vector<uint8_t>;
using namespace sona;

Bytes RandomBytes(uint32_t seed, size_t n) {
    std::mt19937 rng(seed);
    Bytes out(n);
    for (auto& b : out) b = static_cast<uint8_t>(rng());
    return out;
}

// Per process, since other test runs may share the temporary folder.
std::string TempPath(const std::string& name) {
    return testing::TempDir() + "langpack_test_" + std::to_string(getpid()) + "_" + name;
}

void WriteBytes(const std::string& path, const Bytes& data) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(data.data()), data.size());
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

Bytes Encode(Bytes plain, const PackKeys& keys = kShippedPackKeys) {
    EXPECT_EQ(EncodeLanguagePackBuffer(plain.data(), plain.size(), plain.data(), plain.size(), keys), PackStatus::Ok);
    return plain;
}

Bytes Decode(const Bytes& pack, const PackKeys& keys = kShippedPackKeys) {
    Bytes out(pack.size());
    EXPECT_EQ(DecodeLanguagePackBuffer(pack.data(), pack.size(), out.data(), out.size(), keys), PackStatus::Ok);
    return out;
}

// Sizes the decoder accepts: whole chunks only, the shipped 19760, a final chunk of 16 or of
// an odd length that needs stealing, the empty pack and the largest one.
const size_t kAcceptedSizes[] = {0, 16, 17, 3376, 4096, 4112, 4113, 8192, 12288, 19760, 65520, 65536};

TEST(LanguagePack, BufferRoundTrips) {
    for (size_t size : kAcceptedSizes) {
        const Bytes plain = RandomBytes(static_cast<uint32_t>(size), size);
        const Bytes pack = Encode(plain);
        if (size >= 16) {
            EXPECT_NE(pack, plain) << size;
        }
        EXPECT_EQ(Decode(pack), plain) << size;
        // In place, as the tool does it.
        Bytes inPlace = pack;
        EXPECT_EQ(DecodeLanguagePackBuffer(inPlace.data(), size, inPlace.data(), size), PackStatus::Ok);
        EXPECT_EQ(inPlace, plain) << size;
    }
}

// The decoder, recomputed with Crypto++: one CBC chain (CTS for an odd final chunk) over the
// whole pack, GOST over the first 8 bytes of each full chunk, one OFB stream over the full chunks.
TEST(LanguagePack, MatchesStagesComputedByCryptopp) {
#ifndef HAVE_CRYPTOPP
    GTEST_SKIP() << "built without Crypto++";
#else
    Bytes iv(16, 0);
    CryptoPP::Square::Encryption(PackKey, 16).ProcessBlock(iv.data());
    for (size_t size : kAcceptedSizes) {
        if (size < 32) continue;  // Crypto++'s CTS wants two blocks; the short ones are above
        const Bytes pack = RandomBytes(static_cast<uint32_t>(size) + 1, size);
        Bytes expected(size);
        std::unique_ptr<CryptoPP::StreamTransformation> cbc;
        if (size % 16 == 0)
            cbc.reset(new CryptoPP::CBC_Mode<CryptoPP::Square>::Decryption(PackKey, 16, iv.data()));
        else
            cbc.reset(new CryptoPP::CBC_CTS_Mode<CryptoPP::Square>::Decryption(PackKey, 16, iv.data()));
        CryptoPP::ArraySource(pack.data(), size, true,
                              new CryptoPP::StreamTransformationFilter(
                                  *cbc, new CryptoPP::ArraySink(expected.data(), size),
                                  CryptoPP::StreamTransformationFilter::NO_PADDING));
        const size_t full = size / kPackChunkSize;
        CryptoPP::GOST::Decryption gost(PackGostKey, 32);
        for (size_t k = 0; k < full; k++) gost.ProcessBlock(&expected[k * kPackChunkSize]);
        const Bytes zero(16, 0);
        CryptoPP::OFB_Mode<CryptoPP::Square>::Encryption ofb(PackKey, 16, zero.data());
        ofb.ProcessData(expected.data(), expected.data(), full * kPackChunkSize);
        EXPECT_EQ(Decode(pack), expected) << size;
    }
#endif
}

// A final partial chunk gets the CBC stage only: changing the GOST key must not touch it.
TEST(LanguagePack, FinalPartialChunkIsCbcOnly) {
    const Bytes pack = RandomBytes(5, 19760);
    uint8_t otherGost[32];
    std::memcpy(otherGost, PackGostKey, 32);
    otherGost[0] ^= 1;
    const Bytes a = Decode(pack), b = Decode(pack, PackKeys{PackKey, otherGost});
    for (size_t k = 0; k < 4; k++) {
        const size_t at = k * kPackChunkSize;
        EXPECT_NE(Bytes(a.begin() + at, a.begin() + at + 8), Bytes(b.begin() + at, b.begin() + at + 8)) << k;
        EXPECT_EQ(Bytes(a.begin() + at + 8, a.begin() + at + kPackChunkSize),
                  Bytes(b.begin() + at + 8, b.begin() + at + kPackChunkSize)) << k;
    }
    EXPECT_EQ(Bytes(a.begin() + 16384, a.end()), Bytes(b.begin() + 16384, b.end()));
}

struct Refusal {
    size_t size;
    size_t capacity;
    PackStatus status;
};
const Refusal kRefusals[] = {
    {65537, 70000, PackStatus::TooLong},          {65536 + 4096, 70000, PackStatus::TooLong},
    {1, 16, PackStatus::ShortFinalChunk},         {15, 16, PackStatus::ShortFinalChunk},
    {4097, 5000, PackStatus::ShortFinalChunk},    {4111, 5000, PackStatus::ShortFinalChunk},
    {16384 + 8, 20000, PackStatus::ShortFinalChunk}, {61440 + 15, 65536, PackStatus::ShortFinalChunk},
    {19760, 19759, PackStatus::OutputTooSmall},
};

TEST(LanguagePack, EveryShortFinalChunkIsRefused) {
    for (size_t full = 0; full < 16; full++)
        for (size_t rest = 0; rest < 32; rest++)
            EXPECT_EQ(CheckPackSize(full * kPackChunkSize + rest),
                      rest >= 1 && rest <= 15 ? PackStatus::ShortFinalChunk : PackStatus::Ok)
                << full << " chunks and " << rest;
    EXPECT_EQ(CheckPackSize(65536), PackStatus::Ok);
    EXPECT_EQ(CheckPackSize(65537), PackStatus::TooLong);
    EXPECT_EQ(CheckPackSize(uint64_t(1) << 40), PackStatus::TooLong);
}

TEST(LanguagePack, RefusalsWriteNothing) {
    for (const auto& r : kRefusals) {
        const Bytes pack = RandomBytes(1, r.size);
        Bytes out(r.capacity + 64, 0xA5);
        EXPECT_EQ(CheckPackSize(r.size), r.status == PackStatus::OutputTooSmall ? PackStatus::Ok : r.status);
        EXPECT_EQ(DecodeLanguagePackBuffer(pack.data(), r.size, out.data(), r.capacity), r.status) << r.size;
        EXPECT_EQ(out, Bytes(r.capacity + 64, 0xA5)) << r.size;
        EXPECT_EQ(EncodeLanguagePackBuffer(pack.data(), r.size, out.data(), r.capacity), r.status) << r.size;
        EXPECT_STRNE(DescribePackStatus(r.status), "ok");
    }
}

TEST(LanguagePack, FileDecoding) {
    struct Case { const char* name; size_t size; bool accepted; } cases[] = {
        {"empty", 0, true},          {"one_chunk", 4096, true},    {"shipped_size", 19760, true},
        {"largest", 65536, true},    {"too_long", 65537, false},   {"short_tail_1", 4097, false},
        {"short_tail_15", 8207, false},
    };
    for (const auto& c : cases) {
        const std::string path = TempPath(c.name);
        const Bytes plain = RandomBytes(static_cast<uint32_t>(c.size) + 3, c.size);
        const Bytes pack = c.accepted ? Encode(plain) : plain;
        WriteBytes(path, pack);
        LanguageText* text = DecodeLanguagePack(path.c_str());
        EXPECT_EQ(text != nullptr, c.accepted) << c.name;
        if (text) {
            EXPECT_EQ(0, std::memcmp(text->bytes, plain.data(), c.size)) << c.name;
            for (size_t i = c.size; i < kLanguageTextSize; i++) ASSERT_EQ(text->bytes[i], 0) << c.name;
        }
        FreeLanguageText(text);
        std::remove(path.c_str());
    }
    PackStatus status = PackStatus::Ok;
    EXPECT_EQ(DecodeLanguagePackFile(TempPath("missing").c_str(), kShippedPackKeys, &status, nullptr), nullptr);
    EXPECT_EQ(status, PackStatus::Unreadable);
    EXPECT_EQ(DecodeLanguagePackFile(testing::TempDir().c_str(), kShippedPackKeys, &status, nullptr), nullptr);
    EXPECT_EQ(status, PackStatus::Unreadable);
    EXPECT_EQ(DecodeLanguagePack(nullptr), nullptr);
}

TEST(LanguagePack, ReadSlot) {
    LanguageText* text = new LanguageText();
    std::strcpy(text->bytes + 260, "Play");
    std::memset(text->bytes + 520, 'x', 260);  // no NUL inside the slot
    std::strcpy(text->bytes + 251 * 260, "last");
    char out[kLanguageSlotSize];
    struct Case { size_t n; bool ok; std::string text; } cases[] = {
        {0, true, ""}, {1, true, "Play"}, {2, true, std::string(259, 'x')}, {251, true, "last"}, {252, false, ""},
    };
    for (const auto& c : cases) {
        std::memset(out, '?', sizeof out);
        EXPECT_EQ(ReadLanguageSlot(*text, c.n, out), c.ok) << c.n;
        EXPECT_EQ(std::string(out), c.text) << c.n;
    }
    delete text;
}

// ---- The langpack tool and the shipped text ------------------------------------------------

std::string ToolPath() {
    char self[4096];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    if (n <= 0) return "";
    std::string dir(self, static_cast<size_t>(n));
    return dir.substr(0, dir.rfind('/')) + "/langpack";
}

std::string EnglishPath() {
    std::string here = __FILE__;
    return here.substr(0, here.rfind("tests/host/")) + "res/lang/english.txt";
}

int RunTool(const std::string& args) {
    const std::string command = ToolPath() + " " + args + " 2>" + TempPath("tool_stderr");
    const int rc = std::system(command.c_str());
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
}

class LangpackTool : public testing::Test {
protected:
    void SetUp() override {
        if (access(ToolPath().c_str(), X_OK) != 0) GTEST_SKIP() << "langpack tool not built beside the tests";
        if (access(EnglishPath().c_str(), R_OK) != 0) GTEST_SKIP() << "res/lang/english.txt not found";
    }
    void TearDown() override {
        const char* names[] = {"english.pack", "english.back", "small.txt", "small.pack", "small.back",
                               "small.back.default", "long.txt", "odd.pack", "tool_stderr"};
        for (const char* name : names) std::remove(TempPath(name).c_str());
    }
};

TEST_F(LangpackTool, EnglishTextRoundTripsAndEverySlotReadsBack) {
    const std::string pack = TempPath("english.pack"), back = TempPath("english.back");
    ASSERT_EQ(RunTool("encode " + EnglishPath() + " " + pack), 0);
    ASSERT_EQ(RunTool("decode " + pack + " " + back), 0);
    const std::string english = ReadText(EnglishPath());
    EXPECT_EQ(ReadText(back), english);
    EXPECT_EQ(ReadText(pack).size(), 19760u);  // 76 slots: four full chunks and 3376 bytes

    LanguageText* text = DecodeLanguagePack(pack.c_str());
    ASSERT_NE(text, nullptr);
    std::istringstream lines(english);
    std::string line;
    size_t n = 0;
    char slot[kLanguageSlotSize];
    for (; std::getline(lines, line); n++) {
        ASSERT_TRUE(ReadLanguageSlot(*text, n, slot));
        EXPECT_EQ(std::string(slot), line) << "slot " << n;
    }
    EXPECT_EQ(n, 76u);
    FreeLanguageText(text);
}

TEST_F(LangpackTool, OptionsAndRejections) {
    const std::string text = TempPath("small.txt"), pack = TempPath("small.pack"), back = TempPath("small.back");
    const std::string key = "--key 00112233445566778899aabbccddeeff";
    const std::string gost = "--gost-key 000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f";
    std::ofstream(text) << "one\ntwo\nthree\n" << std::string(259, 'x') << "\n";
    struct Case { std::string args; int exitCode; } cases[] = {
        {"encode " + key + " " + gost + " " + text + " " + pack, 0},
        {"decode " + key + " " + gost + " " + pack + " " + back, 0},
        {"decode " + pack + " " + back + ".default", 1},  // other keys: no NUL-terminated slots
        {"encode --key 0011 " + text + " " + pack + ".x", 2},
        {"encode --gost-key " + std::string(62, '0') + " " + text + " " + pack + ".x", 2},
        {"encode " + text, 2},
        {"frobnicate " + text + " " + pack, 2},
        {"encode " + TempPath("no_such.txt") + " " + pack + ".x", 1},
        {"decode " + TempPath("no_such.pack") + " " + back + ".x", 1},
    };
    for (const auto& c : cases) EXPECT_EQ(RunTool(c.args), c.exitCode) << c.args;
    EXPECT_EQ(ReadText(back), ReadText(text));

    std::ofstream(TempPath("long.txt")) << "fine\n" << std::string(260, 'y') << "\n";
    EXPECT_EQ(RunTool("encode " + TempPath("long.txt") + " " + pack + ".x"), 1);
    EXPECT_NE(ReadText(TempPath("tool_stderr")).find("line 2"), std::string::npos);

    WriteBytes(TempPath("odd.pack"), RandomBytes(4, 4100));
    EXPECT_EQ(RunTool("decode " + TempPath("odd.pack") + " " + back + ".x"), 1);
    EXPECT_NE(ReadText(TempPath("tool_stderr")).find("1 to 15"), std::string::npos);
}

}  // namespace
