#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "graphics/commands/command.h"
#include "model/objects/object_ref.h"

// A request to download a font face to the printer ahead of the text that
// uses it. The command holds the font and the download option that the
// font is prepared with; the generators send the face in their own way.
//
// Three more values (a 16-bit value, a face name of at most 128 characters
// and a 32-bit value) are set only through their setters; they are neither
// stored nor compared.
//
// Stored part after the command's: version 1, the font as an object
// reference (nil without font), the download option (32-bit).
class GDownloadFace : public GCommand {
 public:
  // The longest face name kept; a longer one is cut.
  static constexpr uint32_t kMaxFaceNameLength = 128;

  GDownloadFace() = default;
  // Takes over the font, which may be null; the zero key.
  GDownloadFace(MPersistentObject* font, int32_t downloadOption);
  // Holds a clone of the font and the same option.
  GDownloadFace(const GDownloadFace& other);
  GDownloadFace& operator=(const GDownloadFace&) = delete;

  RWCollectable* NewInstance() const override { return new GDownloadFace; }
  RWCollectable* Clone() const override { return new GDownloadFace(*this); }
  RWClassID ClassID() const override { return kGDownloadFaceClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGDownloadFaceClassID || GCommand::IsKindOf(id); }
  // Equal options, and the same font or fonts of equal content.
  bool SameContent(const MPersistentObject& other) const override;
  // DownloadFace of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;

  MPersistentObject* GetFont() const { return font_.Get(); }
  // Takes over the font; the one held before is released.
  void SetFont(MPersistentObject* font) { font_ = font; }
  int32_t GetDownloadOption() const { return downloadOption_; }
  void SetDownloadOption(int32_t option) { downloadOption_ = option; }

  int16_t GetValue1() const { return value1_; }
  void SetValue1(int16_t value) { value1_ = value; }
  const RWCString& GetFaceName() const { return faceName_; }
  // Keeps the first kMaxFaceNameLength characters.
  void SetFaceName(const RWCString& name);
  int32_t GetValue3() const { return value3_; }
  void SetValue3(int32_t value) { value3_ = value; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  GObjectRef font_;
  int32_t downloadOption_ = 0;
  int16_t value1_ = 0;
  RWCString faceName_;
  int32_t value3_ = 0;
};
