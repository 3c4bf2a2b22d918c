#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/rw_cstring.h"
#include "model/attributes/state.h"
#include "model/objects/object_ref.h"
#include "pipeline/peripheral_composite.h"
#include "platform/wide_char.h"

class GDocumentStart;

// The PJL job-header writer. It frames every job in PJL: at document start
// it builds the whole job header from the job settings (the document state,
// key 246, of its current state) and the device description (its
// configuration) as one text and writes it in one piece into the job's
// output channel; at document end it writes the end-of-job text. The
// printer holds it next to the page-description generator and hands it the
// document commands first, so the header precedes the generator's stream in
// the same channel. Its own children are add-on stages, which see the
// document start after the header is built but before it is written.
//
// What it trusts. Texts that a user or an application can choose (document
// name, user and accounting names, messages, comments, retention names and
// PIN) are checked (IsPJLText) and written empty when they could break a
// quoted PJL value. The texts that come from the device description and the
// host as PJL for this device are copied as given: the raw PJL text (240),
// the model name (956), the extra lines (985), the time-stamp template
// (596) and the mapped names of paper, bins and tray-1 media. Every line it
// builds itself is valid PJL: a setting whose value has no PJL word, or an
// item that would be empty, writes no line at all.
//
// A document state with 579 = 0 switches the writer off for that job: its
// commands pass untouched and nothing is written.
//
// Stored part after the composite's: version 1, the collected media as an
// object reference, the job name (32-bit length, then the bytes). The
// progress flag is not stored.
class GPJL : public GPeripheralComposite {
 public:
  GPJL() : GPJL(0) {}
  explicit GPJL(int32_t key);
  GPJL(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key);
  // Copies the composite part, the collected media, the job name and the
  // progress flag.
  GPJL(const GPJL& other);
  GPJL& operator=(const GPJL&) = delete;
  ~GPJL() override = default;

  RWCollectable* NewInstance() const override { return new GPJL; }
  RWCollectable* Clone() const override { return new GPJL(*this); }
  RWClassID ClassID() const override { return kGPJLClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPJLClassID || GPeripheralComposite::IsKindOf(id); }
  // Equal composite parts, job names and collected media.
  bool SameContent(const MPersistentObject& other) const override;

  // Only the document start, end and abort reach the writer's handlers (a
  // nonzero status comes back as an error command); every other command,
  // and every command of a job that has PJL switched off, passes untouched.
  GCommand* ProcessCommand(GCommand* command) override;

  // Writes the job header; 0, kNoOutputChannel, or the channel's failing
  // answer to Open or WriteString.
  uint16_t DocumentStart(GDocumentStart& start) override;
  // Writes the end-of-job text; 0 or the channel's failing answer to
  // WriteString or Close.
  uint16_t DocumentEnd(GDocumentEnd& end) override;
  // Leaves the job and lets the peripheral finish an owned channel;
  // answers 0.
  uint16_t JobAbort(GJobAbort& abort) override;

  // The writer takes no attribute and no generator.
  uint16_t ApplyValueAttribute(GValueAttribute&) override { return 0; }
  uint16_t ApplyStringAttribute(GStringAttribute&) override { return 0; }
  uint16_t ApplyEnumAttribute(GEnumAttribute&) override { return 0; }
  uint16_t ApplyRangeAttribute(GRangeAttribute&) override { return 0; }
  uint16_t AddBorzan(GPeripheral&) override { return 0; }
  uint16_t AddPcl5e(GPeripheral&) override { return 0; }
  uint16_t AddPostScript(GPeripheral&) override { return 0; }
  // Collects a copy of the medium until the next header is built.
  uint16_t ApplyMedia(GMedia& media) override;

