// Expands arbitrary templates: the first 32 bytes give the eight parameters,
// the rest is the template. Buffer and stream expansion must agree. The
// seeds are the generator's own templates with parameters of a page.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/testing/fuzz_seeds.h"
#include "pcl5e/pcl_formatter.h"
#include "pcl5e/pcl_out_stream.h"
#include "pcl5e/pcl_templates.h"

namespace {

class CollectingSink : public GPclStreamSink {
 public:
  int32_t Flush(PclOutStream&, uint32_t, const uint8_t* bytes, int32_t count) override {
    collected.insert(collected.end(), bytes, bytes + count);
    return 0;
  }
  std::vector<uint8_t> collected;
};

GFuzzSeeds Seeds() {
  const int32_t parameters[GPclFormatter::kParameterCount] = {600, 4960, 600, 600, -7016, 25, 1, 0};
  std::string prefix;
  for (const int32_t value : parameters) prefix.append(reinterpret_cast<const char*>(&value), sizeof value);
  const std::string_view templates[] = {
      pcl_template::kJobStartWithResolution, pcl_template::kCustomPaperSize,
      pcl_template::kEdgeToEdgePageRecord,   pcl_template::kGL2TransformScaling,
      pcl_template::kEncodedRectangleSides,  pcl_template::kFillRectangle,
      pcl_template::kCopiesFormFeed,         pcl_template::kPenWidth,
  };
  GFuzzSeeds seeds;
  for (const std::string_view text : templates) seeds.push_back(prefix + std::string(text));
  return seeds;
}

}  // namespace

QV_FUZZ_TARGET_SEEDS(Seeds)

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  GPclFormatter formatter;
  size_t used = 0;
  for (int32_t i = 0; i < GPclFormatter::kParameterCount; ++i) {
    int32_t value = 0;
    if (size - used >= sizeof value) {
      std::memcpy(&value, data + used, sizeof value);
      used += sizeof value;
    }
    formatter.SetParameter(static_cast<char>('A' + i), value);
  }
  formatter.SetTemplate(std::string_view(reinterpret_cast<const char*>(data) + used, size - used));

  std::vector<uint8_t> buffered;
  const int32_t count = formatter.ExpandToBuffer(buffered);
  if (static_cast<size_t>(count) != buffered.size()) std::abort();

  CollectingSink sink;
  std::unique_ptr<PclOutStream> stream = PclStreamCreate(7, &sink, 0);
  formatter.SetStream(stream.get());
  if (formatter.Expand() != count) std::abort();
  PclStreamFlush(*stream);
  if (sink.collected != buffered) std::abort();
  return 0;
}
