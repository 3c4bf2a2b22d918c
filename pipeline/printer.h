#pragma once

#include <cstdint>

#include "pipeline/document_channel.h"
#include "pipeline/peripheral_composite.h"

// The stage at the output end of a pipeline. It holds the two stages that
// write bytes, the PJL writer (the child with key 106) and one
// page-description generator (key 101), and routes each command class to
// them in a fixed order rather than through its children in list order:
// the document frame and page ends reach both, everything else only the
// generator. It obtains the job's output channel at document start,
// through the provider registry unless the document start brings one, and
// closes it at document end; its children all share its current and
// initial states, so that what it merges from a command each child sees.
//
// Stored part after the composite's: version 1, the mode (32-bit). A
// restore finds the two writing children again by their keys.
class GPrinter : public GPeripheralComposite {
 public:
  static constexpr int32_t kGeneratorKey = 101;
  static constexpr int32_t kPJLKey = 106;
  // Where a generator held by a printer finds its own name.
  static constexpr int32_t kGeneratorNameKey = 373;

  GPrinter() : GPrinter(0) {}
  explicit GPrinter(int32_t key);
  GPrinter(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key);
  // Takes the mode and both child pointers.
  GPrinter(const GPrinter& other);
  GPrinter& operator=(const GPrinter& other);
  ~GPrinter() override = default;

  RWCollectable* NewInstance() const override { return new GPrinter; }
  RWCollectable* Clone() const override { return new GPrinter(*this); }
  RWClassID ClassID() const override { return kGPrinterClassID; }
  bool IsKindOf(RWClassID id) const override { return id == kGPrinterClassID || GPeripheralComposite::IsKindOf(id); }
  bool SameContent(const MPersistentObject& other) const override;

  // A generator first gets its name into its current state.
  void AddChild(MPersistentObject* node) override;
  // A detached generator loses the name it got.
  MPersistentObject* RemoveChild(const MPersistentObject* node) override;
  MPersistentObject* RemoveChildByKey(int32_t key) override;
  MPersistentObject* RemoveChildByClassId(RWClassID id) override;

  // The plain stage's processing: the command's state goes into the shared
  // state, then HandleCommand routes it.
  GCommand* ProcessCommand(GCommand* command) override { return GPeripheral::ProcessCommand(command); }
  GCommand* HandleCommand(GCommand* command) override;
  // The children apply the attributes themselves.
  void ApplyChangedAttributes(int32_t) override {}
  // Rebuilds the configuration, finds the writing children again and makes
  // every child share one current and one initial state with the printer.
  void NotifyChanged(GPeripheral* changed) override;

  uint16_t DocumentStart(GDocumentStart& start) override;
  uint16_t DocumentEnd(GDocumentEnd& end) override;
  uint16_t PadOutput(GCommand&) override { return 0; }
  uint16_t PageEnd(GPageEnd& end) override;
  uint16_t JobAbort(GJobAbort& abort) override;

  // A copy of the generator (or the PJL writer) takes the place of the one
  // held. The generator classes hand themselves over through the four
  // hand-over operations (a generator's SendTo).
  uint16_t AddGenerator(const GPeripheral& generator) { return ReplaceWritingChild(kGeneratorKey, generator); }
  uint16_t AddWriter(const GPeripheral& writer) { return ReplaceWritingChild(kPJLKey, writer); }
  uint16_t AddBorzan(GPeripheral& generator) override { return AddGenerator(generator); }
  uint16_t AddPcl5e(GPeripheral& generator) override { return AddGenerator(generator); }
  uint16_t AddPostScript(GPeripheral& generator) override { return AddGenerator(generator); }
  uint16_t AddPJL(GPeripheral& writer) override { return AddWriter(writer); }

  bool ModeIsOne() const { return mode_ == 1; }
  // The writing children, null when absent.
  GPeripheral* PJLChild() const { return pjl_; }
  GPeripheral* GeneratorChild() const { return generator_; }
  void CacheChildren();

 protected:
  void Fields(GFieldArchive& archive) override;

 private:
  // Applies the command's attributes to the child, then has it process the
  // command.
  static GCommand* PassTo(GPeripheral* child, GCommand* command, int32_t key);
  // A nonzero status replaces the command by an error carrying it.
  static GCommand* Wrapped(GCommand* command, uint16_t status);
  uint16_t ReplaceWritingChild(int32_t key, const GPeripheral& child);
  // Removes the generator's name from a stage leaving the printer.
  static MPersistentObject* Unnamed(MPersistentObject* removed);
  // Deletes an owned channel and forgets it.
  void DropOwnedChannel();

  int32_t mode_ = 2;
  GPeripheral* pjl_ = nullptr;
  GPeripheral* generator_ = nullptr;
};
