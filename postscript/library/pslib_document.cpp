// The document structure that the output context writes around the pages:
// the header comments, the prolog with its resources, the setup, the page
// device dictionary, the page header and trailer, and the trailer.

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>

#include "postscript/library/procedure_sets.h"
#include "postscript/library/pslib_context.h"

namespace {

// A structuring comment line holds at most 255 characters.
constexpr size_t kDscLineLength = 255;

std::string Number(int32_t value) { return std::to_string(value); }

const char* TrueFalse(bool value) { return value ? "true" : "false"; }

// "name version revision", as the resource comments name a set.
std::string ProcsetTitle(const PSProcset& set) {
  return std::string(set.name) + " " + std::string(set.version) + " " + std::string(set.revision);
}

}  // namespace

// Settings.

template <typename T>
void PSLIBContext::MakePending(Entry<T>& entry, T value) {
  entry.value = std::move(value);
  entry.pending = true;
  pageDevicePending_ = true;
}

void PSLIBContext::SetDeferredMediaSelection(bool deferred) {
  MakePending(pageDevice_.deferredMediaSelection, deferred);
}

void PSLIBContext::SetResolution(int16_t x, int16_t y) { MakePending(pageDevice_.hwResolution, Pair{x, y}); }

void PSLIBContext::SetPreRenderingEnhance(int16_t level) { MakePending(pageDevice_.preRenderingEnhance, level); }

void PSLIBContext::SetPageSize(int16_t width, int16_t height) {
  const int16_t smaller = std::min(width, height);
  const int16_t larger = std::max(width, height);
  const Pair size = IsLandscape() && !rotatedMedia_ ? Pair{larger, smaller} : Pair{smaller, larger};
  if (size == pageDevice_.pageSize.value) return;
  MakePending(pageDevice_.pageSize, size);
}

void PSLIBContext::SetMediaType(std::string_view name) { MakePending(pageDevice_.mediaType, std::string(name)); }

void PSLIBContext::SetManualFeed(bool manual) { MakePending(pageDevice_.manualFeed, manual); }

void PSLIBContext::SetMediaPosition(int16_t position) {
  if (position == kNoMediaPosition || position == kAnyMediaPosition) {
    pageDevice_.mediaPosition.value = position;
    return;
  }
  MakePending(pageDevice_.mediaPosition, position);
}

void PSLIBContext::SetOutputBin(int16_t value, int16_t kind) { MakePending(pageDevice_.outputBin, Pair{value, kind}); }

void PSLIBContext::SetNumCopies(int16_t copies) {
  if (copies > 0) MakePending(pageDevice_.numCopies, copies);
}

void PSLIBContext::SetCollate(bool collate) { MakePending(pageDevice_.collate, collate); }

void PSLIBContext::SetDuplex(int16_t mode) { MakePending(pageDevice_.duplex, mode); }

void PSLIBContext::SetTumbleSwap() { pageDevice_.tumbleSwap = true; }

void PSLIBContext::SetPostRenderingEnhance(int16_t level) { MakePending(pageDevice_.postRenderingEnhance, level); }

void PSLIBContext::SetEconoMode(int16_t value) { MakePending(pageDevice_.econoMode, value); }

void PSLIBContext::SetExtendedPrintArea(bool extended) { MakePending(pageDevice_.extendedPrintArea, extended); }

// A new orientation turns the page: the stored size is ordered again by
// the next SetPageSize, so the size is sent again.
void PSLIBContext::SetOrientation(uint8_t orientation) {
  if (orientation != orientation_) {
    pageDevice_.pageSize.pending = true;
    pageDevicePending_ = true;
  }
  orientation_ = orientation;
}

void PSLIBContext::SetErrorHandlerFlag(bool send) {
  errorHandler_ = send;
  levelCheckPending_ = true;
}

void PSLIBContext::SetJobTimeout(int16_t seconds) { MakePending(jobTimeout_, seconds); }

void PSLIBContext::SetWaitTimeout(int16_t seconds) { MakePending(waitTimeout_, seconds); }

