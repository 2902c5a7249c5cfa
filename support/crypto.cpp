#include "support/crypto.h"

#include <string>

namespace crypto {
namespace {

// The key bits repeat over the length byte and all but the last key character.
class TKeyBits {
public:
  explicit TKeyBits(std::string_view keyText)
      : bytes_(1, static_cast<char>(keyText.size())), bitCount_(8 * keyText.size()) {
    bytes_.append(keyText);
  }

  std::uint32_t Next() {
    if (bitCount_ == 0) return 0;
    std::size_t i = position_;
    position_ = (position_ + 1) % bitCount_;
    return (static_cast<unsigned char>(bytes_[i / 8]) >> (i % 8)) & 1u;
  }

private:
  std::string bytes_;
  std::size_t bitCount_;
  std::size_t position_ = 0;
};

void ClearBlock(TKeyMatrix& m, int j0, int i0, int n) {
  for (int i = i0; i < i0 + n; ++i) {
    for (int j = j0; j < j0 + n; ++j)
      m[i] &= ~(1u << j);
  }
}

// Column by column, each column from its lowest row.
void FillBlock(TKeyMatrix& m, int j0, int i0, int n, TKeyBits& bits) {
  for (int j = j0; j < j0 + n; ++j) {
    for (int i = i0; i < i0 + n; ++i) {
      if (bits.Next() != 0) {
        m[i] |= 1u << j;
      } else {
        m[i] &= ~(1u << j);
      }
    }
  }
}

// Block-triangular at every level with ones on the diagonal, hence invertible.
void Build(TKeyMatrix& m, int j0, int i0, int n, TKeyBits& bits) {
  if (n == 1) {
    m[i0] |= 1u << j0;
    return;
  }
  int h = n / 2;
  Build(m, j0, i0, h, bits);
  Build(m, j0 + h, i0 + h, h, bits);
  if (bits.Next() != 0) {
    ClearBlock(m, j0 + h, i0, h);
    FillBlock(m, j0, i0 + h, h, bits);
  } else {
    FillBlock(m, j0 + h, i0, h, bits);
    ClearBlock(m, j0, i0 + h, h);
  }
}

// One table per byte of the word, so a product costs four lookups.
struct TByteTables {
  explicit TByteTables(const TKeyMatrix& m) {
    for (int k = 0; k < 4; ++k) {
      for (std::uint32_t b = 0; b < 256; ++b)
        Rows[k][b] = MultiplyWord(b << (8 * k), m);
    }
  }
  std::uint32_t Multiply(std::uint32_t x) const {
    return Rows[0][x & 0xFF] ^ Rows[1][(x >> 8) & 0xFF] ^ Rows[2][(x >> 16) & 0xFF] ^
           Rows[3][x >> 24];
  }
  std::uint32_t Rows[4][256];
};

std::uint32_t LoadWord(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

void StoreWord(unsigned char* p, std::uint32_t word) {
  for (int k = 0; k < 4; ++k)
    p[k] = static_cast<unsigned char>(word >> (8 * k));
}

} // namespace

TKeyMatrix BuildKeyMatrix(std::string_view keyText) {
  TKeyMatrix m{};
  TKeyBits bits(keyText);
  Build(m, 0, 0, 32, bits);
  return m;
}

TKeyMatrix InvertKeyMatrix(const TKeyMatrix& matrix) {
  TKeyMatrix a = matrix;
  TKeyMatrix inverse{};
  for (int i = 0; i < 32; ++i)
    inverse[i] = 1u << i;
  for (int column = 0; column < 32; ++column) {
    int pivot = column;
    while (pivot < 32 && ((a[pivot] >> column) & 1u) == 0)
      ++pivot;
    if (pivot == 32) continue; // singular; cannot happen for a built key matrix
    std::swap(a[pivot], a[column]);
    std::swap(inverse[pivot], inverse[column]);
    for (int row = 0; row < 32; ++row) {
      if (row != column && ((a[row] >> column) & 1u) != 0) {
        a[row] ^= a[column];
        inverse[row] ^= inverse[column];
      }
    }
  }
  return inverse;
}

std::uint32_t MultiplyWord(std::uint32_t word, const TKeyMatrix& matrix) {
  std::uint32_t result = 0;
  for (int i = 0; i < 32; ++i) {
    if ((word >> i) & 1u) result ^= matrix[i];
  }
  return result;
}

void EncipherBody(unsigned char* buffer, std::size_t length, const TKeyMatrix& matrix) {
  TByteTables tables(matrix);
  std::uint32_t previous = 0;
  for (std::size_t at = 0; at + 4 <= length; at += 4) {
    std::uint32_t y = tables.Multiply(LoadWord(buffer + at)) - previous;
    StoreWord(buffer + at, y);
    previous = y;
  }
}

void DecipherBody(unsigned char* buffer, std::size_t length, const TKeyMatrix& inverse) {
  TByteTables tables(inverse);
  std::uint32_t previous = 0;
  for (std::size_t at = 0; at + 4 <= length; at += 4) {
    std::uint32_t y = LoadWord(buffer + at);
    StoreWord(buffer + at, tables.Multiply(y + previous));
    previous = y;
  }
}

} // namespace crypto
