#include <gtest/gtest.h>
#include <regex.h>

#include <random>
#include <string>

#include "foundation/regex.h"
#include "foundation/rw_cstring.h"

namespace {

// Patterns on which leftmost greedy backtracking and POSIX leftmost-longest
// matching agree: neighbouring repeated elements never compete for the same
// characters except where giving back from the greedy side is the longest
// choice anyway.
const char* const kPatterns[] = {
    "abc",     "a.c",    "[ab]+c", "a+",   "ab*",     "b*c",   "^ab*",   "c$",     "^a*$",
    "a[^a]*a", "[a-c]+", "a*b+c*", "ab?c", "a*a",     "a?a",   "[ab]*b", "a.*b",   "x*-",
    "[^-]+-",  "-[a-b]", "b+a+",   "c?b+", "^[^c]*c", "a+b?$", "a*ba*",  "[bc]+$", ".+",
};

TEST(GRegexPosix, MatchesAgreeWithRegexec) {
  std::mt19937 random(1135);
  const std::string alphabet = "abc-x";
  for (const char* pattern : kPatterns) {
    SCOPED_TRACE(pattern);
    GRegex ours(pattern);
    ASSERT_EQ(ours.TakeStatus(), GRegex::kValid);
    regex_t posix;
    ASSERT_EQ(regcomp(&posix, pattern, REG_EXTENDED), 0);
    for (int round = 0; round < 300; ++round) {
      std::string text(random() % 13, ' ');
      for (char& c : text) c = alphabet[random() % alphabet.size()];
      const uint32_t start = text.empty() ? 0 : random() % (text.size() + 1);
      SCOPED_TRACE("text \"" + text + "\" from " + std::to_string(start));
      regmatch_t match;
      const bool found = regexec(&posix, text.c_str() + start, 1, &match, 0) == 0;
      uint32_t length = 0;
      const uint32_t position = ours.Search(RWCString(text.c_str()), &length, start);
      if (!found) {
        EXPECT_EQ(position, RW_NPOS);
        continue;
      }
      EXPECT_EQ(position, start + static_cast<uint32_t>(match.rm_so));
      EXPECT_EQ(length, static_cast<uint32_t>(match.rm_eo - match.rm_so));
    }
    regfree(&posix);
  }
}

}  // namespace
