#include "support/crypto.h"

#include <cstring>
#include <gtest/gtest.h>
#include <vector>

using namespace crypto;

namespace {

std::uint32_t Multiply(const TKeyMatrix& a, const TKeyMatrix& b, int row) {
  return MultiplyWord(a[row], b);
}

} // namespace

// Key text "0": bytes 1 and '0', of which only the length byte gives bits,
// so the key bits run 1,0,0,0,0,0,0,0 over and over.
TEST(KeyMatrix, TakesKeyBitsInBlockOrder) {
  TKeyMatrix m = BuildKeyMatrix("0");
  // Top-left 2x2: bit 0 = 1 clears the upper right cell, the lower left takes bit 1 (0).
  // Next 2x2 on the diagonal: bit 2 = 0 fills the upper right cell with bit 3 (0).
  // The 4x4 block: bit 4 = 0 fills columns 2..3 of rows 0..1 with bits 5..8 = 0,0,0,1.
  EXPECT_EQ(m[0] & 0xF, 0b0001u);
  EXPECT_EQ(m[1] & 0xF, 0b1010u);
  EXPECT_EQ(m[2] & 0xF, 0b0100u);
  EXPECT_EQ(m[3] & 0xF, 0b1000u);
}

TEST(KeyMatrix, HasAnInverseForEveryKeyText) {
  for (const char* key : {"0", "7", "-1", "4242", "999999", "-2147483648", "1234567890"}) {
    SCOPED_TRACE(key);
    TKeyMatrix m = BuildKeyMatrix(key);
    TKeyMatrix inverse = InvertKeyMatrix(m);
    for (int i = 0; i < 32; ++i) {
      EXPECT_EQ((m[i] >> i) & 1u, 1u);
      EXPECT_EQ(Multiply(m, inverse, i), 1u << i);
    }
  }
}

TEST(KeyMatrix, DependsOnAllButTheLastKeyCharacter) {
  EXPECT_NE(BuildKeyMatrix("123456"), BuildKeyMatrix("123466"));
  EXPECT_NE(BuildKeyMatrix("123456"), BuildKeyMatrix("23456"));
  EXPECT_EQ(BuildKeyMatrix("123456"), BuildKeyMatrix("123457"));
}

TEST(Cipher, ChainsWordsAndLeavesTrailingBytes) {
  TKeyMatrix m = BuildKeyMatrix("31337");
  std::vector<unsigned char> plain = {1, 0, 0, 0, 0x78, 0x56, 0x34, 0x12, 0xAA, 0xBB, 0xCC};
  std::vector<unsigned char> body = plain;
  EncipherBody(body.data(), body.size(), m);

  std::uint32_t y0 = MultiplyWord(1, m);
  std::uint32_t y1 = MultiplyWord(0x12345678, m) - y0;
  std::uint32_t got0 = 0, got1 = 0;
  std::memcpy(&got0, body.data(), 4);
  std::memcpy(&got1, body.data() + 4, 4);
  EXPECT_EQ(got0, y0);
  EXPECT_EQ(got1, y1);
  EXPECT_EQ(std::vector<unsigned char>(body.begin() + 8, body.end()),
            std::vector<unsigned char>(plain.begin() + 8, plain.end()));

  DecipherBody(body.data(), body.size(), InvertKeyMatrix(m));
  EXPECT_EQ(body, plain);
}
