#include "graphics/output/output_channel_provider.h"

#include "graphics/output/file_output_channel.h"
#include "graphics/output/memory_output_channel.h"
#include "model/objects/text_conversion.h"

MPersistentObject* GOutputChannelProvider::CreateQueryObject(MPersistentObject*, const RWCString&, uint32_t,
                                                             const RWWString& parameter) {
  RWCString name;
  WideToNarrow(parameter, name);
  if (kind_ == Kind::kFile) return new GFileOutputChannel(name);
  auto* channel = new GMemoryOutputChannel(name);
  lastOutput_ = channel->SharedBytes();
  return channel;
}
