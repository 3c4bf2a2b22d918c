#include "device/settings/compact_stream.h"

#include "foundation/virtual_stream.h"
#include "model/objects/model_stream.h"

bool EncodingOfMode(int32_t mode, GCompactEncoding& encoding) {
  if (mode == 0) {
    encoding = GCompactEncoding::k16Bit;
    return true;
  }
  if (mode == 1) {
    encoding = GCompactEncoding::k32Bit;
    return true;
  }
  return false;
}

void GCompactOutput::Signature() {
  for (uint32_t i = 0; i < kCompactSignatureLength; ++i) Byte(kCompactSignatureByte);
}

void GCompactOutput::Byte(uint8_t value) { stream_.PutUCharValue(value); }

void GCompactOutput::Version(uint32_t version) {
  if (encoding_ == GCompactEncoding::k16Bit) {
    stream_.PutUShort(static_cast<uint16_t>(version));
  } else {
    stream_.PutUInt(version);
  }
}

void GCompactOutput::Key(int32_t key) { Version(static_cast<uint32_t>(key)); }

void GCompactOutput::Short(int16_t value) { stream_.PutShort(value); }

void GCompactOutput::UShort(uint16_t value) { stream_.PutUShort(value); }

void GCompactOutput::UInt(uint32_t value) { stream_.PutUInt(value); }

void GCompactOutput::Text(const RWCString& text) { text.SaveTo(stream_); }

void GCompactOutput::Bytes(const uint8_t* bytes, uint32_t count) { stream_.PutUChars(bytes, count); }

uint32_t GCompactOutput::Position() const { return owner_.Position(); }

void GCompactOutput::Seek(uint32_t position) { owner_.Seek(position); }

bool GCompactOutput::IsGood() const { return stream_.IsGood(); }

bool GCompactInput::Signature() {
  for (uint32_t i = 0; i < kCompactSignatureLength; ++i) {
    uint8_t byte = 0;
    if (!Byte(byte) || byte != kCompactSignatureByte) return false;
  }
  return true;
}

bool GCompactInput::Byte(uint8_t& value) {
  const int32_t next = stream_.Get();
  value = next < 0 ? 0 : static_cast<uint8_t>(next);
  return next >= 0;
}

uint32_t GCompactInput::Version() {
  if (encoding_ == GCompactEncoding::k16Bit) return UShort();
  return UInt();
}

int32_t GCompactInput::Key() { return static_cast<int32_t>(Version()); }

int16_t GCompactInput::Short() {
  int16_t value = 0;
  stream_.GetShort(value);
  return IsGood() ? value : 0;
}

uint16_t GCompactInput::UShort() {
  uint16_t value = 0;
  stream_.GetUShort(value);
  return IsGood() ? value : 0;
}

uint32_t GCompactInput::UInt() {
  uint32_t value = 0;
  stream_.GetUInt(value);
  return IsGood() ? value : 0;
}

RWCString GCompactInput::Text() {
  RWCString text;
  text.RestoreFrom(stream_);
  return IsGood() ? text : RWCString();
}

bool GCompactInput::Bytes(uint8_t* bytes, uint32_t count) {
  if (count == 0) return IsGood();
  if (!stream_.CanHold(count, 1)) return false;
  stream_.GetUChars(bytes, count);
  return IsGood();
}

void GCompactInput::SkipTo(uint32_t position) {
  while (Position() < position && stream_.Get() >= 0) {
  }
}

uint32_t GCompactInput::Position() const { return owner_.Position(); }

bool GCompactInput::IsGood() const { return stream_.IsGood(); }
