#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "postscript/library/ps_encoders.h"

// Where the output context delivers its full buffers: the generator, which
// hands them to the job's output channel. Blocks are at most
// PSLIBContext::kCapacity bytes.
class PSLIBSink {
 public:
  virtual void Write(const uint8_t* bytes, uint32_t count) = 0;

 protected:
  ~PSLIBSink() = default;
};

// The byte-level half of the PostScript generator: an 8192-byte buffer in
// front of a sink, the writers of text, numbers, operators, hex, ASCII85
// and binary data, and (pslib_document.cpp) the document structure around
// the pages: header comments, prolog resources, setup, the page device
// dictionary, page header and trailer, and the document trailer. Settings
// are recorded by setters as pending entries and written by the next
// setup that consumes them.
//
// Every writer answers 0, kNoSink when the buffer could not be delivered
// (what did not fit is dropped) or kNumberError for a number PostScript
// cannot read; the document writers ignore the status of their single
// writes.
class PSLIBContext {
 public:
  static constexpr uint32_t kCapacity = 8192;
  static constexpr uint16_t kNoSink = 5;
  static constexpr uint16_t kNumberError = 6;
  static constexpr uint16_t kNoProcset = 4;
  // Written in place of a number that cannot be written.
  static constexpr std::string_view kNumberErrorText = "\r\n%% PSLIB error in converting GReal to asc\r\n";

  static constexpr uint16_t kDefaultScreenFrequency = 1060;
  static constexpr uint16_t kDefaultScreenAngle = 450;
  // Media positions that select no tray: stored, never sent.
  static constexpr int16_t kNoMediaPosition = 254;
  static constexpr int16_t kAnyMediaPosition = 255;
  // The procedure sets: the drawing procedures, the short aliases, and the
  // index that sends the drawing procedures once more.
  static constexpr uint32_t kStandardProcset = 0;
  static constexpr uint32_t kAliasProcset = 1;
  static constexpr uint32_t kStandardProcsetAgain = 2;
  // Compression mode of a data block whose end writes the run-length
  // end-of-data byte in binary mode.
  static constexpr int32_t kRunLength = 1;
  // The operator of the drawing procedures that ends a page.
  static constexpr uint32_t kShowPage = 0x5341;

  enum Orientation : uint8_t { kPortrait = 0, kLandscape = 1, kReversePortrait = 2, kReverseLandscape = 3 };

  explicit PSLIBContext(PSLIBSink* sink);
  PSLIBContext(const PSLIBContext&) = delete;
  PSLIBContext& operator=(const PSLIBContext&) = delete;

  // Back to a fresh job; keeps the page and setup strings, the error
  // handler and rotated-media flags and the page count.
  void Reset();

  // Output.
  uint16_t Flush();
  // Text that fits the free space goes in without a flush; longer text
  // flushes first and goes in pieces of the buffer's size.
  uint16_t WriteText(std::string_view text);
  uint16_t WriteBytes(std::span<const uint8_t> bytes);
  // Binary data: TBCP-quoted in binary mode, as it stands otherwise.
  uint16_t WriteDataBytes(std::span<const uint8_t> bytes);

  // Numbers, each followed by one blank.
  uint16_t EmitInt(int32_t value);
  uint16_t EmitShort(int32_t value) { return EmitInt(static_cast<int16_t>(value)); }
  uint16_t EmitUShort(int32_t value) { return EmitInt(static_cast<uint16_t>(value)); }
  uint16_t EmitOperand(int32_t value) { return EmitInt(value); }
  uint16_t EmitReal(float value);
  uint16_t EmitOperandReal(float value);
  // An operator of up to four characters packed first-character-low
  // ("AS" is 0x5341), then CR LF or one blank; code 0 writes only the line
  // end, when asked.
  uint16_t EmitOperator(uint32_t code, bool lineEnd);