  // Whether a narrow text may stand inside a quoted PJL value: no byte
  // below 0x20 but TAB, and no double quote.
  static bool IsPJLText(std::string_view text);
  // The name in UTF-8 for a device that takes UTF-8 strings: converted to
  // UTF-16 and cut to at most 16 units.
  static RWCString EncodeNameUTF8(const RWCString& name);
  // UTF-16 units in UTF-8: at most the first 16 units, never half of a
  // surrogate pair; an unpaired surrogate becomes U+FFFD. At most 48 bytes.
  static std::string EncodeUnitsUTF8(std::basic_string_view<WideChar> units);
  // CRC-16/ARC of the bytes (reflected polynomial 0xA001, start 0, no final
  // XOR), with 0 answered as 0xFFFF.
  static uint16_t UsageChecksum(std::string_view text);

  const RWCString& JobName() const { return jobName_; }
  const GState& CollectedMedia() const { return static_cast<const GState&>(*media_.Get()); }
  int32_t ProgressFlag() const { return progress_; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  // The three empty sub-states, so that the document state is found from
  // the start.
  void AddEmptySubStates();
  // Lets go of a channel that someone else owns.
  void ForgetBorrowedChannel();
  // Hands the command to every child; their answers are dropped.
  void PassToChildren(GCommand& command);
  // Writes the text; the channel's answer, kNoOutputChannel without one.
  uint16_t Write(const std::string& text);

  // The header, step by step, in the order it is written.
  std::string BuildHeader(GDocumentStart& start);
  void AppendJobLine(std::string& header, const GDocumentStart& start);
  static void AppendOSComments(std::string& header, GState& settings);
  // "OS Info:" with the system's kind, version and build.
  static void AppendOSInfo(std::string& text);
  static void AppendJobAccounting(std::string& header, GState& settings);
  static void AppendDisplayMessage(std::string& header, GState& settings);
  static void AppendCopies(std::string& header, GState& settings);
  static void AppendResolutionEnhancement(std::string& header, GState& settings);
  // The duplex unit of the device (0 without one), after the manual-duplex
  // line where the device asks for it.
  static int16_t AppendDeviceDuplex(std::string& header, GState& settings, const GDocumentStart& start);
  static bool AppendManualDuplex(std::string& header, GState& settings, MPersistentObject& deviceConfiguration,
                                 int16_t duplexUnit);
  static void AppendDuplex(std::string& header, GState& settings, int16_t duplexUnit);
  static void AppendUsage(std::string& header, GState& settings, const GDocumentStart& start);
  static void AppendPrintQuality(std::string& header, GState& settings);
  static void AppendTimeStamps(std::string& header, GState& settings);
  static void AppendDeviceOptions(std::string& header, GState& settings);
  static void AppendGrayscale(std::string& header, GState& settings);
  static void AppendPageProtection(std::string& header, GState& settings);
  void AppendPaper(std::string& header, GState& settings, const GDocumentStart& start);
  void AppendTray1(std::string& header, GState& settings);
  static bool AppendRetention(std::string& text, GState& settings, const GDocumentStart& start);
  void AppendResolution(std::string& header, GState& settings);
  static void AppendDeviceTimeStamp(std::string& header, GState& settings);
  static void AppendDryTime(std::string& header, GState& settings);
  static void AppendTransparencyInterleave(std::string& header, GState& settings);
  static void AppendImageShift(std::string& header, GState& settings);
  static void AppendExtraLines(std::string& text, GState& settings);
  std::string LanguageName() const;

  // Output bin and finishing.
  void AppendBinAndFinishing(std::string& header, GState& settings);
  static void AppendMailboxBins(std::string& header, GState& settings, int16_t bin);
  static void AppendStackerBins(std::string& header, bool stapling, int16_t bin);
  void AppendOutputBin(std::string& header, GState& settings);
  // The PJL name of the bin, empty when it has none.
  std::string OutputBinWord(GState& settings, int16_t bin);
  static void AppendFinishing(std::string& header, GState& settings);

  // Never empty.
  GObjectRef media_;
  RWCString jobName_;
  int32_t progress_ = 1;
};