void PSLIBContext::SetHalftone(bool enabled) {
  halftoneEnabled_ = enabled;
  halftonePending_ = true;
}

void PSLIBContext::SetPageStrings(const std::array<std::string, 6>& strings) {
  pageStrings_ = strings;
  pageStringsSet_ = true;
}

void PSLIBContext::SetSetupString1(std::string_view text) { setupString1_ = {true, std::string(text)}; }

void PSLIBContext::SetSetupString2(std::string_view text) { setupString2_ = {true, std::string(text)}; }

// The document header.

void PSLIBContext::WriteDocumentHeader(bool withCtrlD) {
  pageCount_ = 0;
  std::string prefix;
  if (withCtrlD) prefix += '\x04';
  // The protocol's switch into binary mode.
  if (binaryMode_) prefix += "\x01M";
  WriteText(prefix);

  const std::string title = title_.empty() ? "Untitled Document" : DscValue(title_, kDscLineLength - 9);
  // Binary data is not clean 8-bit text: it may hold any byte.
  const char* data = binaryMode_ ? "Binary" : "Clean8Bit";
  WriteText(
      "%!PS-Adobe-3.0\r\n"
      "%%Copyright: Copyright QV Systems. All rights reserved.\r\n"
      "%%Copyright: Produced by the QV printer driver for the job's owner.\r\n"
      "%%Title: " +
      title +
      "\r\n"
      "%%Creator: QV/Zun PS2 Driver\r\n"
      "%%BoundingBox: (atend)\r\n"
      "%%Pages: (atend)\r\n"
      "%%PageOrder: Special\r\n"
      "%%DocumentNeededResources: (atend)\r\n"
      "%%DocumentSuppliedResources: (atend)\r\n"
      "%%DocumentData: " +
      data +
      "\r\n"
      "%%LanguageLevel: 2\r\n"
      "%%EndComments\r\n\r\n"
      "%%BeginProlog\r\n");

  if (errorHandler_) {
    WriteText("%%BeginResource: file QV_PS_ErrorHandler 1.0 0\r\n");
    WriteText(ErrorHandlerBody());
    WriteText("%%EndResource\r\n");
  }
  DownloadProcset(kStandardProcset);
  DownloadProcset(kAliasProcset);
  WriteText("%%EndProlog\r\n\r\n%%BeginSetup\r\n");

  WriteUserParameter(jobTimeout_, "JobTimeout");
  WriteUserParameter(waitTimeout_, "WaitTimeout");
  for (const SetupString* setup : {&setupString1_, &setupString2_}) {
    if (setup->set) WriteText(setup->text + "\r\n");
  }
  WriteColorModel();
  if (levelCheckPending_) WriteLevelCheck();
  if (pageDevicePending_) WriteSetPageDevice();
  if (halftonePending_ && halftoneEnabled_) WriteHalftone();
  BeginProcset(kStandardProcset);
  BeginProcset(kAliasProcset);
  WriteText("/pagegstatesave gstate def\r\n%%EndSetup\r\n");
}

void PSLIBContext::WriteUserParameter(Entry<int16_t>& entry, const char* name) {
  if (!entry.pending) return;
  entry.pending = false;
  WriteText(std::string("[{<</") + name + " " + Number(entry.value) + ">> setuserparams\r\n} stopped cleartomark\r\n");
}

void PSLIBContext::WriteLevelCheck() {
  levelCheckPending_ = false;
  WriteText(
      "[{\r\n/languagelevel where{pop languagelevel}{1}ifelse 1 eq"
      "{(Error: This job will only work on a level 2 PostScript compatible printer) show}if\r\n"
      "} stopped cleartomark\r\n");
}

void PSLIBContext::WriteColorModel() {
  WriteText(cmyk_ ? "<</ProcessColorModel /DeviceCMYK>> setpagedevice\r\n"
                  : "<</ProcessColorModel /DeviceGray>> setpagedevice\r\n");
}

// Procedure sets.

