#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "postscript/library/pslib_context.h"

// An output sink that keeps every block it is given, for tests of the
// output context.
class StringSink : public PSLIBSink {
 public:
  void Write(const uint8_t* bytes, uint32_t count) override {
    blocks.emplace_back(reinterpret_cast<const char*>(bytes), count);
    text.append(reinterpret_cast<const char*>(bytes), count);
  }

  std::string text;
  std::vector<std::string> blocks;
};

// A context writing into its own sink; Text() flushes and answers
// everything written so far.
struct SinkContext {
  StringSink sink;
  PSLIBContext context{&sink};

  const std::string& Text() {
    context.Flush();
    return sink.text;
  }
};
