// GOST 28147-89 with the S boxes of the GOST R 34.11-94 test parameter set, one 8-byte block
// at a time in electronic-codebook form. The block is N1 (bytes 0..3) and N2 (bytes 4..7), the
// 32-byte key eight words K0..K7, all little-endian.
#pragma once
#include <cstddef>
#include <cstdint>

namespace sona {

void GostDecryptBlock(uint8_t block[8], const uint8_t key[32]);
// Electronic-codebook decryption of count consecutive blocks; two run interleaved, which hides
// most of the round function's latency.
void GostDecryptBlocks(uint8_t* blocks, size_t count, const uint8_t key[32]);
// Only the pack builder needs this direction.
void GostEncryptBlock(uint8_t block[8], const uint8_t key[32]);

}  // namespace sona