void PSLIBContext::DownloadProcset(uint32_t index) {
  const uint32_t row = index == kStandardProcsetAgain ? kStandardProcset : index;
  if (row >= kStandardProcsetAgain) return;
  if (index != kStandardProcsetAgain && (downloadedProcsets_ & (1U << row)) != 0) return;
  SendProcset(row);
}

// The body ends without a line end; the resource's end comment still
// stands on a line of its own.
void PSLIBContext::SendProcset(uint32_t row) {
  const PSProcset& set = ProcsetTable()[row];
  WriteText("%%BeginResource: procset " + ProcsetTitle(set) + "\r\n/" + std::string(set.name) + " ");
  WriteText(set.body);
  WriteText("\r\n%%EndResource\r\n");
  downloadedProcsets_ |= 1U << row;
}

void PSLIBContext::BeginProcset(uint32_t index) {
  DownloadProcset(index);
  if (index >= kStandardProcsetAgain || (begunProcsets_ & (1U << index)) != 0 || begunDepth_ >= begunStack_.size()) {
    return;
  }
  WriteText(std::string(ProcsetTable()[index].name) + " begin\r\n");
  begunProcsets_ |= 1U << index;
  begunStack_[begunDepth_++] = index;
}

void PSLIBContext::EndProcset(uint32_t index) {
  if (index >= kStandardProcsetAgain || (begunProcsets_ & (1U << index)) == 0 || begunDepth_ == 0 ||
      begunStack_[begunDepth_ - 1] != index) {
    return;
  }
  WriteText("end\r\n");
  begunProcsets_ &= ~(1U << index);
  --begunDepth_;
}

uint16_t PSLIBContext::ProcsetName(uint32_t index, std::string& name) const {
  if (index > kStandardProcsetAgain) {
    name.clear();
    return kNoProcset;
  }
  name = ProcsetTable()[index == kStandardProcsetAgain ? kStandardProcset : index].name;
  return 0;
}

// The page device dictionary.

void PSLIBContext::WriteSetPageDevice() {
  pageDevicePending_ = false;
  std::string text = "[{\r\n<<";
  AppendPageDeviceEntries(text);
  text += ">> setpagedevice\r\n} stopped cleartomark\r\n";
  WriteText(text);
}

void PSLIBContext::AppendPageDeviceEntries(std::string& text) {
  PageDevice& d = pageDevice_;
  const auto entry = [&text]<typename T>(Entry<T>& e, const std::string& line) {
    if (!e.pending) return;
    e.pending = false;
    text += line + "\r\n";
  };
  const auto pair = [](const Pair& p) { return "[" + Number(p.first) + " " + Number(p.second) + "]"; };
  entry(d.deferredMediaSelection, std::string("/DeferredMediaSelection ") + TrueFalse(d.deferredMediaSelection.value));
  entry(d.hwResolution, "/HWResolution " + pair(d.hwResolution.value));
  entry(d.preRenderingEnhance, std::string("/PreRenderingEnhance ") + TrueFalse(d.preRenderingEnhance.value >= 2));
  entry(d.pageSize, "/PageSize " + pair(d.pageSize.value) + " /ImagingBBox null");
  entry(d.mediaType, "/MediaType " + (d.mediaType.value.empty() ? "null" : PSString(d.mediaType.value)));
  entry(d.manualFeed, std::string("/ManualFeed ") + TrueFalse(d.manualFeed.value));
  entry(d.mediaPosition, "/MediaPosition " + Number(d.mediaPosition.value));
  d.outputBin.pending = false;
  entry(d.numCopies, "/NumCopies " + Number(d.numCopies.value));
  entry(d.collate, std::string("/Collate ") + TrueFalse(d.collate.value));
  entry(d.duplex, DuplexText());
  entry(d.postRenderingEnhance, std::string("/PostRenderingEnhance ") + TrueFalse(d.postRenderingEnhance.value != 0));
  entry(d.econoMode, std::string("/EconoMode ") + TrueFalse(d.econoMode.value == 1));
  entry(d.extendedPrintArea, std::string("/ExtendedPrintArea ") + TrueFalse(d.extendedPrintArea.value));
}

