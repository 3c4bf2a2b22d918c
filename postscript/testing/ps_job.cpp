#include "postscript/testing/ps_job.h"

#include <memory>

#include "device/testing/test_device_tree.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/page_command.h"
#include "graphics/commands/pass_through_command.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "pipeline/printer.h"
#include "postscript/generator/postscript.h"

namespace ps_job {
namespace {

MPersistentAssociation* Maps(int16_t from, int16_t to) {
  return new MPersistentAssociation(new GValueAttribute(from, 0), new GValueAttribute(to, 0), 0);
}

}  // namespace

GConfiguration* PrinterConfiguration() {
  auto* configuration = new GConfiguration(GPeripheral::kConfigurationKey);
  auto* trays = new MAssociationList(85);
  trays->Put(Maps(kUpperTray, kUpperPosition));
  trays->Put(Maps(kLowerTray, kLowerPosition));
  trays->Put(Maps(kManualTray, 253));
  configuration->AddChild(trays);
  auto* sizes = new MAssociationList(192);
  sizes->Put(Maps(kLetter, kLetter));
  sizes->Put(Maps(kA4, kA4));
  configuration->AddChild(sizes);
  return configuration;
}

GState* PageState(const Page& page) {
  auto* state = new GState(GPeripheral::kPageStateKey);
  std::unique_ptr<GMedia> medium = MakeMedium(page.sizeId, page.paper);
  medium->SetKey(259);
  if (page.mediaType != nullptr) medium->SetMediaType(RWCString(page.mediaType));
  state->AddChild(medium.release());
  if (page.tray) AddValue(*state, 258, *page.tray);
  AddValue(*state, 265, page.orientation);
  if (page.copies) AddValue(*state, 257, *page.copies);
  if (page.rotatedMedia) AddValue(*state, 954, *page.rotatedMedia);
  return state;
}

GPostScript* NewGenerator(GConfiguration* configuration) {
  return new GPostScript(RWCString("POSTSCRIPT"), nullptr, configuration, GPrinter::kGeneratorKey, 64, 6, 2);
}

Job::Job(GConfiguration* configuration)
    : LanguageJob(static_cast<GPeripheral&>(*GObjectRef(NewGenerator(configuration)))) {}

uint16_t Job::Start(const std::vector<Setting>& settings, GOutputChannel* channel, const char* documentName) {
  return StartDocument(settings, nullptr, channel, nullptr, documentName);
}

uint16_t Job::PassThrough(const std::string& bytes, uint16_t target) {
  auto* command = new GPassThroughCommand(reinterpret_cast<const uint8_t*>(bytes.data()),
                                          static_cast<uint16_t>(bytes.size()), target, 0);
  command->MakeOwnCopy();
  return Process(command);
}

std::string StripTBCP(const std::string& job) {
  std::string text;
  for (size_t i = 0; i < job.size(); ++i) {
    const char c = job[i];
    if (c == '\x04') continue;
    if (c == '\x01' && i + 1 < job.size()) {
      const char next = job[++i];
      if (next != 'M') text += static_cast<char>(next ^ 0x40);
      continue;
    }
    text += c;
  }
  return text;
}

}  // namespace ps_job
