#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "device/testing/test_device_tree.h"
#include "foundation/rw_wstring.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/page_command.h"
#include "model/attributes/state.h"
#include "pclxl/testing/pjl_job.h"
#include "pipeline/peripheral_composite.h"
#include "pipeline/printer.h"

class GGraphicsDevice;
class GOutputChannel;

// The media sizes and trays of the test printer's description that the
// generators' tests print on.
namespace test_media {
constexpr int16_t kLetter = 2;
constexpr int16_t kA4 = 9;
constexpr int16_t kCustom = 0x4005;
constexpr int16_t kUpperTray = 1;
constexpr int16_t kLowerTray = 2;
}  // namespace test_media

// A job setting: a value attribute of the key in the document state.
struct LanguageSetting {
  int32_t key;
  int16_t value;
};

// What the generators' tests print with: a printer holding a copy of a
// generator, writing into the memory channel of the registered output
// provider (or into a channel the test brings), optionally behind a front
// stage. Job is the language's own job class, which adds how its settings
// and pages are made; Language is the generator's class.
template <typename Job, typename Language>
class LanguageJob {
 public:
  // The commands go to the printer, or through a pipeline head that holds
  // the front stage (taken over) in front of the printer.
  explicit LanguageJob(GPeripheral& generator, GPeripheral* front = nullptr) : printer_(new GPrinter), head_(printer_) {
    Printer().AddGenerator(generator);
    if (front == nullptr) return;
    auto* head = new GPeripheralComposite;
    head_ = head;
    head->AddChild(front);
    head->AddChild(&Printer());
  }

  // A document start carrying the state (taken over; a new document state
  // when null) with the settings added, the device and the channel, when
  // given.
  template <typename Settings>
  uint16_t StartDocument(const Settings& settings, GState* state, GOutputChannel* channel, GGraphicsDevice* device,
                         const char* documentName = "Report") {
    if (state == nullptr) state = new GState(GPeripheral::kDocumentStateKey);
    for (const LanguageSetting& s : settings) AddValue(*state, s.key, s.value);
    auto* start =
        new GDocumentStart(RWWString::FromMultibyte(documentName), RWWString::FromMultibyte("memory"), device, 0);
    start->SetState(state);
    if (channel != nullptr) start->SetOutputChannel(channel);
    const GObjectRef held(start);
    const uint16_t status = Process(start);
    start->TakeOutputChannel();
    return status;
  }
  // Prints one page of the settings (taken over); inside adds what the
  // page holds. Answers the first error of the page's start and end.
  uint16_t PrintPage(GState* pageState, const std::function<void(Job&)>& inside) {
    const uint16_t started = Process(new GPageStart(pageState, 0));
    if (inside) inside(static_cast<Job&>(*this));
    const uint16_t ended = Process(new GPageEnd(new GState(GPeripheral::kPageStateKey), 0));
    return started != 0 ? started : ended;
  }
  uint16_t End() { return Process(new GDocumentEnd(RWWString(), RWWString(), 0)); }
  // Has the printer process the command (taken over).
  uint16_t Process(GCommand* command) { return ProcessThrough(static_cast<GPeripheral&>(*head_), command); }

  Language& Generator() { return static_cast<Language&>(*Printer().GeneratorChild()); }
  std::string Output() const { return provider_.Output(); }

 private:
  GPrinter& Printer() { return static_cast<GPrinter&>(*printer_); }

  RegisteredMemoryProvider provider_;
  GObjectRef printer_;
  // The printer, or the head that holds it behind a front stage.
  GObjectRef head_;
};
