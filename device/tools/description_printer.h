#pragma once

#include <string>

#include "model/objects/persistent_object.h"

// Writes an object graph back as a device description: the compiler's line
// form, with every property of each object in its class's order, children
// two spaces deeper. Answers an error text (and leaves text as far as it
// got) when the graph holds an object of a class the description does not
// know, or something its class cannot show.
std::string PrintDescription(MPersistentObject& root, std::string& text);
