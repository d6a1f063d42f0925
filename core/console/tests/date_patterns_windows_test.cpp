// Windows' locale patterns in the program's own pattern letters.
#include <gtest/gtest.h>

#include "core/console/os_clock.h"

namespace tamsel::os {
namespace {

TEST(WindowsLocalePatterns, BecomeTheProgramsLetters) {
  const struct {
    const char* pattern;
    const char* separator;
    char programSeparator;
    const char* expected;
  } cases[] = {
      {"M/d/yyyy", "/", '/', "mm/dd/yyyy"},        // en-US
      {"d.M.yyyy", ".", '/', "dd/mm/yyyy"},        // de-DE
      {"yyyy-MM-dd", "-", '/', "yyyy/mm/dd"},      // sv-SE
      {"dd-MMM-yy", "-", '/', "dd/mmm/yyyy"},
      {"d. M. yyyy", ". ", '/', "dd/mm/yyyy"},     // a separator of two characters
      {"yyyy'年'M'月'd'日'", "/", '/', "yyyy年mm月dd日"},  // quoted literals stay text
      {"h:mm:ss tt", ":", ':', "hh:nn:ss"},        // en-US: the program shows 00 to 23
      {"tt h:mm:ss", ":", ':', "hh:nn:ss"},
      {"HH:mm:ss", ":", ':', "hh:nn:ss"},
      {"H.mm.ss", ".", ':', "hh:nn:ss"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FromWindowsPattern(c.pattern, c.separator, c.programSeparator), c.expected)
        << c.pattern;
  }
}

}  // namespace
}  // namespace tamsel::os
