// The output channel comes to a stage through the provider registry: the
// provider makes a channel for the document's output name.
#include "graphics/output/output_channel_provider.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>

#include "device/query/provider_registry.h"
#include "foundation/testing/scratch_files.h"
#include "graphics/output/output_channel.h"

namespace {

// Registers a provider with the process's registry for one test.
class Registration {
 public:
  explicit Registration(GOutputChannelProvider& provider) {
    EXPECT_EQ(GetProviderRegistry().Register(&provider, "OutputChannel"), 0);
  }
  ~Registration() { GetProviderRegistry().Unregister("OutputChannel"); }
};

// What a stage does at document start: ask the registry and take the
// answer as its channel.
std::unique_ptr<GOutputChannel> ChannelFor(const std::string& outputName) {
  MPersistentObject* made =
      GetProviderRegistry().CreateQueryObject(nullptr, RWWString::FromMultibyte(outputName.c_str()), 0);
  auto* channel = dynamic_cast<GOutputChannel*>(made);
  EXPECT_EQ(channel, made) << "the answer is a channel";
  return std::unique_ptr<GOutputChannel>(channel);
}

void WriteJob(GOutputChannel& channel) {
  uint32_t written = 0;
  EXPECT_EQ(channel.Open(RWWString()), 0);
  EXPECT_EQ(channel.WriteString("job bytes", written), 0);
  EXPECT_EQ(channel.Close(), 0);
}

TEST(OutputChannelProvider, AFileProviderWritesToTheNamedFile) {
  GOutputChannelProvider provider(GOutputChannelProvider::Kind::kFile);
  const Registration registration(provider);
  const ScratchDirectory directory;
  const std::string path = directory.File("out.prn");
  {
    const std::unique_ptr<GOutputChannel> channel = ChannelFor(path);
    ASSERT_NE(channel, nullptr);
    ASSERT_TRUE(channel->IsReady());
    EXPECT_EQ(channel->GetName(), path.c_str());
    WriteJob(*channel);
  }
  std::ifstream in(path, std::ios::binary);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "job bytes");
}

TEST(OutputChannelProvider, AMemoryProviderKeepsTheOutputOfItsLastChannel) {
  GOutputChannelProvider provider(GOutputChannelProvider::Kind::kMemory);
  const Registration registration(provider);
  EXPECT_EQ(provider.LastOutput(), nullptr);
  ChannelFor("first").reset();
  {
    const std::unique_ptr<GOutputChannel> channel = ChannelFor("LPT1:");
    ASSERT_NE(channel, nullptr);
    EXPECT_TRUE(channel->IsReady());
    WriteJob(*channel);
  }
  ASSERT_NE(provider.LastOutput(), nullptr);
  EXPECT_EQ(*provider.LastOutput(), "job bytes");
}

TEST(OutputChannelProvider, WithoutAProviderNoChannelIsMade) {
  EXPECT_EQ(GetProviderRegistry().CreateQueryObject(nullptr, RWWString::FromMultibyte("LPT1:"), 0), nullptr);
}

}  // namespace
