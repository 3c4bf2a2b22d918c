#include "graphics/commands/command.h"

#include "model/attributes/state.h"

namespace {

// Iterates over nothing: a command is a leaf of the tree.
class GNoChildren : public GIterator {
 public:
  MPersistentObject* Current() override { return nullptr; }
  void Insert(MPersistentObject*) override {}
  bool Advance() override { return false; }
  void Reset() override {}
};

}  // namespace

GCommand::GCommand(GState* state, int32_t key) : MPersistentObject(key), state_(state) {}

GCommand::GCommand(const GCommand& other) : MPersistentObject(other), state_(other.state_) {}

bool GCommand::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* command = dynamic_cast<const GCommand*>(&other);
  if (command == nullptr || !MPersistentObject::SameContent(other)) return false;
  if (state_.Get() == command->state_.Get()) return true;
  return !state_.IsEmpty() && !command->state_.IsEmpty() && state_->SameContent(*command->state_);
}

std::unique_ptr<GIterator> GCommand::NewChildIterator() { return std::make_unique<GNoChildren>(); }

// The new state is held before the old one goes, so that installing the
// state already held changes nothing; a refused state goes with the
// temporary hold when nobody else owns it.
void GCommand::SetState(GState* state) {
  const GObjectRef held(state);
  if (AcceptsState(state)) state_ = held;
}

void GCommand::SetStateRef(GObjectRef& state) {
  auto* typed = dynamic_cast<GState*>(state.Get());
  if (typed == nullptr && !state.IsEmpty()) return;
  const GObjectRef held(state);
  if (AcceptsState(typed)) state_ = held;
}

GState* GCommand::TakeState() { return static_cast<GState*>(GiveUp(state_)); }

void GCommand::GetStateRef(GObjectRef& state) const { state = state_; }

GState* GCommand::GetState() const { return static_cast<GState*>(state_.Get()); }

bool GCommand::AcceptsState(GState*) { return true; }

GState* GCommand::StateWithKey(GState* state, int32_t key) {
  if (state == nullptr) return new GState(key);
  state->SetKey(key);
  return state;
}

bool GCommand::AcceptWithKey(GState* state, int32_t key) {
  if (state == nullptr) return false;
  state->SetKey(key);
  return true;
}

MPersistentObject* GCommand::GiveUp(GObjectRef& ref) {
  MPersistentObject* object = ref.Get();
  if (object == nullptr) return nullptr;
  object->AddReference();
  ref = nullptr;
  object->ReleaseReference();
  return object;
}

// A restored state is installed as SetStateRef installs one, so that a
// class that requires a kind of state keeps its own when the stored one
// does not fit.
void GCommand::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (archive.IsRestoring()) changed_ = false;
  if (!archive.Version(FormatVersion())) return;
  if (!archive.IsRestoring()) {
    archive.Object(state_);
    return;
  }
  GObjectRef read;
  if (archive.ObjectOf<GState>(read)) SetStateRef(read);
}
