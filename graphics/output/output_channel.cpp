#include "graphics/output/output_channel.h"

GOutputChannel::~GOutputChannel() {
  if (state_ == kInDocument) BaseEnd();
  if (state_ == kOpen) BaseClose();
}

uint16_t GOutputChannel::Open(const RWWString&) {
  if (state_ != kClosed) return kWrongState;
  state_ = kOpen;
  return 0;
}

uint16_t GOutputChannel::Begin() {
  if (state_ == kOpen) state_ = kInDocument;
  return state_ == kInDocument ? 0 : kWrongState;
}

uint16_t GOutputChannel::Checkpoint() { return state_ == kClosed || state_ == kFinished ? kWrongState : 0; }

uint16_t GOutputChannel::WriteString(const RWCString& text, uint32_t& written) {
  written = 0;
  if (state_ == kOpen) {
    if (const uint16_t status = Begin(); status != 0) return status;
  }
  if (state_ != kInDocument) return kWrongState;
  return Write(reinterpret_cast<const uint8_t*>(text.Data()), text.Length(), written);
}

uint16_t GOutputChannel::End() { return BaseEnd(); }

uint16_t GOutputChannel::Close() {
  uint16_t status = 0;
  if (state_ == kInDocument) status = End();
  if (state_ != kOpen) return kWrongState;
  state_ = kClosed;
  return status;
}

uint16_t GOutputChannel::Finish() {
  uint16_t status = 0;
  if (state_ == kInDocument) status = End();
  if (state_ == kOpen) status = Close();
  state_ = kFinished;
  return status;
}

uint16_t GOutputChannel::BaseEnd() {
  if (state_ == kInDocument) state_ = kOpen;
  return state_ == kOpen ? 0 : kWrongState;
}

uint16_t GOutputChannel::BaseClose() {
  if (state_ != kOpen) return kWrongState;
  state_ = kClosed;
  return 0;
}
