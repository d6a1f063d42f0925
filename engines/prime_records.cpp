#include "engines/prime_records.h"

#include <cmath>
#include <stdexcept>

#include "core/console/channels.h"
#include "core/console/exit_code.h"
#include "core/console/text_helpers.h"
#include "driver/base/number_text.h"
#include "driver/base/run_state.h"

namespace tamsel {

namespace {

constexpr std::uint64_t kCapacityStep = 2500;

std::uint64_t InitialCapacity(std::uint64_t length) {
  if (length == 0) return 0;
  return static_cast<std::uint64_t>(std::exp(0.75 * std::log(static_cast<double>(length))));
}

std::size_t PrimeCountBound(double x) {
  const double log = std::log(x);
  return static_cast<std::size_t>(x >= 355991 ? x / log * (1 + 1 / log + 2.51 / (log * log)) : 1.2551 * x / log) + 8;
}

void WriteResultLine(std::string_view label, std::uint64_t value, std::size_t width) {
  TChannel& out = StdChannel();
  out.Write(label);
  out.Write(PadLeft(FormatThousands(value), static_cast<std::uint16_t>(width), ' '));
  out.Write(" (0x");
  out.WriteHex(value);
  out.WriteLn(")");
}

}  // namespace

void ShowPrime(std::uint64_t prime, std::uint64_t ordinal) {
  TChannel& err = ErrChannel();
  if (RunOptions.Hexadecimal) {
    if (RunOptions.Debug) {
      err.WriteHex(ordinal);
      err.Write('=');
    }
    err.WriteHex(prime);
  } else {
    if (RunOptions.Debug) {
      err.WriteDecimal(ordinal);
      err.Write('=');
    }
    err.WriteDecimal(prime);
  }
  err.Write(' ');
}

void BeginPrimeList() {
  if (RunOptions.ShowPrimes) ErrChannel().Write("Prime Numbers: ");
}

void CollectPrimes(TPrimeFound& found, TPrimeRecord& record, const TPrimeCheck& table,
                   std::string_view method) {
  BeginPrimeList();
  record.Count = 0;
  record.Highest = 0;
  record.Method = method;
  const std::uint64_t length = table.size();
  if (length > (std::uint64_t{1} << 32) + 1) throw std::length_error("base table above 2^32");  // 32-bit primes
  record.Capacity = InitialCapacity(length);
  // Room at once for every step of 2,500 the primes can take, so that none moves the list (each move took
  // twice its room: 1.5 MB at 10^12 for 0.6 MB of primes). The bound is pi(x) < x / ln x (1 + 1 / ln x +
  // 2.51 / ln^2 x) from x = 355,991 on (Dusart), 0.1 percent above pi(10^6), and pi(x) < 1.25506 x / ln x
  // below (Rosser and Schoenfeld).
  if (length > 2) {
    const std::uint64_t bound = PrimeCountBound(static_cast<double>(length));
    const std::uint64_t steps = bound <= record.Capacity ? 0 : (bound - record.Capacity + kCapacityStep - 1) / kCapacityStep;
    found.reserve(record.Capacity + steps * kCapacityStep);
  }
  found.resize(record.Capacity);
  for (std::uint64_t i = 2; i < length; ++i) {
    if (table[i] == 0) continue;
    ++record.Count;
    if (record.Count > record.Capacity) {
      record.Capacity += kCapacityStep;
      found.resize(record.Capacity);
    }
    found[record.Count - 1] = static_cast<std::uint32_t>(i);
    if (RunOptions.ShowPrimes) ShowPrime(i, record.Count);
  }
  if (record.Count > 0) record.Highest = found[record.Count - 1];
  found.resize(record.Count);
}

void EndPrimeList() {
  if (RunOptions.ShowPrimes) {
    TChannel& err = ErrChannel();
    err.Write(kLineEnd);
    err.WriteLn(RepeatChar('=', kRuleWidth));
  } else if (!RunOptions.Banner && ExitCode != kExitDefaultUsed) {
    StdChannel().WriteLn();
  }
}

void ReportResults(std::uint64_t limit, const TPrimeRecord& record) {
  const std::string limitText = FormatThousands(limit);
  TChannel& out = StdChannel();
  out.Write("Search up to ....... ");
  out.Write(limitText);
  out.Write(" (0x");
  out.WriteHex(limit);
  out.WriteLn(")");
  if (!RunOptions.NoCount) WriteResultLine("Total Primes ....... ", record.Count, limitText.size());
  WriteResultLine("Highest Prime ...... ", record.Highest, limitText.size());
}

}  // namespace tamsel
