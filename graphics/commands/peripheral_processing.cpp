// The common bodies of a stage's command processing. They take commands
// apart, so they live with the command classes rather than with the stage
// interface; concrete stages reach them through qualified calls.
//
// Ownership: a stage holds a reference to the command it works on and
// hands back the resulting command without one, so that the caller, which
// holds the command it passed, takes the answer into its own reference. A
// replacement (an error command) holds the command it replaces.
#include "model/attributes/peripheral.h"

#include <memory>

#include "graphics/commands/command.h"
#include "graphics/commands/error_command.h"
#include "model/attributes/state.h"
#include "model/objects/child_iterator.h"
#include "model/objects/class_ids.h"

namespace {

// Commands that a stage passes on without merging or dispatching them.
bool PassesUntouched(const GCommand& command) {
  return command.ClassID() == kGNoCommandClassID || command.ClassID() == kGErrorCommandClassID;
}

bool IsError(const MPersistentObject& command) { return command.ClassID() == kGErrorCommandClassID; }

GCommand* HandBack(GObjectRef& held) { return static_cast<GCommand*>(GCommand::GiveUp(held)); }

}  // namespace

GCommand* GPeripheral::ProcessCommand(GCommand* command) {
  GObjectRef held(command);
  if (command == nullptr || !IsEnabled()) return HandBack(held);
  command->SetChanged(false);
  if (command->AsComposite() != nullptr) held = ProcessComposite(command);
  auto* current = static_cast<GCommand*>(held.Get());
  if (current->AsComposite() == nullptr && !PassesUntouched(*current)) {
    if (GState* state = current->GetState(); state != nullptr) {
      const GObjectRef heldState(state);
      PutAttribute(state);
      ApplyChangedAttributes(state->Key());
    }
    held = HandleCommand(current);
  }
  return HandBack(held);
}

GCommand* GPeripheral::HandleCommand(GCommand* command) {
  GObjectRef held(command);
  if (const uint16_t status = command->DispatchTo(*this); status != 0) held = new GErrorCommand(status, command, 0);
  return HandBack(held);
}

// The first error ends the pass: it stays in the list in place of the child
// that failed, so that whoever looks through the answer finds it, and the
// remaining children are not processed.
GCommand* GPeripheral::ProcessComposite(GCommand* composite) {
  GObjectRef held(composite);
  if (composite == nullptr || composite->AsComposite() == nullptr) return HandBack(held);
  const std::unique_ptr<GIterator> children = composite->NewChildIterator();
  while (IsEnabled() && children->Advance()) {
    auto* child = dynamic_cast<GCommand*>(children->Current());
    if (child == nullptr) continue;
    const GObjectRef heldChild(child);
    GObjectRef result(ProcessCommand(child));
    auto* answer = static_cast<GCommand*>(result.Get());
    if (answer == nullptr) continue;
    if (answer != child || !answer->SameContent(*child) || answer->IsChanged()) {
      answer->SetChanged(false);
      if (answer != child) children->Insert(answer);
      composite->SetChanged(true);
    }
    if (IsError(*answer)) break;
  }
  return HandBack(held);
}
