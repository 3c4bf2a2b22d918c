// The driver object's answers about the printer's paper: the media pool in
// force, media and paper sources and their OS numbers, custom sizes, and the
// regional default paper.
#include <algorithm>
#include <bitset>
#include <memory>

#include "device/driver/driver.h"
#include "device/driver/tree_lookup.h"
#include "device/media/custom_media_size.h"
#include "device/media/media_builder.h"
#include "device/paper/paper_handling_device.h"
#include "device/paper/tray.h"
#include "model/attributes/configuration.h"
#include "model/attributes/string_attribute.h"
#include "model/attributes/value_attribute.h"
#include "model/objects/locale_info.h"
#include "model/objects/text_conversion.h"
#include "model/os/osfactry.h"

namespace {

// Keys of the settings and the device description.
constexpr int32_t kMarginEmulationKey = 711;
constexpr int32_t kSymmetricMarginsKey = 713;
constexpr int32_t kUserEntriesKey = 701;
constexpr int32_t kPaperSourceOrderKey = 1114;

// The numbers given to the paper sources of the user's entries.
constexpr uint16_t kFirstUserSourceOsNumber = 16690;
constexpr int16_t kFirstUserSourceDeviceId = 50;

// Paper sizes of the regional default.
constexpr int16_t kLetter = 1;
constexpr int16_t kA4 = 23;

// The whole range of paper sizes a filter lets through.
constexpr GDotPair kNoMinimum{0, 0};
constexpr GDotPair kNoMaximum{0x7FFF, 0x7FFF};

// An enumeration's answers.
constexpr int32_t kHit = 1;
constexpr int32_t kNoHit = -1;
constexpr int32_t kContinue = 1;

struct SizeRange {
  GDotPair minimum = kNoMinimum;
  GDotPair maximum = kNoMaximum;

  bool Holds(GDotPair size) const {
    return size.x >= minimum.x && size.y >= minimum.y && size.x <= maximum.x && size.y <= maximum.y;
  }
};

// The paper sizes of two media of the pool as bounds, each where found.
SizeRange RangeOf(GMediaPool* pool, int16_t smallestId, int16_t largestId, int32_t orientation,
                  GResolution resolution) {
  SizeRange range;
  if (pool == nullptr) return range;
  if (const GMedia* smallest = pool->FindBySizeId(smallestId, orientation, resolution.x, resolution.y)) {
    range.minimum = smallest->GetPaperSize();
  }
  if (const GMedia* largest = pool->FindBySizeId(largestId, orientation, resolution.x, resolution.y)) {
    range.maximum = largest->GetPaperSize();
  }
  return range;
}

// The larger of the near margin and the far one on one axis.
int16_t SymmetricMargin(int16_t paper, int16_t printable, int16_t origin) {
  return static_cast<int16_t>(std::max<int32_t>(origin, paper - printable - origin));
}

std::unique_ptr<GMedia> SymmetricCopy(const GMedia& medium) {
  const GDotPair paper = medium.GetPaperSize();
  const GDotPair printable = medium.GetPrintableSize();
  const GDotPair origin = medium.GetPrintableOrigin();
  const GDotPair margin{SymmetricMargin(paper.x, printable.x, origin.x),
                        SymmetricMargin(paper.y, printable.y, origin.y)};
  const GDotPair symmetricPrintable{static_cast<int16_t>(paper.x - 2 * margin.x),
                                    static_cast<int16_t>(paper.y - 2 * margin.y)};
  return std::make_unique<GMedia>(medium.GetName(), paper, symmetricPrintable, margin, medium.GetOrientation(),
                                  medium.GetSizeId(), medium.GetXResolution(), medium.GetYResolution(), medium.Key(),
                                  medium.GetExtraValue(), medium.GetFirstText().Data(), medium.GetMediaType().Data());
}

// The running state of an enumeration: the caller's callback context, the
// count and whether anything was a hit.
struct Walk {
  void* context;
  int32_t& count;
  int32_t hit = 0;

