#include "postscript/library/pslib_context.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <optional>

namespace {

std::span<const uint8_t> Bytes(std::string_view text) {
  return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

// Hex lines: the wrapped form breaks once more than 76 digits are on the
// line, the continued form once 78 are.
constexpr uint32_t kWrappedLineDigits = 78;
constexpr uint32_t kWordLineDigits = 76;

}  // namespace

PSLIBContext::PSLIBContext(PSLIBSink* sink) : buffer_(kCapacity), sink_(sink) {}

void PSLIBContext::Reset() {
  downloadedProcsets_ = 0;
  begunProcsets_ = 0;
  begunDepth_ = 0;
  used_ = 0;
  halftonePending_ = false;
  halftoneEnabled_ = false;
  screenFrequency_ = kDefaultScreenFrequency;
  screenAngle_ = kDefaultScreenAngle;
  mirror_ = false;
  negative_ = false;
  binaryMode_ = false;
  ascii85Mode_ = false;
  pageStringsSet_ = false;
  cmyk_ = false;
  hexColumn_ = 0;
  title_.clear();
  orientation_ = kPortrait;
  pageDevicePending_ = false;
  // Every entry's pending flag goes; the values stay but for the page
  // size, which the next page sets afresh.
  PageDevice& d = pageDevice_;
  for (bool* pending : {&d.deferredMediaSelection.pending, &d.hwResolution.pending, &d.preRenderingEnhance.pending,
                        &d.pageSize.pending, &d.mediaType.pending, &d.manualFeed.pending, &d.mediaPosition.pending,
                        &d.outputBin.pending, &d.numCopies.pending, &d.collate.pending, &d.duplex.pending,
                        &d.postRenderingEnhance.pending, &d.econoMode.pending, &d.extendedPrintArea.pending}) {
    *pending = false;
  }
  d.pageSize.value = {};
  d.tumbleSwap = false;
  levelCheckPending_ = false;
  jobTimeout_.pending = false;
  waitTimeout_.pending = false;
  inData_ = false;
  ascii85_.Clear();
}

// Output.

uint16_t PSLIBContext::Flush() {
  if (sink_ == nullptr) return kNoSink;
  sink_->Write(buffer_.data(), used_);
  used_ = 0;
  return 0;
}

void PSLIBContext::Append(std::span<const uint8_t> bytes) {
  std::copy(bytes.begin(), bytes.end(), buffer_.begin() + used_);
  used_ += static_cast<uint32_t>(bytes.size());
}

uint16_t PSLIBContext::WriteText(std::string_view text) {
  if (text.size() <= Free()) {
    Append(Bytes(text));
    return 0;
  }
  if (const uint16_t status = Flush(); status != 0) return status;
  return WriteBytes(Bytes(text));
}

uint16_t PSLIBContext::WriteBytes(std::span<const uint8_t> bytes) {
  while (!bytes.empty()) {
    if (Free() == 0) {
      if (const uint16_t status = Flush(); status != 0) return status;
    }
    const size_t piece = std::min<size_t>(bytes.size(), Free());
    Append(bytes.first(piece));
    bytes = bytes.subspan(piece);
  }
  return 0;
}

uint16_t PSLIBContext::WriteDataBytes(std::span<const uint8_t> bytes) {
  if (!binaryMode_) return WriteBytes(bytes);
  std::string quoted;
  AppendTBCP(bytes, quoted);
  return WriteBytes(Bytes(quoted));
}

// Numbers.

uint16_t PSLIBContext::EmitInt(int32_t value) {
  std::array<char, 16> text{};
  if (std::snprintf(text.data(), text.size(), "%d ", value) < 0) {
    WriteText(kNumberErrorText);
    return kNumberError;
  }
  return WriteText(text.data());
}

uint16_t PSLIBContext::EmitReal(float value) { return WriteReal(value, DocumentReal); }

uint16_t PSLIBContext::EmitOperandReal(float value) { return WriteReal(value, OperandReal); }

uint16_t PSLIBContext::WriteReal(float value, std::string (*shape)(const PSReal&)) {
  const std::optional<PSReal> real = SplitReal(value);
  if (!real) {
    WriteText(kNumberErrorText);
    return kNumberError;
  }
  return WriteText(shape(*real));
}

uint16_t PSLIBContext::EmitOperator(uint32_t code, bool lineEnd) {
  // The length runs to the highest byte that is not zero.
  size_t length = 0;
  for (uint32_t rest = code; rest != 0; rest >>= 8) ++length;
  std::string text;
  for (size_t i = 0; i < length; ++i) text += static_cast<char>((code >> (8 * i)) & 0xFF);
  if (code != 0 || lineEnd) text += lineEnd ? "\r\n" : " ";
  return WriteText(text);
}

// Hex.

uint16_t PSLIBContext::EmitHexString(std::span<const uint8_t> bytes) {
  std::string text = "<";
  AppendHex(bytes, text);
  text += '>';
  return WriteText(text);
}

uint16_t PSLIBContext::EmitIntArray(std::span<const int16_t> values) {
  if (const uint16_t status = WriteText("["); status != 0) return status;
  for (const int16_t value : values) {
    if (const uint16_t status = EmitOperand(value); status != 0) return status;
  }
  return WriteText("]");
}

// Digits go out in lines of up to limit digits, counting from column; a
// line that reaches the limit ends with CR LF.
uint16_t PSLIBContext::WriteHexLines(std::span<const uint8_t> bytes, uint32_t& column, uint32_t limit) {
  std::string text;
  text.reserve(bytes.size() * 2 + (bytes.size() * 2 / limit + 1) * 2);
  while (!bytes.empty()) {
    const size_t take = std::min<size_t>(bytes.size(), (limit - column + 1) / 2);
    AppendHex(bytes.first(take), text);
    bytes = bytes.subspan(take);
    column += static_cast<uint32_t>(2 * take);
    if (column >= limit) {
      text += "\r\n";
      column = 0;
    }
  }
  return WriteBytes(Bytes(text));
}

uint16_t PSLIBContext::WriteHexWrapped(std::span<const uint8_t> bytes) {
  uint32_t column = 0;
  return WriteHexLines(bytes, column, kWrappedLineDigits);
}

uint16_t PSLIBContext::WriteHexContinued(std::span<const uint8_t> bytes) {
  return WriteHexLines(bytes, hexColumn_, kWrappedLineDigits);
}

uint16_t PSLIBContext::EmitHexBlock(std::span<const uint8_t> bytes) {
  if (const uint16_t status = WriteText("<"); status != 0) return status;
  if (const uint16_t status = WriteHexWrapped(bytes); status != 0) return status;
  return WriteText("> ");
}

uint16_t PSLIBContext::EmitHexWords(std::span<const uint16_t> words) {
  std::vector<uint8_t> bytes;
  bytes.reserve(words.size() * 2);
  for (const uint16_t word : words) {
    bytes.push_back(static_cast<uint8_t>(word >> 8));
    bytes.push_back(static_cast<uint8_t>(word & 0xFF));
  }
  if (const uint16_t status = WriteText("<"); status != 0) return status;
  uint32_t column = 0;
  if (const uint16_t status = WriteHexLines(bytes, column, kWordLineDigits); status != 0) return status;
  return WriteText("> ");
}

// Data blocks. Hex data continues the hex column so that its lines stay
// short, as the document structure wants of every line.

uint16_t PSLIBContext::BeginData(bool withOpeningBracket) {
  inData_ = true;
  ascii85_.Clear();
  hexColumn_ = 0;
  if (binaryMode_) return 0;
  std::string text = "\r\n";
  if (withOpeningBracket) text += ascii85Mode_ ? "<~" : "<";
  return WriteText(text);
}

uint16_t PSLIBContext::WriteData(std::span<const uint8_t> bytes) {
  if (binaryMode_) return WriteDataBytes(bytes);
  if (ascii85Mode_) {
    std::string text;
    ascii85_.Encode(bytes, text);
    return WriteBytes(Bytes(text));
  }
  return WriteHexContinued(bytes);
}

uint16_t PSLIBContext::EndData(int32_t compressionMode, bool withClosingBracket) {
  std::string text;
  if (withClosingBracket) {
    if (binaryMode_) {
      if (compressionMode == kRunLength) text += '\x80';
    } else if (ascii85Mode_) {
      ascii85_.Finish(text);
    } else {
      text += '>';
    }
  }
  ascii85_.Clear();
  hexColumn_ = 0;
  inData_ = false;
  text += "\r\n";
  return WriteText(text);
}
