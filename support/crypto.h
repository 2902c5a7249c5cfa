#pragma once
// The cipher of binary control files: a 32 x 32 bit matrix over GF(2) built from
// a key text, applied word by word with additive chaining.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace crypto {

// Row i holds bit j of row i as bit j; a word x maps to the XOR of the rows
// selected by the bits set in x.
using TKeyMatrix = std::array<std::uint32_t, 32>;

TKeyMatrix BuildKeyMatrix(std::string_view keyText);
// The inverse over GF(2); every matrix BuildKeyMatrix makes has one.
TKeyMatrix InvertKeyMatrix(const TKeyMatrix& matrix);
std::uint32_t MultiplyWord(std::uint32_t word, const TKeyMatrix& matrix);

// Whole little-endian words are changed in place; a trailing 1 to 3 bytes stay.
void EncipherBody(unsigned char* buffer, std::size_t length, const TKeyMatrix& matrix);
void DecipherBody(unsigned char* buffer, std::size_t length, const TKeyMatrix& inverse);

} // namespace crypto
