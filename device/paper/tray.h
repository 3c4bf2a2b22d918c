#pragma once

#include <cstdint>
#include <memory>

#include "device/media/media.h"
#include "device/paper/sheet_container.h"

// An input tray (paper source) of a paper-handling device of kind 0, with
// the medium loaded in it, if any, which the tray owns.
//
// The first value is the tray's capacity as the device reports it: the
// device-options query compares it with the input capacity the printer
// answers (GetValue1 is the name that query and the render side use for
// it). The capacity field that SetLevel works against is another one.
//
// Stored part: the shared fields up to the level, then whether a medium is
// loaded (32-bit, 1 or 0) and the medium as an object reference when it
// is, then the display string (version 2).
class GTray : public GSheetContainer {
 public:
  GTray() = default;
  GTray(const RWCString& name, int16_t id, int32_t key) : GSheetContainer(name, id, 0, 0, -1, -1, key) {}
  // Takes the medium, which may be null.
  GTray(const RWCString& name, int16_t id, int32_t firstValue, int32_t secondValue, int32_t capacity, int32_t level,
        std::unique_ptr<GMedia> medium, int32_t key)
      : GSheetContainer(name, id, firstValue, secondValue, capacity, level, key), medium_(std::move(medium)) {}
  GTray(int16_t resourceId, const RWCString& name, int16_t id, int32_t firstValue, int32_t secondValue,
        int32_t capacity, int32_t level, std::unique_ptr<GMedia> medium, const char* defaultText,
        const char* moduleName, int32_t key);
  // Every field; the copy owns a copy of the medium.
  GTray(const GTray& other);
  GTray& operator=(const GTray& other);

  int32_t GetValue1() const { return GetFirstValue(); }

  // Deletes the present medium and takes the new one (null for none).
  void SetMedium(std::unique_ptr<GMedia> medium) { medium_ = std::move(medium); }
  // Gives up the medium to the caller; the tray then has none.
  std::unique_ptr<GMedia> TakeMedium() { return std::move(medium_); }
  // The medium or null; the tray keeps it.
  GMedia* GetMedium() const { return medium_.get(); }

  RWCollectable* NewInstance() const override { return new GTray; }
  RWCollectable* Clone() const override { return new GTray(*this); }
  RWClassID ClassID() const override { return kGTrayClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGTrayClassID || GAttribute::IsKindOf(id); }
  // Same class and key, every field equal, and media both absent or both
  // present with the same content.
  bool SameContent(const MPersistentObject& other) const override;
  // ApplyTray of the target.
  uint16_t SendTo(GPeripheral& target) override;

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  std::unique_ptr<GMedia> medium_;
};
