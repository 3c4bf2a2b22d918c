#include "pipeline/printer.h"

#include "foundation/class_registrar.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/error_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/output/output_channel.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"
#include "pipeline/document_channel.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GPrinter>, kGPrinterClassID, kGPrinterClassName);

bool IsGenerator(const MPersistentObject* node) { return node != nullptr && node->IsKindOf(kGPDLGeneratorClassID); }

GPeripheral* StageByKey(MPersistentObject& node, int32_t key) {
  return dynamic_cast<GPeripheral*>(node.FindByKey(key));
}

}  // namespace

GPrinter::GPrinter(int32_t key) : GPeripheralComposite(key) { NotifyChanged(this); }

GPrinter::GPrinter(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key)
    : GPeripheralComposite(name, initialState, configuration, key, 0, 6, 2) {
  NotifyChanged(this);
}

GPrinter::GPrinter(const GPrinter& other)
    : GPeripheralComposite(other), mode_(other.mode_), pjl_(other.pjl_), generator_(other.generator_) {}

GPrinter& GPrinter::operator=(const GPrinter& other) {
  if (!DiffersFrom(other)) return *this;
  GPeripheralComposite::operator=(other);
  mode_ = other.mode_;
  pjl_ = other.pjl_;
  generator_ = other.generator_;
  return *this;
}

bool GPrinter::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  return other.ClassID() == ClassID() && GPeripheralComposite::SameContent(other) &&
         mode_ == static_cast<const GPrinter&>(other).mode_;
}

// Children.

void GPrinter::AddChild(MPersistentObject* node) {
  const GObjectRef held(node);
  if (IsGenerator(node)) {
    auto* generator = static_cast<GPeripheral*>(node);
    if (GState* state = generator->GetCurrentState(); state != nullptr) {
      state->AddChild(new GStringAttribute(generator->GetName(), kGeneratorNameKey));
    }
  }
  GPeripheralComposite::AddChild(node);
}

MPersistentObject* GPrinter::Unnamed(MPersistentObject* removed) {
  if (IsGenerator(removed)) const GObjectRef name(removed->RemoveChildByKey(kGeneratorNameKey));
  return removed;
}

MPersistentObject* GPrinter::RemoveChild(const MPersistentObject* node) {
  return Unnamed(GPeripheralComposite::RemoveChild(node));
}

MPersistentObject* GPrinter::RemoveChildByKey(int32_t key) {
  return Unnamed(GPeripheralComposite::RemoveChildByKey(key));
}

MPersistentObject* GPrinter::RemoveChildByClassId(RWClassID id) {
  return Unnamed(GPeripheralComposite::RemoveChildByClassId(id));
}

void GPrinter::CacheChildren() {
  pjl_ = StageByKey(*this, kPJLKey);
  generator_ = StageByKey(*this, kGeneratorKey);
}

void GPrinter::NotifyChanged(GPeripheral* changed) {
  RebuildConfiguration();
  CacheChildren();
  ShareStatesWithChildren();
  GPeripheral::NotifyChanged(changed);
}

uint16_t GPrinter::ReplaceWritingChild(int32_t key, const GPeripheral& child) {
  if (GState* state = GetCurrentState(); state != nullptr) const GObjectRef old(state->RemoveChildByKey(key));
  const GObjectRef detached(RemoveChildByKey(key));
  SetCurrentState(GetCurrentState());
  // The copy takes the key of its place, whatever key the original had, so
  // that the printer finds it there and a later hand-over replaces it.
  auto* copy = static_cast<GPeripheral*>(child.Clone());
  copy->SetKey(key);
  AddChild(copy);
  NotifyChanged(this);
  return 0;
}

// Commands.

GCommand* GPrinter::PassTo(GPeripheral* child, GCommand* command, int32_t key) {
  if (child == nullptr) return command;
  child->ApplyChangedAttributes(key);
  return child->ProcessCommand(command);
}

GCommand* GPrinter::Wrapped(GCommand* command, uint16_t status) {
  return status == 0 ? command : new GErrorCommand(status, command, 0);
}

GCommand* GPrinter::HandleCommand(GCommand* command) {
  GObjectRef held(command);
  const GObjectRef original(command);
  const GState* state = command->GetState();
  const int32_t key = state != nullptr ? state->Key() : 0;
  const auto current = [&held] { return static_cast<GCommand*>(held.Get()); };
  switch (command->ClassID()) {
    case kGDocumentStartClassID:
      InstallAddOns(pjl_);
      InstallAddOns(generator_);
      held = Wrapped(current(), DocumentStart(static_cast<GDocumentStart&>(*command)));
      held = PassTo(pjl_, current(), key);
      held = PassTo(generator_, current(), key);
      break;
    case kGDocumentEndClassID:
      if (state != nullptr) {
        held = PassTo(generator_, current(), key);
        held = PassTo(pjl_, current(), key);
      }
      held = Wrapped(current(), DocumentEnd(static_cast<GDocumentEnd&>(*command)));
      RemoveAddOns(generator_);
      RemoveAddOns(pjl_);
      break;
    case kGJobAbortClassID:
      if (generator_ != nullptr) held = generator_->ProcessCommand(current());
      if (pjl_ != nullptr) held = pjl_->ProcessCommand(current());
      held = Wrapped(current(), JobAbort(static_cast<GJobAbort&>(*command)));
      RemoveAddOns(generator_);
      RemoveAddOns(pjl_);
      break;
    case kGPageEndClassID:
      if (state != nullptr) {
        held = PassTo(generator_, current(), key);
        held = PassTo(pjl_, current(), key);
      }
      held = Wrapped(current(), PageEnd(static_cast<GPageEnd&>(*command)));
      break;
    default:
      if (generator_ == nullptr) break;
      if (state != nullptr) generator_->ApplyChangedAttributes(key);
      held = Wrapped(current(), command->DispatchTo(*generator_));
      break;
  }
  return static_cast<GCommand*>(GCommand::GiveUp(held));
}

// The channel.

void GPrinter::DropOwnedChannel() {
  if (OwnsOutputChannel()) BorrowOutputChannel(nullptr);
}

uint16_t GPrinter::DocumentStart(GDocumentStart& start) {
  if (const uint16_t status = TakeDocumentChannel(*this, start); status != 0) return status;
  EnterDocument();
  return 0;
}

uint16_t GPrinter::DocumentEnd(GDocumentEnd&) {
  uint16_t status = 0;
  if (OwnsOutputChannel()) {
    status = OutputChannel()->Close();
    DropOwnedChannel();
  }
  LeaveJob();
  return status;
}

uint16_t GPrinter::JobAbort(GJobAbort&) {
  LeaveJob();
  if (!OwnsOutputChannel()) return 0;
  const uint16_t status = OutputChannel()->Finish();
  DropOwnedChannel();
  return status;
}

uint16_t GPrinter::PageEnd(GPageEnd&) { return OutputChannel() != nullptr ? OutputChannel()->Checkpoint() : 0; }

// Stored form.

void GPrinter::Fields(GFieldArchive& archive) {
  GPeripheralComposite::Fields(archive);
  if (archive.Version(FormatVersion())) archive.Int32(mode_);
  if (archive.IsRestoring()) CacheChildren();
}