  // Hex.
  uint16_t EmitHexString(std::span<const uint8_t> bytes);
  uint16_t EmitIntArray(std::span<const int16_t> values);
  // Lines of digits that break after more than 76 digits; the last partial
  // line has no line end.
  uint16_t WriteHexWrapped(std::span<const uint8_t> bytes);
  // As wrapped, counting from the hex column so that calls fill 78-digit
  // lines together.
  uint16_t WriteHexContinued(std::span<const uint8_t> bytes);
  uint16_t EmitHexBlock(std::span<const uint8_t> bytes);
  uint16_t EmitHexWords(std::span<const uint16_t> words);
  void ClearHexColumn() { hexColumn_ = 0; }

  // Data blocks: the bytes of an image or pattern, TBCP-quoted in binary
  // mode, else ASCII85 or hex, between an optional opening and closing
  // bracket.
  uint16_t BeginData(bool withOpeningBracket);
  uint16_t WriteData(std::span<const uint8_t> bytes);
  uint16_t EndData(int32_t compressionMode, bool withClosingBracket);
  bool IsInData() const { return inData_; }

  // Settings of the page device and the document (pslib_document.cpp).
  void SetDeferredMediaSelection(bool deferred);
  void SetResolution(int16_t x, int16_t y);
  void SetPreRenderingEnhance(int16_t level);
  // Ordered by the orientation: landscape pages get the larger side as
  // width unless rotated media keeps every page portrait-shaped. Pending
  // only when the stored pair changes.
  void SetPageSize(int16_t width, int16_t height);
  void SetMediaType(std::string_view name);
  void SetManualFeed(bool manual);
  void SetMediaPosition(int16_t position);
  // Recorded and never written: the language has no output-bin entry the
  // printers agree on.
  void SetOutputBin(int16_t value, int16_t kind);
  void SetNumCopies(int16_t copies);
  void SetCollate(bool collate);
  void SetDuplex(int16_t mode);
  void SetTumbleSwap();
  void SetPostRenderingEnhance(int16_t level);
  void SetEconoMode(int16_t value);
  void SetExtendedPrintArea(bool extended);
  void SetOrientation(uint8_t orientation);
  void SetErrorHandlerFlag(bool send);
  void SetJobTimeout(int16_t seconds);
  void SetWaitTimeout(int16_t seconds);
  void SetRotatedMedia(bool rotated) { rotatedMedia_ = rotated; }
  void SetMirror(bool mirror) { mirror_ = mirror; }
  void SetNegative(bool negative) { negative_ = negative; }
  void SetBinaryMode(bool binary) { binaryMode_ = binary; }
  void SetASCII85(bool ascii85) { ascii85Mode_ = ascii85; }
  void SetHalftone(bool enabled);
  void SetScreenAngle(uint16_t tenths) { screenAngle_ = tenths; }
  void SetScreenFrequency(uint16_t tenths) { screenFrequency_ = tenths; }
  void SetTitle(std::string_view title) { title_ = title; }
  void SetPageStrings(const std::array<std::string, 6>& strings);
  void SetSetupString1(std::string_view text);
  void SetSetupString2(std::string_view text);
  void SetCMYK(bool cmyk) { cmyk_ = cmyk; }
  void SetImageDataLength(uint32_t bytes) { imageDataLength_ = bytes; }
  void SetRasterOperation(uint16_t code) { rasterOperation_ = code; }

  // The document structure (pslib_document.cpp). Ctrl-D ends the job on
  // printers that take it as the end-of-job byte.
  void WriteDocumentHeader(bool withCtrlD);
  void DownloadProcset(uint32_t index);
  void BeginProcset(uint32_t index);
  void EndProcset(uint32_t index);
  // The name of set 0 or 1; kNoProcset and an empty name otherwise.
  uint16_t ProcsetName(uint32_t index, std::string& name) const;
  void WriteSetPageDevice();
  void WriteHalftone();
  void WritePageStrings();
  void WriteColorModel();
  void WritePageHeader();
  void WritePageTrailer();
  void WriteDocumentTrailer(bool withCtrlD);

