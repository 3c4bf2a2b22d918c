#include "foundation/error.h"

#include <atomic>
#include <cstring>

#include "platform/process_hooks.h"

namespace {

std::atomic<GErrorHandler> installedHandler{DefaultErrorHandler};

}  // namespace

GError::GError(const char* text) : text_(nullptr) { Adopt(text); }

GError::GError(const GMessage& message) : GError(message.Text()) {}

GError::GError(const char* text, bool ownsText) : text_(text) {
  if (ownsText) Adopt(text);
}

GError::GError(const GError& other) : text_(other.text_) {
  if (other.OwnsText()) Adopt(other.text_);
}

GError::~GError() = default;

void GError::Adopt(const char* text) {
  const size_t size = std::strlen(text) + 1;
  owned_ = std::make_unique<char[]>(size);
  std::memcpy(owned_.get(), text, size);
  text_ = owned_.get();
}

GAllocationError::GAllocationError(uint32_t requestedSize)
    : GError(MsgCoreNoMem()->format, false), requestedSize_(requestedSize) {}

GFileError::GFileError(const char* text, std::FILE* file, Kind kind) : GExternalError(text), file_(file), kind_(kind) {}

GFileError::GFileError(const GMessage& message, std::FILE* file, Kind kind)
    : GExternalError(message), file_(file), kind_(kind) {}

GStreamError::GStreamError(const char* text, const GStreamStateAdapter* stream)
    : GExternalError(text), stream_(stream) {}

GStreamError::GStreamError(const GMessage& message, const GStreamStateAdapter* stream)
    : GExternalError(message), stream_(stream) {}

GErrorHandler SetErrorHandler(GErrorHandler handler) {
  return installedHandler.exchange(handler ? handler : DefaultErrorHandler);
}

void DefaultErrorHandler(const GError* error) {
  platform::ShowFatalMessage("Fatal Error", error->Text());
  platform::EndProcess(1);
}

void RaiseError(const GError& error) { installedHandler.load()(&error); }
void RaiseAllocationError(const GAllocationError& error) { RaiseError(error); }
void RaiseExternalError(const GExternalError& error) { RaiseError(error); }
void RaiseFileError(const GFileError& error) { RaiseError(error); }
void RaiseStreamError(const GStreamError& error) { RaiseError(error); }
void RaiseInternalError(const GInternalError& error) { RaiseError(error); }
void RaiseBoundsError(const GBoundsError& error) { RaiseError(error); }

bool CheckIndex(uint32_t index, uint32_t count) {
  if (index < count) return true;
  if (index == 0xFFFFFFFFu) {
    RaiseBoundsError(GBoundsError(GMessage(MsgNPosIndex())));
  } else {
    RaiseBoundsError(GBoundsError(GMessage(MsgIndexErr(), index, count)));
  }
  return false;
}