  // Visits one item: without a context the item is a hit; with one the
  // call decides. Answers the call's answer (kContinue without a context).
  template <typename Call>
  int32_t Visit(const Call& call) {
    int32_t answer = kContinue;
    if (context == nullptr) {
      hit = 1;
    } else {
      int32_t itemHit = 0;
      answer = call(count, itemHit);
      if (itemHit != 0) hit = 1;
    }
    ++count;
    return answer;
  }
  int32_t Answer() const { return hit != 0 ? kHit : kNoHit; }
};

// The callback of the searches for an OS number: context points at it.
int32_t MatchesOsNumber(GResourceMapping* mapping, void* context, int32_t& hit) {
  if (mapping == nullptr || mapping->OsId() != *static_cast<const uint16_t*>(context)) return kContinue;
  hit = 1;
  return 0;
}

}  // namespace

std::unique_ptr<GMediaPool> GDriver::MakeSymmetricPool(GMediaPool& pool) {
  auto symmetric = std::make_unique<GMediaPool>(0);
  ForEachChildAs<GMedia>(pool, [&symmetric](GMedia& medium) {
    symmetric->AddChild(SymmetricCopy(medium).release());
    return true;
  });
  return symmetric;
}

GMediaPool* GDriver::GetMediaPool() {
  GConfiguration* configuration = GetConfiguration();
  if (configuration == nullptr) return nullptr;
  if (ValueOr(currentSettings_.get(), kMarginEmulationKey, 0) != 0) {
    return FindAs<GMediaPool>(configuration, kAlternativeMediaPoolKey);
  }
  GMediaPool* devicePool = FindAs<GMediaPool>(configuration, kDeviceMediaPoolKey);
  if (ValueOr(currentSettings_.get(), kSymmetricMarginsKey, 0) == 0) return devicePool;
  if (privateMediaPool_ == nullptr && devicePool != nullptr) privateMediaPool_ = MakeSymmetricPool(*devicePool);
  return privateMediaPool_.get();
}

int32_t GDriver::EnumerateMedia(MediaCallback callback, void* context, int32_t orientation, GResolution resolution,
                                int32_t throughMappings, int32_t useCustomLimits, int32_t& count) {
  count = 0;
  GMediaPool* pool = GetMediaPool();
  if (pool == nullptr) return kNoHit;
  const SizeRange range = useCustomLimits != 0
                              ? RangeOf(pool, kSmallestCustomMedia, kLargestCustomMedia, orientation, resolution)
                              : SizeRange{};
  Walk walk{context, count};
  const std::unique_ptr<GMediaIterator> media =
      pool->CreateIterator(orientation, resolution.x, resolution.y, range.minimum, range.maximum);
  while (media->Advance()) {
    GMedia& medium = *media->CurrentMedia();
    GResourceMapping* mapping = nullptr;
    if (throughMappings != 0) {
      mapping = resourceMappings_ != nullptr ? resourceMappings_->FindByDeviceId(medium.GetSizeId()) : nullptr;
      if (mapping == nullptr) continue;
    }
    const int32_t answer =
        walk.Visit([&](int32_t index, int32_t& hit) { return callback(medium, mapping, index, context, hit); });
    if (answer != kContinue) break;
  }
  return walk.Answer();
}

int32_t GDriver::EnumeratePaperSources(PaperSourceCallback callback, void* context, int32_t throughTrayMap,
                                       int32_t& count) {
  MPersistentObject* binPool = GetBinPool();
  if (binPool == nullptr) return kNoHit;
  Walk walk{context, count};

  // One pass over the trays of the installed inputs, those of one id only
  // when trayId is given; false once an answer ended it.
  const auto pass = [&](std::optional<int16_t> trayId) {
    return ForEachChildAs<GPaperHandlingDevice>(*binPool, [&](GPaperHandlingDevice& device) {
      if (device.GetKind() != GPaperHandlingDevice::kInput || device.IsInstalled() == 0) return true;
      return ForEachChildAs<GTray>(device, [&](GTray& tray) {
        if (trayId && tray.GetId() != *trayId) return true;
        GResourceMapping* mapping = nullptr;
        if (throughTrayMap != 0) {
          mapping = osTrayMap_ != nullptr ? osTrayMap_->FindByDeviceId(tray.GetId()) : nullptr;
          if (mapping == nullptr) return true;
        }
        return walk.Visit([&](int32_t index, int32_t& hit) { return callback(tray, mapping, index, context, hit); }) ==
               kContinue;
      });
    });
  };

  MPersistentObject* order = FindInConfiguration(kPaperSourceOrderKey);
  if (order == nullptr) {
    pass(std::nullopt);
  } else {
    ForEachChildAs<GValueAttribute>(*order, [&pass](GValueAttribute& entry) {
      pass(entry.Value());
      return true;
    });
  }
  return walk.Answer();
}

