#pragma once

#include <ostream>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"

// GoogleTest prints the class library's strings through these in failed
// assertions, as quoted text instead of the bytes of the string object.
// Bytes and units outside printable ASCII are written as \xNN and \uNNNN.
// A test that compares strings includes this header.
void PrintTo(const RWCString& text, std::ostream* out);
void PrintTo(const RWWString& text, std::ostream* out);
