#pragma once

#include <string>
#include <vector>

#include "foundation/error.h"

// Installs an error handler that records each raised error and returns, for
// the life of the object; the previous handler comes back afterwards.
class RecordingErrorHandler {
 public:
  struct Record {
    std::string kind;  // "bounds", "internal", "file", "stream", "external", "allocation" or "error"
    std::string text;
  };

  RecordingErrorHandler();
  ~RecordingErrorHandler();
  RecordingErrorHandler(const RecordingErrorHandler&) = delete;
  RecordingErrorHandler& operator=(const RecordingErrorHandler&) = delete;

  const std::vector<Record>& Records() const { return records_; }
  size_t Count() const { return records_.size(); }
  // The texts raised so far, in order.
  std::vector<std::string> Texts() const;
  void Clear() { records_.clear(); }

 private:
  static void Handle(const GError* error);

  GErrorHandler previous_;
  std::vector<Record> records_;
};
