#include "graphics/fonts/host/host_fonts.h"

#include <cmath>

#include "graphics/fonts/host/face_facts.h"
#include "graphics/fonts/host/host_font_data.h"
#include "graphics/fonts/host/host_font_imp.h"
#include "graphics/fonts/host/host_font_pool.h"
#include "graphics/fonts/host/host_platform_font.h"
#include "graphics/fonts/truetype/character_mapping.h"
#include "graphics/fonts/truetype/tt_font_file.h"

namespace {

constexpr uint16_t kSpace = 0x20;

// The property table (font_properties.h) reads these fields by meaning but
// writes none; each field set here is marked with its property.
GFontInfo Describe(const GHostFaceFacts& facts, int16_t resolution, int16_t em) {
  GFontInfo info;
  info.resolution = resolution;
  info.fontValue2 = resolution;  // x resolution
  info.height = em;
  info.fontValue6 = facts.italic ? 1 : 0;       // italic
  info.fontValue9 = facts.weight;               // weight
  info.fontValue10 = tt_encoding::kUnicode;     // own encoding
  info.fontValue14 = facts.fixedPitch ? 1 : 0;  // whole run
  info.firstCode = facts.firstCode;
  info.lastCode = facts.lastCode;
  info.defaultCode = kSpace;
  info.breakCode = kSpace;  // break code
  info.faceName = facts.NarrowFamily();
  return info;
}

GFontMetrics Measure(const GHostFaceFacts& facts) {
  GFontMetrics metrics;
  metrics.metric3 = facts.weight;          // requested weight
  metrics.metric4 = facts.italic ? 1 : 0;  // requested italic
  return metrics;
}

GTTFontPool& Pool() {
  if (GTTFontPool::Instance() == nullptr) GTTFontPool::SetInstance(std::make_unique<GHostFontPool>());
  return *GTTFontPool::Instance();
}

}  // namespace

std::unique_ptr<GHostFont> MakeHostFont(const RWCString& path, double points, int16_t resolution,
                                        GGraphicsDevice* device, uint32_t owner) {
  const double pixels = std::round(points * resolution / 72.0);
  if (!(pixels >= 1.0 && pixels < 32768.0)) return nullptr;
  const auto em = static_cast<int16_t>(pixels);

  GTTFontPool& pool = Pool();
  auto* data = new GHostFontData(pool.NextKey(), path);
  const uint32_t key = data->GetFontKey();
  // From here the handle owns the data's one use: dropping it deletes the
  // data.
  std::unique_ptr<GTTFontFile> file(pool.NewFontFile(data));
  if (!data->IsOpen() || file->HasRequiredTables(key) == 0) return nullptr;
  const std::optional<GHostFaceFacts> facts = GHostFaceFacts::Read(*file, key);
  if (!facts || file->AddUser(owner) == 0) return nullptr;

  const GFontInfo info = Describe(*facts, resolution, em);
  auto platform = std::make_unique<GHostPlatformFont>(file.release(), em, info.fontValue10);
  auto* body = new GHostFontImp(key, info, Measure(*facts), std::move(platform));
  return std::make_unique<GHostFont>(body, device);
}
