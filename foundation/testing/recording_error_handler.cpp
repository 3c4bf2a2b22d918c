#include "foundation/testing/recording_error_handler.h"

namespace {

std::vector<RecordingErrorHandler::Record>* activeRecords = nullptr;

std::string KindOf(const GError* error) {
  if (dynamic_cast<const GBoundsError*>(error)) return "bounds";
  if (dynamic_cast<const GInternalError*>(error)) return "internal";
  if (dynamic_cast<const GFileError*>(error)) return "file";
  if (dynamic_cast<const GStreamError*>(error)) return "stream";
  if (dynamic_cast<const GExternalError*>(error)) return "external";
  if (dynamic_cast<const GAllocationError*>(error)) return "allocation";
  return "error";
}

}  // namespace

RecordingErrorHandler::RecordingErrorHandler() : previous_(SetErrorHandler(Handle)) { activeRecords = &records_; }

RecordingErrorHandler::~RecordingErrorHandler() {
  SetErrorHandler(previous_);
  activeRecords = nullptr;
}

std::vector<std::string> RecordingErrorHandler::Texts() const {
  std::vector<std::string> texts;
  for (const Record& record : records_) texts.push_back(record.text);
  return texts;
}

void RecordingErrorHandler::Handle(const GError* error) {
  if (activeRecords != nullptr) activeRecords->push_back({KindOf(error), error->Text()});
}
