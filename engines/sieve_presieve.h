// The presieve: the primes 7 to 97 are cheaper to copy into a block as
// repeating patterns than to cross one multiple at a time.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tamsel {

// The primes 7 and up that do not exceed maxPrime, in groups whose patterns
// are small next to the work, workBytes bytes in all.
class TPresieve {
 public:
  TPresieve(std::uint64_t maxPrime, std::uint64_t workBytes);
  // Clears in bytes[i] the bits of the multiples of the presieved primes
  // (the primes themselves too) in byte firstByte + i.
  void Fill(std::uint8_t* bytes, std::uint64_t firstByte, std::size_t count) const;
  // Largest presieved prime, at least 5: the wheel takes 2, 3 and 5.
  std::uint64_t Largest() const { return largest_; }

 private:
  std::vector<std::vector<std::uint8_t>> patterns_;  // one period each
  std::uint64_t largest_ = 5;
};

}  // namespace tamsel
