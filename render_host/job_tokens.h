#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "render_host/job_description.h"

// One word or quoted string of a job file's line.
struct GJobToken {
  std::string text;
  bool quoted = false;
};

// Splits a line into tokens: words separated by spaces or tabs, and strings
// in double quotes (UTF-8, with the escapes \" \\ \n \t and \u{hex}). A '#'
// that starts a token and is followed by a space, a tab or the end of the
// line starts a comment that runs to the end of the line. Answers an empty
// message, or what is wrong.
std::string SplitJobLine(std::string_view line, std::vector<GJobToken>& tokens);

// The arguments of one directive, read left to right. Each read answers
// false when the next token is missing or not of the kind asked for, and
// then Error() says what was expected where.
class GJobArguments {
 public:
  // The tokens after the directive's name.
  GJobArguments(std::vector<GJobToken> tokens, std::string_view directive);

  bool AtEnd() const { return next_ == tokens_.size(); }
  // The next token is a plain word equal to word; taken when it is.
  bool TakeWord(std::string_view word);
  // A plain word.
  bool Word(std::string_view what, std::string& word);
  // A quoted string.
  bool String(std::string_view what, std::string& text);
  // A number with an optional unit (pt, mm, cm or in; points without one)
  // in points, within +-100000 points; positive ones must be above 0.
  bool Length(std::string_view what, double& points);
  bool PositiveLength(std::string_view what, double& points);
  bool Point(std::string_view what, GJobPoint& point);
  // The top left corner, the width and the height of a box.
  bool Box(GJobPoint& corner, double& width, double& height);
  // A whole number from lowest to highest.
  bool Integer(std::string_view what, int32_t lowest, int32_t highest, int32_t& value);
  // #rrggbb.
  bool Colour(std::string_view what, GJobColour& colour);
  // A word that is one of choices; index answers which.
  bool Choice(std::string_view what, std::initializer_list<std::string_view> choices, size_t& index);
  // Fails unless every token was read.
  bool End();

  const std::string& Error() const { return error_; }

 private:
  const GJobToken* Next();
  bool Fail(std::string_view expected);

  std::vector<GJobToken> tokens_;
  size_t next_ = 0;
  std::string directive_;
  std::string error_;
};
