#include "graphics/device/command_sink.h"

#include <utility>

void GCommandSink::Signal(int32_t argument) {
  if (inner_ != nullptr) inner_->Signal(argument);
}

int32_t GCommandSink::Deliver(int32_t first, int32_t second, int32_t third, int32_t fourth) {
  return inner_ != nullptr ? inner_->Deliver(first, second, third, fourth) : 0;
}

int32_t GCommandSink::Attach(std::unique_ptr<GInnerSink> inner, int32_t argument) {
  inner_ = std::move(inner);
  return inner_ != nullptr ? inner_->Attach(*this, argument) : 0;
}

uint16_t GCommandSink::BeforeCommand(const GCommand* command) {
  if (pending_ == nullptr) return GetStatus();
  if (pending_ == command) pending_ = nullptr;
  return 0;
}

uint16_t GCommandSink::GetStatus() { return inner_ != nullptr ? inner_->GetStatus() : 0; }

int32_t GCommandSink::Poll(int32_t argument) {
  if (inner_ == nullptr) return kFinished;
  if (inner_->Matches(argument)) return kWaiting;
  inner_->GetStatus();
  inner_.reset();
  return kFinished;
}

GInnerSink* GCommandSink::Find(int32_t argument) {
  return inner_ != nullptr && inner_->Matches(argument) ? inner_.get() : nullptr;
}
