#pragma once

#include <cstdint>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "graphics/commands/command.h"

class GGraphicsDevice;
class GOutputChannel;

// The commands that frame a document. They carry the document's name, the
// name of the port or file its output goes to, and the job settings in a
// document state (always a GState with key 246: made empty when none is
// given; a state handed over takes that key; a null state is refused).
//
// The output channel is attached by the first stage that opens one, so
// that every later stage writes into the same channel. The command never
// deletes it on its own end: the channel has one owner, the stage that
// opened it. Replacing an attached channel deletes the one replaced.
//
// Stored part after the command's: version 1, the document name and the
// output name as wide strings. The channel is not stored.
class GDocumentCommand : public GCommand {
 public:
  static constexpr int32_t kStateKey = 246;

  bool IsKindOf(RWClassID id) const override { return id == kGDocumentCommandClassID || GCommand::IsKindOf(id); }
  // The command parts agree and both names are equal.
  bool SameContent(const MPersistentObject& other) const override;

  const RWWString& GetDocumentName() const { return documentName_; }
  const RWWString& GetOutputName() const { return outputName_; }
  void SetDocumentName(const RWWString& name) { documentName_ = name; }
  void SetOutputName(const RWWString& name) { outputName_ = name; }

  GOutputChannel* GetOutputChannel() const { return channel_; }
  // Deletes the channel it replaces (unless it is the same).
  void SetOutputChannel(GOutputChannel* channel);
  // Answers the channel and forgets it.
  GOutputChannel* TakeOutputChannel();

 protected:
  explicit GDocumentCommand(int32_t key = 0);
  GDocumentCommand(const RWWString& documentName, const RWWString& outputName, GState* state, int32_t key);
  // Copies the names and shares the channel.
  GDocumentCommand(const GDocumentCommand& other) = default;

  bool AcceptsState(GState* state) override;
  void Fields(GFieldArchive& archive) override;

 private:
  RWWString documentName_;
  RWWString outputName_;
  GOutputChannel* channel_ = nullptr;
};

// The start of a document: it also carries the job's graphics device, from
// which the stages read the job's fonts and decisions, and the device's
// narrow job name at the time (which the PJL writer can use as the job
// name). The device is neither counted nor owned.
//
// Stored part after the document command's: version 1, a 32-bit flag (1
// when a device is present), then the device's 32-bit handle. A restore
// looks the handle up among the driver server's graphics devices; an
// unknown handle leaves the command without a device. The alternate name
// is not stored.
class GDocumentStart : public GDocumentCommand {
 public:
  GDocumentStart() = default;
  // The one the graphics device uses.
  GDocumentStart(const RWWString& documentName, const RWCString& alternateName, const RWWString& outputName,
                 GGraphicsDevice* device, GState* state, int32_t key);
  GDocumentStart(const RWWString& documentName, const RWWString& outputName, GGraphicsDevice* device, int32_t key);
  GDocumentStart(const GDocumentStart& other) = default;

  RWCollectable* NewInstance() const override { return new GDocumentStart; }
  RWCollectable* Clone() const override { return new GDocumentStart(*this); }
  RWClassID ClassID() const override { return kGDocumentStartClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGDocumentStartClassID || GDocumentCommand::IsKindOf(id); }
  // The same device, and the document-command parts agree.
  bool SameContent(const MPersistentObject& other) const override;
  // DocumentStart of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;

  GGraphicsDevice* GetGraphicsDevice() const { return device_; }
  const RWCString& GetAlternateName() const { return alternateName_; }

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  GGraphicsDevice* device_ = nullptr;
  RWCString alternateName_;
};

// The end of a document.
//
// Stored part after the document command's: its version word alone.
class GDocumentEnd : public GDocumentCommand {
 public:
  GDocumentEnd() = default;
  explicit GDocumentEnd(int32_t key) : GDocumentCommand(key) {}
  GDocumentEnd(const RWWString& documentName, const RWWString& outputName, int32_t key)
      : GDocumentCommand(documentName, outputName, nullptr, key) {}
  GDocumentEnd(const RWWString& documentName, const RWWString& outputName, GState* state, int32_t key)
      : GDocumentCommand(documentName, outputName, state, key) {}
  GDocumentEnd(const GDocumentEnd& other) = default;

  RWCollectable* NewInstance() const override { return new GDocumentEnd; }
  RWCollectable* Clone() const override { return new GDocumentEnd(*this); }
  RWClassID ClassID() const override { return kGDocumentEndClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGDocumentEndClassID || GDocumentCommand::IsKindOf(id); }
  bool SameContent(const MPersistentObject& other) const override;
  // DocumentEnd of the stage.
  uint16_t DispatchTo(GPeripheral& peripheral) override;

 protected:
  void Fields(GFieldArchive& archive) override;
};