bool GDriver::HasPaperSource(uint16_t osSourceId) {
  int32_t count = 0;
  const PaperSourceCallback matches = [](GTray&, GResourceMapping* mapping, int32_t, void* context, int32_t& hit) {
    return MatchesOsNumber(mapping, context, hit);
  };
  return EnumeratePaperSources(matches, &osSourceId, 1, count) == kHit;
}

int32_t GDriver::EnumeratePaperSourceNames(PaperSourceNameCallback callback, void* context, int32_t withObjects,
                                           int32_t& count) {
  Walk walk{context, count};
  if (extraMappings_ != nullptr) {
    ForEachChildAs<GResourceMapping>(*extraMappings_, [&](GResourceMapping& mapping) {
      GResourceMapping* handed = withObjects != 0 ? &mapping : nullptr;
      return walk.Visit([&](int32_t index, int32_t& hit) { return callback(handed, index, context, hit, nullptr); }) ==
             kContinue;
    });
  }

  GResourceMappingList userSources;
  MPersistentObject* entries = BuildMappingsFromSettings(userSources);
  if (entries != nullptr) {
    const std::unique_ptr<GIterator> mappings = userSources.NewChildIterator();
    const std::unique_ptr<GIterator> texts = entries->NewChildIterator();
    while (mappings->Advance() && texts->Advance()) {
      auto* mapping = dynamic_cast<GResourceMapping*>(mappings->Current());
      walk.Visit([&](int32_t index, int32_t& hit) {
        if (withObjects == 0) return callback(nullptr, index, context, hit, nullptr);
        RWWString text;
        if (const auto* entry = dynamic_cast<const GStringAttribute*>(texts->Current()))
          NarrowToWide(entry->Text(), text);
        return callback(mapping, index, context, hit, &text);
      });
    }
  }
  return walk.Answer();
}

MPersistentObject* GDriver::BuildMappingsFromSettings(GResourceMappingList& list) {
  GAttributeComposite* settings = LoadCurrentSettings();
  MPersistentObject* entries = settings != nullptr ? settings->FindByKey(kUserEntriesKey) : nullptr;
  if (entries == nullptr) return nullptr;
  int32_t n = 0;
  ForEachChildAs<MPersistentObject>(*entries, [&list, &n](MPersistentObject&) {
    auto mapping = std::make_unique<GResourceMapping>(0, static_cast<uint16_t>(kFirstUserSourceOsNumber + n),
                                                      static_cast<int16_t>(kFirstUserSourceDeviceId + n), 0);
    if (list.AddIfNewDeviceId(mapping.get())) mapping.release();
    ++n;
    return true;
  });
  return entries;
}

bool GDriver::HasExtraMapping(uint16_t osNumber) {
  if (extraMappings_ != nullptr && extraMappings_->FindByOsId(osNumber) != nullptr) return true;
  GResourceMappingList userSources;
  BuildMappingsFromSettings(userSources);
  return userSources.FindByOsId(osNumber) != nullptr;
}

int32_t GDriver::IsPaperSupported(int32_t orientation, GResolution resolution, int32_t checkCustomLimits,
                                  uint16_t osPaperId) {
  int32_t count = 0;
  const MediaCallback matches = [](GMedia&, GResourceMapping* mapping, int32_t, void* context, int32_t& hit) {
    return MatchesOsNumber(mapping, context, hit);
  };
  if (EnumerateMedia(matches, &osPaperId, orientation, resolution, 1, checkCustomLimits, count) == kHit) return 1;
  if (currentSettings_ == nullptr) return 1;

  MPersistentObject* customSizes = currentSettings_->FindByKey(kCustomSizesKey);
  if (customSizes == nullptr) return 0;
  const SizeRange range = checkCustomLimits != 0
                              ? RangeOf(GetMediaPool(), kSmallestCustomMedia, kLargestCustomMedia, 0, resolution)
                              : SizeRange{};
  const bool found = !ForEachChildAs<GCustomMediaSize>(*customSizes, [&](GCustomMediaSize& size) {
    uint16_t osId = 0;
    if (DeviceIdToOSId(size.GetId(), osId) == 0 || osId != osPaperId) return true;
    // A size beyond 16 bits in dots lies outside every range.
    const std::optional<GUnitSize> dots = size.GetSizeInDots(resolution.x, resolution.y);
    if (!dots || dots->width > 0x7FFF || dots->height > 0x7FFF) return true;
    return !range.Holds({static_cast<int16_t>(dots->width), static_cast<int16_t>(dots->height)});
  });
  return found ? 1 : 0;
}

