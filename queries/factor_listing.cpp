#include "queries/factor_listing.h"

#include <charconv>
#include <cmath>
#include <string>

#include "core/console/channels.h"
#include "core/console/exit_code.h"
#include "core/console/text_helpers.h"
#include "driver/base/number_text.h"
#include "driver/base/run_state.h"
#include "queries/factoring.h"
#include "queries/primality.h"

namespace tamsel {
namespace {

constexpr std::size_t kMarkWidth = 7;

// Appends text right-aligned in width characters; longer text stays whole.
void AppendRight(std::string& line, std::string_view text, std::size_t width) {
  if (text.size() < width) line.append(width - text.size(), ' ');
  line.append(text);
}

void AppendNumber(std::string& line, std::uint64_t value, std::size_t width) {
  char digits[20];
  const char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  AppendRight(line, std::string_view(digits, static_cast<std::size_t>(end - digits)), width);
}

const char* PrimeMark(bool prime) { return prime ? "Prime!" : ""; }

// "i * j" with both numbers right-aligned in the listing's width, each followed
// by its mark in 7 characters when marks are given.
std::string PairLine(std::int32_t width, std::uint64_t i, const char* iMark, std::uint64_t j,
                     const char* jMark) {
  const auto field = static_cast<std::size_t>(width);
  std::string line;
  line.reserve(2 * (field + kMarkWidth) + 3);
  AppendNumber(line, i, field);
  if (iMark != nullptr) AppendRight(line, iMark, kMarkWidth);
  line.append(" * ");
  AppendNumber(line, j, field);
  if (jMark != nullptr) AppendRight(line, jMark, kMarkWidth);
  return line;
}

void WriteSummary(const TFactorListing& listing) {
  TChannel& out = StdChannel();
  if (listing.Count == 0) {
    out.WriteLn("ERROR: Could Not Compute Factors for: " + FormatThousands(listing.Number) +
                ".  Please Try a smaller number.");
    AssignExitCode(kExitIntegerTooLarge);
    return;
  }
  out.Write("There are " + FormatThousands(listing.Count) + " factors of " +
            FormatThousands(listing.Number));
  if (RunOptions.PrimeFactors) {
    out.Write(" (with " + FormatThousands(listing.PrimeCount) + " total prime factors).");
  }
  out.WriteLn();
}

}  // namespace

std::int32_t FactorLoopBound(std::uint64_t n) {
  const auto root = static_cast<std::uint64_t>(std::sqrt(static_cast<double>(n)));
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(root));
}

// Shows exactly the divisors of n from 1 to FactorLoopBound(n), in increasing
// order, but takes them from the factorisation of n instead of trying every
// candidate: that would take two billion divisions near the top of the range.
void ShowFactors(std::uint64_t n) {
  TFactorListing listing{n, static_cast<std::int32_t>(ToDecimal(n).size()) + 2, 0, 0};
  const std::int32_t bound = FactorLoopBound(n);
  // With NoCount no pair would be shown or counted, so skip the search.
  if (bound >= 1 && !RunOptions.NoCount) {
    const auto divisors = DivisorsUpTo(FactorInteger(n), static_cast<std::uint64_t>(bound));
    for (const std::uint64_t i : divisors) {
      if (RunOptions.PrimeFactors) {
        ShowPrimeFactorPair(listing, i);
      } else {
        ShowFactorPair(listing, i);
      }
    }
  }
  WriteDashLine(kRuleWidth, false);
  WriteSummary(listing);
}

void ShowFactorPair(TFactorListing& listing, std::uint64_t i) {
  if (i == 0 || listing.Number % i != 0 || RunOptions.NoCount) return;
  const std::uint64_t j = listing.Number / i;
  ReportFactorPair(listing, PairLine(listing.Width, i, nullptr, j, nullptr), i == j ? 1 : 2, 0);
}

void ShowPrimeFactorPair(TFactorListing& listing, std::uint64_t i) {
  if (i == 0 || listing.Number % i != 0 || RunOptions.NoCount) return;
  const std::uint64_t j = listing.Number / i;
  const bool iPrime = IsPrime(i);
  const bool jPrime = IsPrime(j);
  const std::string line = PairLine(listing.Width, i, PrimeMark(iPrime), j, PrimeMark(jPrime));
  ReportFactorPair(listing, line, i == j ? 1 : 2, (iPrime ? 1 : 0) + (jPrime ? 1 : 0));
}

void ReportFactorPair(TFactorListing& listing, std::string_view line, std::uint32_t factors,
                      std::uint32_t primes) {
  if (!RunOptions.Quiet) StdChannel().WriteLn(line);
  listing.Count += factors;
  if (RunOptions.PrimeFactors) listing.PrimeCount += primes;
}

}  // namespace tamsel
