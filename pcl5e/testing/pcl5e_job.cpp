#include "pcl5e/testing/pcl5e_job.h"

#include <memory>

#include "device/media/media.h"
#include "device/testing/test_device_tree.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/page_command.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/persistent_association.h"
#include "model/objects/selection_string.h"
#include "pcl5e/pcl5e.h"
#include "pipeline/printer.h"

namespace pcl5_job {
namespace {

MPersistentAssociation* Maps(int16_t from, MPersistentObject* to) {
  return new MPersistentAssociation(new GValueAttribute(from, 0), to, 0);
}

}  // namespace

GConfiguration* PrinterConfiguration(bool withTrays) {
  auto* configuration = new GConfiguration(GPeripheral::kConfigurationKey);
  if (withTrays) {
    auto* trays = new MAssociationList(85);
    trays->Put(Maps(kUpperTray, new GValueAttribute(kUpperTrayCode, 0)));
    trays->Put(Maps(kLowerTray, new GValueAttribute(kLowerTrayCode, 0)));
    configuration->AddChild(trays);
  }
  auto* sizes = new MAssociationList(192);
  sizes->Put(Maps(kLetter, new GSelectionString(RWCString("#1B&l2A"), kLetter, 0)));
  sizes->Put(Maps(kA4, new GSelectionString(RWCString("#1B&l26A"), kA4, 0)));
  configuration->AddChild(sizes);
  return configuration;
}

GState* PageState(const Page& page) {
  auto* state = new GState(GPeripheral::kPageStateKey);
  std::unique_ptr<GMedia> medium = MakeMedium(page.sizeId, {5100, 6600}, {4900, 6400}, {100, 100});
  medium->SetKey(259);
  if (page.mediaType != nullptr) medium->SetMediaType(RWCString(page.mediaType));
  state->AddChild(medium.release());
  if (page.tray) AddValue(*state, 258, *page.tray);
  AddValue(*state, 265, page.orientation);
  if (page.duplex) AddValue(*state, 253, *page.duplex);
  if (page.copies) AddValue(*state, 257, *page.copies);
  return state;
}

GPcl5e* NewGenerator(GConfiguration* configuration, GState* initialState) {
  return new GPcl5e(RWCString("PCL5E"), initialState, configuration, GPrinter::kGeneratorKey, 64, 6, 2);
}

Job::Job(GConfiguration* configuration)
    : LanguageJob(static_cast<GPeripheral&>(*GObjectRef(NewGenerator(configuration)))) {}

Job::Job(GPcl5e& generator) : LanguageJob(generator) {}

uint16_t Job::Start(std::initializer_list<Setting> settings, GOutputChannel* channel, uint16_t resolution) {
  auto* state = new GState(GPeripheral::kDocumentStateKey);
  if (resolution != 0) {
    GAttributeComposite* group = AddGroup(*state, 249);
    AddValue(*group, 323, static_cast<int16_t>(resolution));
    AddValue(*group, 324, static_cast<int16_t>(resolution));
  }
  return StartDocument(settings, state, channel, nullptr);
}

}  // namespace pcl5_job
