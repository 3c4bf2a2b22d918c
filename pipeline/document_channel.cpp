#include "pipeline/document_channel.h"

#include "device/query/provider_registry.h"
#include "graphics/commands/document_command.h"
#include "graphics/output/output_channel.h"
#include "graphics/output/output_channel_provider.h"
#include "model/attributes/peripheral.h"
#include "model/os/osfactry.h"

namespace {

// An output channel from the registry for the output name; null when no
// provider made one. Anything else a provider answers is not kept.
GOutputChannel* ChannelFor(const GDocumentStart& start) {
  MPersistentObject* made = GetProviderRegistry().CreateQueryObject(nullptr, start.GetOutputName(),
                                                                    GOutputChannelProvider::kOutputChannelMask);
  auto* channel = dynamic_cast<GOutputChannel*>(made);
  if (channel == nullptr) const GObjectRef discarded(made);
  return channel;
}

}  // namespace

uint16_t TakeDocumentChannel(GPeripheral& stage, GDocumentStart& start) {
  if (stage.OwnsOutputChannel()) stage.BorrowOutputChannel(nullptr);
  if (start.GetOutputChannel() != nullptr) {
    stage.BorrowOutputChannel(start.GetOutputChannel());
    return 0;
  }
  GOutputChannel* channel = ChannelFor(start);
  if (channel == nullptr) return kNoOutputChannel;
  stage.OwnOutputChannel(channel);
  if (!channel->IsReady()) return kNoOutputChannel;
  start.SetOutputChannel(channel);
  return channel->Open(start.GetDocumentName());
}

bool IsProgressSuppressed() {
  GOSFactory* factory = GOSFactory::Instance();
  return factory != nullptr && factory->IsProgressSuppressed() != 0;
}
