// Square (the 128-bit block cipher of 1997, 8 rounds, 16-byte key) and the two modes the
// language pack is enciphered with: CBC with ciphertext stealing (CS2 arrangement, chaining
// value carried from call to call) and output feedback.
// Portable: no windows.h, no allocation, no mutable global state; every context is the caller's.
#pragma once
#include <cstddef>
#include <cstdint>

namespace sona {

// Nine round keys of four words each. Word i of a round key lines up with word i of the block,
// which is bytes 4i..4i+3 read little-endian.
struct SquareKeySchedule {
    uint32_t words[36];
};

// Builds either or both schedule flavours from a 16-byte key (pass nullptr for one not wanted).
void BuildSquareSchedules(const uint8_t key[16], SquareKeySchedule* encryption,
                          SquareKeySchedule* decryption);

void SquareEncryptBlock(uint8_t block[16], const SquareKeySchedule& encryption);
// Exact inverse of SquareEncryptBlock when given the decryption schedule of the same key.
void SquareDecryptBlock(uint8_t block[16], const SquareKeySchedule& decryption);

struct CbcStealContext {
    SquareKeySchedule encryption;
    SquareKeySchedule decryption;
    uint32_t mask[4];  // last ciphertext block consumed, or the prepared initial value
};

// Zero-fills the context and keys it; the mask stays zero until CbcStealSetIv.
void CbcStealInit(CbcStealContext* ctx, const uint8_t key[16]);
// Copies iv (if not null) into the mask, then enciphers the mask in place. With no iv the
// mask becomes the encryption of sixteen zero bytes.
void CbcStealSetIv(CbcStealContext* ctx, const uint8_t* iv);
// In place. length must be at least 16: a shorter run cannot be deciphered and is left as is.
void CbcStealDecrypt(CbcStealContext* ctx, uint8_t* buffer, size_t length);
// Exact inverse of CbcStealDecrypt, call for call (same lengths, same order).
void CbcStealEncrypt(CbcStealContext* ctx, uint8_t* buffer, size_t length);
void CbcStealWipe(CbcStealContext* ctx);

struct OfbStreamContext {
    SquareKeySchedule encryption;
    uint32_t feedback[4];  // after each refill: the current keystream block
    uint32_t available;    // unused keystream bytes at the end of feedback, 0..16
    // The last round of one keystream block and the first round of the next, as one look-up
    // per byte (they depend on the key, hence they live here): chained[j][i][v] is
    // T_i[S[v] ^ byte j of (last round key ^ first round key)[i]], with word j of the second
    // round key added where i is 0. Built by OfbInit.
    uint32_t chained[4][4][256];
};

// Zero-fills the context (zero register, nothing available) and keys it.
void OfbInit(OfbStreamContext* ctx, const uint8_t key[16]);
// Copies iv into the register when given; with no iv nothing changes.
void OfbSetIv(OfbStreamContext* ctx, const uint8_t* iv);
// Exclusive-ors buffer with the next length keystream bytes; enciphers and deciphers alike.
void OfbApply(OfbStreamContext* ctx, uint8_t* buffer, size_t length);
void OfbWipe(OfbStreamContext* ctx);

// Zero-fills memory in a way the optimiser may not drop, for key material going out of use.
void SecureWipe(void* memory, size_t length);

}  // namespace sona
