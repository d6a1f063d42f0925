// Arithmetic modulo an odd 64-bit number in Montgomery form: a product costs
// three 64-bit multiplications and no division, which is what makes the
// strong-prime tests and Pollard's rho cheap on 19-digit numbers.
#pragma once
#include <cstdint>

namespace tamsel {

using TUInt128 = unsigned __int128;

class TMontgomery {
 public:
  // modulus must be odd and greater than 1.
  explicit TMontgomery(std::uint64_t modulus)
      : modulus_(modulus), inverse_(InverseMod2Pow64(modulus)), one_((0 - modulus) % modulus) {
    rSquared_ = static_cast<std::uint64_t>(TUInt128(one_) * one_ % modulus);
  }

  std::uint64_t Modulus() const { return modulus_; }
  std::uint64_t One() const { return one_; }
  std::uint64_t MinusOne() const { return modulus_ - one_; }

  // Values in Montgomery form are below the modulus.
  std::uint64_t ToForm(std::uint64_t value) const { return Reduce(TUInt128(value) * rSquared_); }

  std::uint64_t Multiply(std::uint64_t a, std::uint64_t b) const { return Reduce(TUInt128(a) * b); }

  std::uint64_t Add(std::uint64_t a, std::uint64_t b) const {
    const std::uint64_t sum = a + b;  // may wrap when the modulus exceeds 2^63
    return (sum < a || sum >= modulus_) ? sum - modulus_ : sum;
  }

  std::uint64_t Power(std::uint64_t base, std::uint64_t exponent) const {
    std::uint64_t result = one_;
    for (; exponent != 0; exponent >>= 1) {
      if (exponent & 1) result = Multiply(result, base);
      base = Multiply(base, base);
    }
    return result;
  }

 private:
  // Newton's iteration doubles the correct low bits: 3 (any odd n is its own
  // inverse mod 8), then 6, 12, 24, 48, 96.
  static std::uint64_t InverseMod2Pow64(std::uint64_t n) {
    std::uint64_t inverse = n;
    for (int i = 0; i < 5; ++i) inverse *= 2 - n * inverse;
    return inverse;
  }

  // t / 2^64 mod n for t < n * 2^64. Subtracting m * n (m chosen so the low
  // words cancel) instead of adding it keeps every step inside 128 bits even
  // for moduli above 2^63.
  std::uint64_t Reduce(TUInt128 t) const {
    const std::uint64_t m = static_cast<std::uint64_t>(t) * inverse_;
    const std::uint64_t high = static_cast<std::uint64_t>(t >> 64);
    const std::uint64_t mnHigh = static_cast<std::uint64_t>((TUInt128(m) * modulus_) >> 64);
    return high >= mnHigh ? high - mnHigh : high - mnHigh + modulus_;
  }

  std::uint64_t modulus_;
  std::uint64_t inverse_;   // modulus^-1 mod 2^64
  std::uint64_t one_;       // 2^64 mod modulus: the form of 1
  std::uint64_t rSquared_;  // 2^128 mod modulus
};

}  // namespace tamsel
