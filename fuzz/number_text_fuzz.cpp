// Typed numbers and the number texts the program prints. The input is the
// typed text; its first eight bytes also make a value to print.
#include <cstdint>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "core/cmdline/number_parse.h"
#include "driver/base/number_text.h"
#include "fuzz/fuzz_check.h"

namespace tamsel {
namespace {

constexpr std::uint64_t kMax = std::numeric_limits<std::uint64_t>::max();

// Every form the program prints a value in reads back as that value, and one
// more digit multiplies it by the base unless that leaves 64 bits.
void CheckPrintedFormsReadBack(std::uint64_t value) {
  const std::string grouped = FormatThousands(value);
  FUZZ_CHECK(ReadTypedNumber(grouped) == value);
  FUZZ_CHECK(ReadTypedNumber(ToDecimal(value)) == value);
  FUZZ_CHECK(ReadTypedNumber("$" + ToHex(value)) == value);
  FUZZ_CHECK(ReadTypedNumber("0x" + ToHex(value)) == value);
  const auto tenfold = ReadTypedNumber(ToDecimal(value) + "7");
  FUZZ_CHECK(value <= (kMax - 7) / 10 ? tenfold == value * 10 + 7 : !tenfold.has_value());
  const auto sixteenfold = ReadTypedNumber("$" + ToHex(value) + "f");
  FUZZ_CHECK(value <= kMax / 16 ? sixteenfold == value * 16 + 15 : !sixteenfold.has_value());

  // Groups of three digits from the right, the first of one to three.
  FUZZ_CHECK(grouped.front() != ',');
  std::string digits;
  for (std::size_t i = 0; i < grouped.size(); ++i) {
    const std::size_t fromRight = grouped.size() - i;
    FUZZ_CHECK((grouped[i] == ',') == (fromRight % 4 == 0));
    if (grouped[i] != ',') digits += grouped[i];
  }
  FUZZ_CHECK(digits == ToDecimal(value));
  FUZZ_CHECK(digits == std::to_string(value));
}

void CheckTypedText(std::string_view text, std::uint64_t fallback) {
  const std::optional<std::uint64_t> read = ReadTypedNumber(text);

  const std::uint64_t number = TextToNumber(text, fallback);
  FUZZ_CHECK(number == read.value_or(fallback));
  FUZZ_CHECK(LastValueAdjusted == (number == fallback));

  // A fractional tail and grouping commas before it change nothing.
  std::string tailed(text);
  tailed += ".9";
  FUZZ_CHECK(ReadTypedNumber(tailed) == read);
  const std::size_t dot = std::min(text.find('.'), text.size());
  std::string grouped(text);
  grouped.insert(dot / 2, 1, ',');
  FUZZ_CHECK(ReadTypedNumber(grouped) == read);

  // Clamped into any range, with the maximum winning over a larger minimum.
  const std::uint64_t low = fallback % 100;
  const std::uint64_t high = fallback % 1000;
  const std::uint64_t clamped = TextToNumberInRange(text, fallback, low, high);
  if (low <= high) {
    FUZZ_CHECK(clamped >= low && clamped <= high);
    FUZZ_CHECK(clamped == std::max(low, std::min(high, number)));
  } else {
    FUZZ_CHECK(clamped == high);
  }
  if (read) CheckPrintedFormsReadBack(*read);
}

void CheckPadding(std::string_view text, std::uint16_t width, char fill) {
  const std::string kept = PadLeft(text, width, fill, false);
  FUZZ_CHECK(kept.size() == std::max<std::size_t>(width, text.size()));
  FUZZ_CHECK(kept.ends_with(text));
  FUZZ_CHECK(kept.find_first_not_of(fill) >= kept.size() - text.size());
  const std::string cut = PadLeft(text, width, fill, true);
  FUZZ_CHECK(cut.size() == width);
  FUZZ_CHECK(text.size() >= width ? text.ends_with(cut) : cut == kept);
}

}  // namespace
}  // namespace tamsel

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  std::uint64_t value = 0;
  std::memcpy(&value, data, std::min(size, sizeof value));
  tamsel::CheckTypedText(text, value);
  tamsel::CheckPrintedFormsReadBack(value);
  const auto width = static_cast<std::uint16_t>(value >> 48);
  tamsel::CheckPadding(text, width % 300, size > 0 ? text[0] : '.');
  const auto signedValue = static_cast<std::int64_t>(value);
  FUZZ_CHECK(tamsel::PadNumber(signedValue, width % 30, '0') ==
             tamsel::PadLeft(std::to_string(signedValue), width % 30, '0'));
  return 0;
}
