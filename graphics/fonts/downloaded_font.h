#pragma once

#include <cstdint>
#include <functional>

#include "foundation/rw_cstring.h"
#include "graphics/fonts/bit_set.h"

class GDeviceFontDescription;
class GDownloadedFontOwner;

// The printer-side record of a font a generator has sent: its name on the
// printer, how it was sent, the printer memory it takes and the codes
// already sent. Each generator may derive its own record; references
// (GDownloadedFontRef) keep it alive.
//
// Download kinds the bases know: a font resident on the printer (never
// deleted there, never evicted), a downloaded bitmap font and a downloaded
// outline font; other kinds are the generators' own.
class GDownloadedFont {
 public:
  static constexpr int32_t kResidentKind = 1;
  static constexpr int32_t kBitmapKind = 2;
  static constexpr int32_t kOutlineKind = 3;
  static constexpr uint16_t kNoPrinterFontId = 0xFFFF;

  explicit GDownloadedFont(GDownloadedFontOwner* owner) : owner_(owner) {}
  GDownloadedFont(const GDownloadedFont&) = delete;
  GDownloadedFont& operator=(const GDownloadedFont&) = delete;
  virtual ~GDownloadedFont() = default;

  // The owner is no longer told anything: its cache has forgotten the
  // font, and the generator may be gone.
  virtual void MarkForgotten() { state_ = 0; }
  virtual void SetDownloadKind(int32_t kind) { downloadKind_ = kind; }
  // The font takes bytes more of printer memory; the owner counts them.
  virtual void AddSize(uint32_t bytes);
  virtual void SetDeviceFont(GDeviceFontDescription* font) { deviceFont_ = font; }
  // Takes the font off the printer, unless it takes no memory: a font not
  // resident there is deleted, its memory given back, and it counts as
  // never sent (size, glyphs and codes sent cleared). The record stays, so
  // that a later use sends the font again.
  virtual void Unload();
  virtual void SetPrinterFontId(uint16_t id) { printerFontId_ = id; }
  virtual void AddGlyphs(uint16_t count) { glyphCount_ = static_cast<uint16_t>(glyphCount_ + count); }
  virtual void SetUseStamp(uint32_t stamp) { useStamp_ = stamp; }
  virtual void SetEncoding(int32_t encoding) { encoding_ = encoding; }
  virtual void MarkCodeSent(uint32_t code) { codesSent_.Add(code); }
  virtual void ClearCodeSent(uint32_t code) { codesSent_.Remove(code); }

  virtual int32_t GetDownloadKind() const { return downloadKind_; }
  virtual uint32_t GetSize() const { return size_; }
  virtual int32_t GetState() const { return state_; }
  virtual GDeviceFontDescription* GetDeviceFont() const { return deviceFont_; }
  virtual uint32_t GetUseStamp() const { return useStamp_; }
  virtual uint16_t GetPrinterFontId() const { return printerFontId_; }
  virtual uint16_t GetGlyphCount() const { return glyphCount_; }
  virtual int32_t GetEncoding() const { return encoding_; }
  virtual bool IsCodeSent(uint32_t code) const { return codesSent_.Contains(code); }
  // visit with each code sent, ascending; the last answer, 0 when none.
  virtual int32_t ForEachSentCode(const std::function<int32_t(uint32_t)>& visit) const {
    return codesSent_.ForEach(visit);
  }

  const RWCString& GetName() const { return name_; }
  void SetName(const RWCString& name) { name_ = name; }

 protected:
  // Null once the record is forgotten.
  GDownloadedFontOwner* Owner() const { return state_ != 0 ? owner_ : nullptr; }

 private:
  friend class GDownloadedFontRef;

  GDownloadedFontOwner* owner_;
  RWCString name_;
  // Not owned: the printer's font list holds it.
  GDeviceFontDescription* deviceFont_ = nullptr;
  int32_t state_ = 1;
  uint16_t printerFontId_ = kNoPrinterFontId;
  uint16_t glyphCount_ = 0;
  uint32_t size_ = 0;
  uint32_t useStamp_ = 0;
  int32_t downloadKind_ = 0;
  int32_t encoding_ = 0;
  GBitSet codesSent_;
  int16_t references_ = 0;
};

// A counted reference to a downloaded-font record, as a font body and a
// generator's cache hold it. The record lives exactly as long as some
// reference to it exists. Every operation forwards to the record.
class GDownloadedFontRef {
 public:
  // Counts itself on the record.
  explicit GDownloadedFontRef(GDownloadedFont* font);
  GDownloadedFontRef(const GDownloadedFontRef&) = delete;
  GDownloadedFontRef& operator=(const GDownloadedFontRef&) = delete;
  // The last reference deletes the record.
  virtual ~GDownloadedFontRef();

  virtual int32_t GetDownloadKind() const { return font_->GetDownloadKind(); }
  virtual uint32_t GetSize() const { return font_->GetSize(); }
  virtual GDeviceFontDescription* GetDeviceFont() const { return font_->GetDeviceFont(); }
  virtual uint16_t GetPrinterFontId() const { return font_->GetPrinterFontId(); }
  virtual uint16_t GetGlyphCount() const { return font_->GetGlyphCount(); }
  virtual uint32_t GetUseStamp() const { return font_->GetUseStamp(); }
  virtual int32_t GetEncoding() const { return font_->GetEncoding(); }
  virtual bool IsCodeSent(uint32_t code) const { return font_->IsCodeSent(code); }
  virtual int32_t ForEachSentCode(const std::function<int32_t(uint32_t)>& visit) const {
    return font_->ForEachSentCode(visit);
  }
  virtual int32_t GetState() const { return font_->GetState(); }
  virtual void MarkForgotten() { font_->MarkForgotten(); }
  // A new reference of the generator's own class on the same record.
  virtual GDownloadedFontRef* Duplicate() const = 0;
  virtual void SetDownloadKind(int32_t kind) { font_->SetDownloadKind(kind); }
  virtual void AddSize(uint32_t bytes) { font_->AddSize(bytes); }
  virtual void SetDeviceFont(GDeviceFontDescription* font) { font_->SetDeviceFont(font); }
  virtual void Unload() { font_->Unload(); }
  virtual void SetPrinterFontId(uint16_t id) { font_->SetPrinterFontId(id); }
  virtual void AddGlyphs(uint16_t count) { font_->AddGlyphs(count); }
  virtual void SetUseStamp(uint32_t stamp) { font_->SetUseStamp(stamp); }
  virtual void SetEncoding(int32_t encoding) { font_->SetEncoding(encoding); }
  virtual void MarkCodeSent(uint32_t code) { font_->MarkCodeSent(code); }
  virtual void ClearCodeSent(uint32_t code) { font_->ClearCodeSent(code); }

  const RWCString& GetName() const { return font_->GetName(); }
  void SetName(const RWCString& name) { font_->SetName(name); }

  GDownloadedFont& Font() const { return *font_; }
  // References on the record, this one included.
  int16_t ReferenceCount() const { return font_->references_; }

 private:
  GDownloadedFont* font_;
};
