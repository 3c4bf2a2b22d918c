#pragma once

#include <cstdint>
#include <vector>

#include "pclxl/xl_stream.h"

// A flush sink for tests: keeps every byte it is handed and the count of
// each call, and answers a chosen value.
class CollectingSink : public XLFlushSink {
 public:
  int32_t Flush(XLStream& stream, uint32_t userValue, const uint8_t* bufferStart, int32_t count) override {
    streams.push_back(&stream);
    userValues.push_back(userValue);
    counts.push_back(count);
    bytes.insert(bytes.end(), bufferStart, bufferStart + count);
    return answer;
  }

  std::vector<uint8_t> bytes;
  std::vector<int32_t> counts;
  std::vector<uint32_t> userValues;
  std::vector<XLStream*> streams;
  int32_t answer = 0;
};

// A stream with its sink; Output flushes and answers everything written.
class SinkStream {
 public:
  explicit SinkStream(int32_t bufferSize = 8192) : stream_(XLCreateStream(bufferSize, &sink_, 0)) {}

  XLStream* get() const { return stream_.get(); }
  operator XLStream*() const { return stream_.get(); }
  XLStream* operator->() const { return stream_.get(); }
  CollectingSink& sink() { return sink_; }

  const std::vector<uint8_t>& Output() {
    XLFlush(stream_.get());
    return sink_.bytes;
  }

 private:
  CollectingSink sink_;
  XLStreamPtr stream_;
};