// Mode 1 binds on the long edge of a portrait page, mode 2 on the short
// edge. Landscape pages ask the printer's own dictionary whether it turns
// the sheet itself.
std::string PSLIBContext::DuplexText() const {
  const bool landscape = IsLandscape();
  const bool swap = pageDevice_.tumbleSwap;
  switch (pageDevice_.duplex.value) {
    case 1:
      if (landscape)
        return "userdict /FieryXJdict known {/Duplex true /Tumble false}{/Duplex true /Tumble true} ifelse";
      return std::string("/Duplex true /Tumble ") + TrueFalse(!swap);
    case 2:
      if (landscape && !swap) {
        return "userdict /FieryXJdict known {/Duplex true /Tumble true}{/Duplex true /Tumble false} ifelse";
      }
      return "/Duplex true /Tumble false";
    default:
      return "/Duplex false";
  }
}

void PSLIBContext::WriteHalftone() {
  halftonePending_ = false;
  std::array<char, 32> screen{};
  std::snprintf(screen.data(), screen.size(), "%d.%d %d.%d ", screenFrequency_ / 10, screenFrequency_ % 10,
                screenAngle_ / 10, screenAngle_ % 10);
  WriteText(std::string("[{\r\n"
                        "<</PostRenderingEnhance false\r\n"
                        "/Install\r\n"
                        "{\r\n"
                        "/DefaultColorRendering600 /ColorRendering findresource setcolorrendering\r\n"
                        "/DefaultHalftone600 /Halftone findresource sethalftone\r\n"
                        "{} settransfer false setstrokeadjust\r\n"
                        "}\r\n"
                        ">> setpagedevice\r\n"
                        "} stopped cleartomark\r\n") +
            screen.data() + "currentscreen exch pop exch pop setscreen\r\n");
}

void PSLIBContext::WritePageStrings() {
  if (!pageStringsSet_) return;
  for (size_t i = 0; i < pageStrings_.size(); i += 2) {
    WriteText(pageStrings_[i] + "\r\n" + pageStrings_[i + 1] + "\r\n");
  }
}

// Pages and the trailer.

void PSLIBContext::WritePageHeader() {
  ++pageCount_;
  WriteText("%%Page: " + Number(pageCount_) + " " + Number(pageCount_) + "\r\n%%BeginPageSetup\r\n");
  if (pageDevicePending_) WriteSetPageDevice();
  WriteText("gsave\r\n");
  WritePageStrings();
  if (negative_) WriteText("{1 exch sub} settransfer erasepage\r\n");
  WriteText("/MOVE 1 def\r\n%%EndPageSetup\r\n");
}

void PSLIBContext::WritePageTrailer() {
  EmitOperator(kShowPage, true);
  WriteText("grestore\r\n(%%[Page: " + Number(pageCount_) + "]%%) =\r\n%%PageTrailer\r\n");
}

void PSLIBContext::WriteDocumentTrailer(bool withCtrlD) {
  std::string text =
      "%%Trailer\r\n"
      "%%BoundingBox: TBD - Max of all pages\r\n"
      "%%DocumentNeededResources:\r\n"
      "%%DocumentSuppliedResources:\r\n";
  if (errorHandler_) text += "%%+ file QV_PS_ErrorHandler 1.0 0\r\n";
  for (uint32_t row = 0; row < kStandardProcsetAgain; ++row) {
    if ((downloadedProcsets_ & (1U << row)) == 0) continue;
    text += "%%+ procset " + ProcsetTitle(ProcsetTable()[row]) + "\r\n";
  }
  WriteText(text);
  EndProcset(kAliasProcset);
  EndProcset(kStandardProcset);
  WriteText("%%Pages: " + Number(pageCount_) + "\r\n(%%[LastPage]%%) =\r\n%%EOF\r\n");
  if (withCtrlD) WriteText("\x04");
}