int32_t GDriver::IsCustomSizeInRange(int16_t customId, GAttributeComposite* settings) {
  GAttributeComposite* current = LoadCurrentSettings();
  if (settings == nullptr) settings = current;
  GConfiguration* configuration = GetConfiguration();
  if (current == nullptr || configuration == nullptr) return 0;
  const std::optional<GSettingsGeometry> geometry = FindGeometry(settings);
  MPersistentObject* customSizes = current->FindByKey(kCustomSizesKey);
  if (!geometry || customSizes == nullptr) return 0;

  GCustomMediaSize* size = nullptr;
  ForEachChildAs<GCustomMediaSize>(*customSizes, [&size, customId](GCustomMediaSize& entry) {
    if (entry.GetId() != customId) return true;
    size = &entry;
    return false;
  });
  if (size == nullptr) return 0;
  const std::unique_ptr<GMedia> medium = BuildMediaForSizeAttribute(*size, *settings, *configuration);
  GMediaPool* devicePool = GetDeviceMediaPool();
  if (medium == nullptr || devicePool == nullptr) return 0;
  const GMedia* smallest =
      devicePool->FindBySizeId(kSmallestRangeMedia, geometry->orientation, geometry->x, geometry->y);
  const GMedia* largest = devicePool->FindBySizeId(kLargestRangeMedia, geometry->orientation, geometry->x, geometry->y);
  if (smallest == nullptr || largest == nullptr) return 0;
  return SizeRange{smallest->GetPaperSize(), largest->GetPaperSize()}.Holds(medium->GetPaperSize()) ? 1 : 0;
}

int32_t GDriver::AddCustomMediaSize(GCustomMediaSize* size, GAttributeComposite& list, GAttributeComposite*) {
  if (size == nullptr) return 0;
  constexpr int32_t kIdCount = kLastCustomSizeId - kFirstCustomSizeId + 1;
  std::bitset<kIdCount> taken;
  GCustomMediaSize* sameName = nullptr;
  ForEachChildAs<GCustomMediaSize>(list, [&](GCustomMediaSize& entry) {
    const int32_t slot = entry.GetId() - kFirstCustomSizeId;
    if (slot >= 0 && slot < kIdCount) taken.set(static_cast<size_t>(slot));
    if (sameName == nullptr && entry.GetName() == size->GetName()) sameName = &entry;
    return true;
  });
  if (taken.all()) return 0;
  int32_t slot = 0;
  while (taken.test(static_cast<size_t>(slot))) ++slot;

  size->SetId(static_cast<int16_t>(kFirstCustomSizeId + slot));
  size->SetChangedFlag(1);
  if (sameName != nullptr) delete list.RemoveChild(sameName);
  list.AddChild(size);
  return 1;
}

int32_t GDriver::RemoveCustomMediaSize(GCustomMediaSize* size, GAttributeComposite& list, GAttributeComposite*) {
  if (size == nullptr) return 0;
  std::unique_ptr<MPersistentObject> removed(list.RemoveChild(size));
  return removed != nullptr ? 1 : 0;
}

int16_t GDriver::GetOSCapabilityLevel() {
  if (regionalPaperId_ != 0) return regionalPaperId_;
  regionalPaperId_ = kLetter;
  GOSFactory* factory = GOSFactory::Instance();
  const std::unique_ptr<GLocaleInfo> settings = factory != nullptr ? factory->ReadInternationalSettings() : nullptr;
  if (settings != nullptr) {
    const auto country = static_cast<uint32_t>(settings->Number(GLocaleInfo::kCountry));
    const bool americas = country <= 2 || (country >= 50 && country <= 59) || (country >= 500 && country <= 599);
    regionalPaperId_ = americas ? kLetter : kA4;
  }
  return regionalPaperId_;
}
