#include "pclxl/testing/borzan_job.h"

#include <cstdio>
#include <memory>

#include "device/media/media.h"
#include "device/testing/test_device_tree.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/error_command.h"
#include "graphics/commands/page_command.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "pclxl/borzan/borzan.h"
#include "pipeline/peripheral_composite.h"
#include "pipeline/printer.h"

namespace xl_job {
namespace {

MPersistentAssociation* Maps(int16_t from, MPersistentObject* to) {
  return new MPersistentAssociation(new GValueAttribute(from, 0), to, 0);
}

}  // namespace

GConfiguration* PrinterConfiguration() {
  auto* configuration = new GConfiguration(GPeripheral::kConfigurationKey);
  auto* trays = new MAssociationList(85);
  trays->Put(Maps(kUpperTray, new GValueAttribute(kUpperSource, 0)));
  trays->Put(Maps(kLowerTray, new GValueAttribute(kLowerSource, 0)));
  configuration->AddChild(trays);
  auto* sizes = new MAssociationList(192);
  sizes->Put(Maps(kLetter, new GStringAttribute(RWCString("LETTER"), 0)));
  sizes->Put(Maps(kA4, new GStringAttribute(RWCString("A4"), 0)));
  configuration->AddChild(sizes);
  return configuration;
}

GState* PageState(const Page& page) {
  auto* state = new GState(GPeripheral::kPageStateKey);
  std::unique_ptr<GMedia> medium = MakeMedium(page.sizeId, {5100, 6600});
  medium->SetKey(259);
  if (page.mediaType != nullptr) medium->SetMediaType(RWCString(page.mediaType));
  state->AddChild(medium.release());
  if (page.tray) AddValue(*state, 258, *page.tray);
  AddValue(*state, 265, page.orientation);
  if (page.duplex) AddValue(*state, 253, *page.duplex);
  if (page.copies) AddValue(*state, 257, *page.copies);
  return state;
}

GBorzan* NewGenerator(GState* initialState, GConfiguration* configuration) {
  return new GBorzan(RWCString(kLanguageName), initialState, configuration, GPrinter::kGeneratorKey, 64, 6, 2);
}

uint16_t Status(const GObjectRef& answer) {
  auto* error = dynamic_cast<GErrorCommand*>(answer.Get());
  return error != nullptr ? error->GetErrorCode() : 0;
}

Job::Job(GConfiguration* configuration, GState* initialState)
    : LanguageJob(static_cast<GPeripheral&>(*GObjectRef(NewGenerator(initialState, configuration)))) {}

Job::Job(GBorzan& generator) : LanguageJob(generator) {}

Job::Job(GPeripheral* front, GBorzan& generator) : LanguageJob(generator, front) {}

uint16_t Job::Start(std::initializer_list<Setting> settings, GState* state, GOutputChannel* channel,
                    GGraphicsDevice* device) {
  return StartDocument(settings, state, channel, device);
}

strict_pclxl::ReadResult Job::Read() const {
  const std::string bytes = Output();
  return strict_pclxl::ReadStrictly({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
}

std::string Values(const strict_pclxl::Value& value) {
  if (value.kind == strict_pclxl::ValueKind::kArray && value.element == strict_pclxl::ElementType::kUByte) {
    return value.Text();
  }
  std::string text;
  for (double n : value.numbers) {
    char number[32];
    std::snprintf(number, sizeof number, "%g", n);
    text += (text.empty() ? "" : ",") + std::string(number);
  }
  return text;
}

std::vector<std::string> PerPage(const strict_pclxl::ReadResult& result, std::string_view attribute) {
  std::vector<std::string> pages;
  std::string current = "-";
  for (const strict_pclxl::Operation& operation : result.operations) {
    if (const strict_pclxl::Attribute* found = operation.Find(attribute); found != nullptr) {
      current = Values(found->value);
    }
    if (operation.name == "BeginPage") {
      pages.push_back(current);
      current = "-";
    }
  }
  return pages;
}

}  // namespace xl_job
