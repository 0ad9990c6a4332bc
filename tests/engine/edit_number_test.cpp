// Reading the settings boxes' texts as numbers, as tables of cases.
#include "engine/edit_number.h"

#include <gtest/gtest.h>

namespace kelvaro {
namespace {

TEST(EditNumber, ReadEditInteger) {
  struct Case {
    std::string text;
    int32_t expected;
  } cases[] = {
      {"3", 3},
      {"\xA3\xB3", 3},  // full-width 3
      {" 3a", 3},       // blank, digit, letter
      {"abc", 0},
      {"", 0},
      {"-2", -2},
      {"\xA3\xAD\xA3\xB2", -2},          // full-width minus and 2
      {"\xA3\xAB\xA3\xB7", 7},           // full-width plus and 7
      {"\xA1\xA1\xA3\xB1\xA3\xB2", 12},  // ideographic space, then full-width 12
      {"\t\r\n 42", 42},
      {"+-1", 0},  // one sign only
      {"- 1", 0},
      {"1-2", 1},
      {"007", 7},
      {"\xA1\xAB"
       "5",
       0},  // wave dash folds to '~', not a blank
      {"\xA1\xEE"
       "5",
       0},  // star folds to '*'
      {"\xD6\xD0"
       "5",
       0},  // any other character stops the read
      {"2147483647", 2147483647},
      {"2147483648", 2147483647},  // clamped, not wrapped
      {"-2147483648", -2147483647 - 1},
      {"-2147483649", -2147483647 - 1},
      {"99999999999999999999999", 2147483647},
      {"-99999999999999999999999", -2147483647 - 1},
      {"4294967295", 2147483647},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReadEditInteger(c.text), c.expected) << '"' << c.text << '"';
  }
}

TEST(EditNumber, NormaliseEditText) {
  struct Case {
    std::string text, expected;
  } cases[] = {
      {"1-2", "1"},
      {"0", ""},
      {"007", "7"},
      {"", ""},
      {"-0", ""},
      {"  -15x", "-15"},
      {"+8", "8"},
      {"abc", ""},
      {"2147483648", "2147483647"},
      {"-2147483649", "-2147483648"},
      {"9223372036854775807", "2147483647"},
      {"9223372036854775808", "2147483647"},  // beyond 64 bits saturates
      {"-9223372036854775809", "-2147483648"},
      {"123456789012345678901234567890", "2147483647"},
      {"\xA3\xB3", ""},  // the box's own rule does not fold full-width forms
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NormaliseEditText(c.text), c.expected) << '"' << c.text << '"';
  }
}

}  // namespace
}  // namespace kelvaro
