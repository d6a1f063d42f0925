// The presieve: the primes 7 to 97 are cheaper to copy into a block as repeating patterns than to cross one
// multiple at a time.
#pragma once
#include <algorithm>
#include <initializer_list>
#include <vector>

#include "engines/sieve_wheel.h"

namespace tamsel {

// The primes 7 up to maxPrime, in groups whose patterns are small next to the work (workBytes bytes in all).
class TPresieve {
 public:
  TPresieve(std::uint64_t maxPrime, std::uint64_t workBytes) {
    for (const auto& group : kGroups) {
      std::vector<std::uint32_t> primes;
      std::uint64_t period = 1;
      for (const std::uint32_t p : group) if (p <= maxPrime) period *= primes.emplace_back(p);
      // A pattern costs its period to build: only worth it for enough work.
      if (primes.empty() || (!patterns_.empty() && period > workBytes / 16)) break;
      std::vector<std::uint8_t>& pattern = patterns_.emplace_back(period, 0xFF);
      for (const std::uint32_t p : primes) {
        for (int b = 0; b < 8; ++b) {  // p divides 30i + r for one byte i in every p
          std::uint64_t i = 0;
          while ((30 * i + kWheelResidues[b]) % p != 0) ++i;
          for (; i < period; i += p) pattern[i] &= static_cast<std::uint8_t>(~(1 << b));
        }
      }
      largest_ = primes.back();
      if (primes.size() < group.size()) break;
    }
  }
  // Clears in bytes[i] the bits of the multiples of the presieved primes (the primes themselves too) in byte
  // firstByte + i. Out of line: inlined into the block's loop, the sieve took up to a tenth longer at 10^16.
  [[gnu::noinline]] void Fill(std::uint8_t* bytes, std::uint64_t firstByte, std::size_t count) const {
    for (const std::vector<std::uint8_t>& pattern : patterns_) {
      std::size_t phase = static_cast<std::size_t>(firstByte % pattern.size());
      for (std::size_t done = 0, piece = 0; done < count; done += piece, phase = 0) {
        piece = std::min(count - done, pattern.size() - phase);
        std::uint8_t* out = bytes + done;
        const std::uint8_t* in = pattern.data() + phase;  // a copy: the stores could alias the vector
        for (std::size_t i = 0; i < piece; ++i) out[i] &= in[i];
      }
    }
  }
  std::uint64_t Largest() const { return largest_; }  // the largest presieved prime, at least 5 (the wheel's)

 private:
  // Groups of primes whose product, the period of their pattern in bytes, stays small next to the level 2 cache
  // (47 KB at most, 106 KB in all). Pairs from 43 on take as many passes as a triple and pairs from 59 on.
  static constexpr std::initializer_list<std::initializer_list<std::uint32_t>> kGroups = {
      {7, 11, 13, 17}, {19, 23, 29}, {31, 37, 41}, {43, 47}, {53, 59}, {61, 67}, {71, 73}, {79, 83}, {89, 97}};
  std::vector<std::vector<std::uint8_t>> patterns_;  // one period each
  std::uint64_t largest_ = 5;
};

}  // namespace tamsel