  // What the document writers and the generator read back.
  bool IsBinaryMode() const { return binaryMode_; }
  bool IsASCII85Mode() const { return ascii85Mode_; }
  bool IsCMYK() const { return cmyk_; }
  bool IsMirror() const { return mirror_; }
  bool IsNegative() const { return negative_; }
  bool IsRotatedMedia() const { return rotatedMedia_; }
  bool SendsErrorHandler() const { return errorHandler_; }
  bool IsPageDevicePending() const { return pageDevicePending_; }
  uint8_t GetOrientation() const { return orientation_; }
  int32_t PageCount() const { return pageCount_; }
  uint32_t UsedBytes() const { return used_; }
  uint32_t DownloadedProcsets() const { return downloadedProcsets_; }
  uint32_t BegunProcsets() const { return begunProcsets_; }
  uint16_t ScreenFrequency() const { return screenFrequency_; }
  uint16_t ScreenAngle() const { return screenAngle_; }
  uint16_t RasterOperation() const { return rasterOperation_; }
  uint32_t ImageDataLength() const { return imageDataLength_; }
  const std::string& Title() const { return title_; }

 private:
  template <typename T>
  struct Entry {
    bool pending = false;
    T value{};
  };
  struct Pair {
    int16_t first = 0;
    int16_t second = 0;
    bool operator==(const Pair&) const = default;
  };
  struct SetupString {
    bool set = false;
    std::string text;
  };
  // The page device entries in the order the dictionary lists them.
  struct PageDevice {
    Entry<bool> deferredMediaSelection;
    Entry<Pair> hwResolution;
    Entry<int16_t> preRenderingEnhance;
    Entry<Pair> pageSize;
    Entry<std::string> mediaType;
    Entry<bool> manualFeed;
    Entry<int16_t> mediaPosition;
    Entry<Pair> outputBin;
    Entry<int16_t> numCopies;
    Entry<bool> collate;
    Entry<int16_t> duplex;
    bool tumbleSwap = false;
    Entry<int16_t> postRenderingEnhance;
    Entry<int16_t> econoMode;
    Entry<bool> extendedPrintArea;
  };

  uint32_t Free() const { return kCapacity - used_; }
  // Copies what fits; the caller has made room.
  void Append(std::span<const uint8_t> bytes);
  uint16_t WriteReal(float value, std::string (*shape)(const PSReal&));
  uint16_t WriteHexLines(std::span<const uint8_t> bytes, uint32_t& column, uint32_t limit);
  template <typename T>
  void MakePending(Entry<T>& entry, T value);
  void AppendPageDeviceEntries(std::string& text);
  std::string DuplexText() const;
  bool IsLandscape() const { return orientation_ == kLandscape || orientation_ == kReverseLandscape; }
  void WriteUserParameter(Entry<int16_t>& entry, const char* name);
  void WriteLevelCheck();
  void SendProcset(uint32_t row);

  uint32_t downloadedProcsets_ = 0;
  uint32_t begunProcsets_ = 0;
  std::array<uint32_t, 3> begunStack_{};
  uint32_t begunDepth_ = 0;
  uint32_t imageDataLength_ = 0;
  bool halftonePending_ = false;
  uint16_t screenFrequency_ = kDefaultScreenFrequency;
  uint16_t screenAngle_ = kDefaultScreenAngle;
  bool halftoneEnabled_ = false;
  bool mirror_ = false;
  bool negative_ = false;
  bool binaryMode_ = false;
  bool ascii85Mode_ = false;
  bool pageStringsSet_ = false;
  std::array<std::string, 6> pageStrings_;
  SetupString setupString1_;
  SetupString setupString2_;
  bool cmyk_ = false;
  uint32_t used_ = 0;
  std::vector<uint8_t> buffer_;
  PSLIBSink* sink_;
  int32_t pageCount_ = 0;
  uint32_t hexColumn_ = 0;
  std::string title_;
  uint8_t orientation_ = kPortrait;
  bool pageDevicePending_ = false;
  PageDevice pageDevice_;
  bool rotatedMedia_ = false;
  bool levelCheckPending_ = false;
  bool errorHandler_ = false;
  Entry<int16_t> jobTimeout_;
  Entry<int16_t> waitTimeout_;
  uint16_t rasterOperation_ = 0;
  bool inData_ = false;
  PSASCII85Encoder ascii85_;
};
