#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "device/tools/class_description.h"
#include "model/objects/persistent_object.h"

// Builds the object graph that a device description's text describes.
//
// The text has one object a line: the class's registered name, the key, and
// the properties as name=value, each at most once (a number, a pair written
// AxB, or a text in double quotes with \", \\ and \xHH escapes). A child is
// indented two spaces deeper than its parent; '#' starts a comment outside
// a text; blank lines are skipped. One object stands at the top. Objects
// come from the class factory; each takes its children first, then its
// properties, and every property must read back as it was written.
// Serial numbers are cleared, so that the same text always makes the same
// bytes.
struct CompiledDescription {
  std::unique_ptr<MPersistentObject> root;
  // Set when the text is malformed; root is then null.
  std::optional<DescriptionError> error;
};

CompiledDescription CompileDescription(std::string_view text);
