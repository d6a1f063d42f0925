#include "core/cmdline/substring_index.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace tamsel {
namespace {

// Texts over few letters repeat themselves in every way, which is where the
// construction has to split states; every answer must agree with a plain
// search of the whole text.
TEST(SubstringIndex, AgreesWithAPlainSearch) {
  std::mt19937 random(12);
  for (const std::string& alphabet : {std::string("ab"), std::string("abc"),
                                     std::string("\x00\xff z", 4)}) {
    TSubstringIndex index;
    std::string text;
    auto piece = [&] {
      std::string s(random() % 6, ' ');
      for (char& c : s) c = alphabet[random() % alphabet.size()];
      return s;
    };
    for (int step = 0; step < 3000; ++step) {
      const std::string asked = piece();
      ASSERT_EQ(index.Contains(asked), text.find(asked) != std::string::npos)
          << "text '" << text << "' asked '" << asked << "'";
      const std::string added = piece();
      index.Append(added);
      text += added;
    }
  }
}

}  // namespace
}  // namespace tamsel
