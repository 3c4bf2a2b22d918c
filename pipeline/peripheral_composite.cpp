#include "pipeline/peripheral_composite.h"

#include "foundation/class_registrar.h"
#include "graphics/commands/command.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "model/attributes/string_attribute.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GPeripheralComposite>, kGPeripheralCompositeClassID,
                                kGPeripheralCompositeClassName);

// Add-on mode under which no add-on is ever installed.
constexpr int32_t kNoAddOns = 2;

GPeripheral* LoadNothing(const RWWString&, int32_t, int32_t) { return nullptr; }

GPeripheralComposite::AddOnLoader addOnLoader = LoadNothing;

GPeripheral* AsStage(MPersistentObject* node) { return dynamic_cast<GPeripheral*>(node); }

bool Contains(GCommand& command, RWClassID id) { return command.FindByClassId(id) != nullptr; }

bool EndsTheChainPass(const GCommand& command) {
  return command.ClassID() == kGNoCommandClassID || command.ClassID() == kGErrorCommandClassID;
}

bool SameOrBothAbsent(const GObjectRef& a, const GObjectRef& b) {
  if (a.IsEmpty() || b.IsEmpty()) return a.IsEmpty() == b.IsEmpty();
  return a->SameContent(*b);
}

MPersistentObject* DeepCopyOf(const GObjectRef& ref) { return ref.IsEmpty() ? nullptr : ref->DeepCopy(); }

// Held children of any node, in order.
std::vector<GObjectRef> HeldStages(MPersistentObject& node) {
  std::vector<GObjectRef> held;
  const std::unique_ptr<GIterator> children = node.NewChildIterator();
  while (children->Advance()) {
    if (AsStage(children->Current()) != nullptr) held.emplace_back(children->Current());
  }
  return held;
}

GCommand* HandBack(GObjectRef& held) { return static_cast<GCommand*>(GCommand::GiveUp(held)); }

}  // namespace

void GPeripheralComposite::SetAddOnLoader(AddOnLoader loader) {
  addOnLoader = loader != nullptr ? loader : LoadNothing;
}

GPeripheralComposite::GPeripheralComposite(int32_t key)
    : Lookups(key),
      ownCurrentState_(new GState(kStateKey)),
      ownInitialState_(new GState(kStateKey)),
      ownConfiguration_(new GState(kConfigurationKey)) {}

GPeripheralComposite::GPeripheralComposite(const RWCString& name, GState* initialState, GConfiguration* configuration,
                                           int32_t key, int32_t addOnListKey, int32_t addOnKind, int32_t addOnMode)
    : Lookups(name, initialState, configuration, key, addOnListKey, addOnKind, addOnMode),
      ownCurrentState_(GetCurrentState()),
      ownInitialState_(GetInitialState()),
      ownConfiguration_(new GState(kConfigurationKey)) {
  // What the stage is built with is its own, so that the states it shares
  // and the configuration it rebuilds from its children start from it rather
  // than lose it at the first change.
  if (configuration == nullptr) return;
  ownConfiguration_ = configuration;
  GPeripheral::SetConfiguration(new GConfiguration(kConfigurationKey));
}

GPeripheralComposite::GPeripheralComposite(const GPeripheralComposite& other)
    : Lookups(other),
      ownCurrentState_(other.ownCurrentState_),
      ownInitialState_(other.ownInitialState_),
      ownConfiguration_(other.ownConfiguration_),
      children_(other.children_),
      active_(other.active_) {}

GPeripheralComposite& GPeripheralComposite::operator=(const GPeripheralComposite& other) {
  if (!DiffersFrom(other)) return *this;
  GPeripheral::operator=(other);
  ownCurrentState_ = other.ownCurrentState_;
  ownInitialState_ = other.ownInitialState_;
  ownConfiguration_ = other.ownConfiguration_;
  children_ = other.children_;
  active_ = other.active_;
  return *this;
}

GPeripheralComposite::~GPeripheralComposite() {
  for (const GObjectRef& child : HeldChildren()) static_cast<GPeripheral*>(child.Get())->RemoveParent(this);
}

bool GPeripheralComposite::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID() || !GPeripheral::SameContent(other)) return false;
  const auto& composite = static_cast<const GPeripheralComposite&>(other);
  return children_.SameContent(composite.children_) && SameOrBothAbsent(ownCurrentState_, composite.ownCurrentState_) &&
         SameOrBothAbsent(ownInitialState_, composite.ownInitialState_) &&
         SameOrBothAbsent(ownConfiguration_, composite.ownConfiguration_);
}

MPersistentObject* GPeripheralComposite::DeepCopy() const {
  auto* copy = static_cast<GPeripheralComposite*>(GPeripheral::DeepCopy());
  copy->ownCurrentState_ = DeepCopyOf(ownCurrentState_);
  copy->ownInitialState_ = DeepCopyOf(ownInitialState_);
  copy->ownConfiguration_ = DeepCopyOf(ownConfiguration_);
  copy->children_.RemoveAllChildren();
  copy->active_.RemoveAllChildren();
  for (const GObjectRef& child : HeldChildren()) copy->AddChild(child->DeepCopy());
  return copy;
}

// Children.

void GPeripheralComposite::AddChild(MPersistentObject* node) {
  const GObjectRef held(node);
  GPeripheral* stage = AsStage(node);
  if (stage == nullptr) return;
  children_.AddChild(stage);
  stage->AddParent(this);
  NotifyChanged(this);
}

// The parent bookkeeping is done on the stage itself: the removal hands the
// caller a clone when someone else (the active chain) still holds it.
MPersistentObject* GPeripheralComposite::Detach(MPersistentObject* node) {
  if (node == nullptr) return nullptr;
  GPeripheral* stage = AsStage(node);
  if (stage != nullptr) stage->RemoveParent(this);
  MPersistentObject* removed = children_.RemoveChild(node);
  if (stage != nullptr) NotifyChanged(this);
  return removed;
}

MPersistentObject* GPeripheralComposite::RemoveChild(const MPersistentObject* node) {
  if (AsStage(const_cast<MPersistentObject*>(node)) == nullptr) return nullptr;
  return Detach(const_cast<MPersistentObject*>(node));
}

MPersistentObject* GPeripheralComposite::RemoveChildByKey(int32_t key) { return Detach(children_.FindByKey(key)); }

MPersistentObject* GPeripheralComposite::RemoveChildByClassId(RWClassID id) {
  return Detach(children_.FindByClassId(id));
}

void GPeripheralComposite::RemoveAllChildren() {
  for (const GObjectRef& child : HeldChildren()) static_cast<GPeripheral*>(child.Get())->RemoveParent(this);
  children_.RemoveAllChildren();
}

std::vector<GObjectRef> GPeripheralComposite::HeldChildren() const {
  return HeldStages(const_cast<MPersistentComposite&>(children_));
}

// Commands.

GCommand* GPeripheralComposite::ProcessCommand(GCommand* command) {
  GObjectRef held(command);
  if (command == nullptr) return HandBack(held);
  if (Contains(*command, kGDocumentStartClassID)) {
    InstallAddOns(this);
    active_.RemoveAllChildren();
    for (const GObjectRef& child : HeldChildren()) {
      auto* stage = static_cast<GPeripheral*>(child.Get());
      if (stage->IsEnabled()) held = stage->ProcessCommand(static_cast<GCommand*>(held.Get()));
      if (stage->IsEnabled()) active_.AddChild(stage);
    }
    return HandBack(held);
  }
  held = PassThroughChain(command);
  auto* result = static_cast<GCommand*>(held.Get());
  if (EndsTheChainPass(*result)) return HandBack(held);
  if (Contains(*result, kGDocumentEndClassID) || Contains(*result, kGJobAbortClassID)) {
    RemoveAddOns(this);
    active_.RemoveAllChildren();
  }
  return HandBack(held);
}

GCommand* GPeripheralComposite::PassThroughChain(GCommand* command) {
  GObjectRef held(command);
  for (const GObjectRef& member : HeldStages(active_)) {
    auto* stage = static_cast<GPeripheral*>(member.Get());
    if (!stage->IsEnabled()) continue;
    held = stage->ProcessCommand(static_cast<GCommand*>(held.Get()));
    if (EndsTheChainPass(*static_cast<GCommand*>(held.Get()))) break;
  }
  return HandBack(held);
}

// States and configuration.

void GPeripheralComposite::SetInitialState(GState* state) {
  GPeripheral::SetInitialState(state);
  ownInitialState_ = state;
}

int32_t GPeripheralComposite::SetCurrentState(GState* state) {
  GPeripheral::SetCurrentState(state);
  ownCurrentState_ = state;
  return 0;
}

void GPeripheralComposite::SetConfiguration(GConfiguration* configuration) {
  ownConfiguration_ = configuration;
  NotifyChanged(this);
}

GState* GPeripheralComposite::TakeInitialState() { return GPeripheral::TakeInitialState(); }

GState* GPeripheralComposite::TakeCurrentState() { return GPeripheral::TakeCurrentState(); }

GConfiguration* GPeripheralComposite::TakeConfiguration() {
  GObjectRef old(std::move(ownConfiguration_));
  ownConfiguration_ = new GConfiguration(kConfigurationKey);
  NotifyChanged(this);
  return static_cast<GConfiguration*>(old.HandOver());
}

void GPeripheralComposite::ResetJob() {
  for (const GObjectRef& child : HeldChildren()) static_cast<GPeripheral*>(child.Get())->ResetJob();
  GPeripheral::SetInitialState(GetOwnInitialState());
  ownCurrentState_ = DeepCopyOf(ownInitialState_);
  GPeripheral::ResetJob();
}

void GPeripheralComposite::NotifyChanged(GPeripheral* changed) {
  RebuildConfiguration();
  GPeripheral::NotifyChanged(changed);
}

void GPeripheralComposite::ShareStatesWithChildren() {
  const GObjectRef current(new GState(kStateKey));
  const GObjectRef initial(new GState(kStateKey));
  static_cast<GState&>(*current).UpdateFrom(GetOwnCurrentState());
  static_cast<GState&>(*initial).UpdateFrom(GetOwnInitialState());
  const std::vector<GObjectRef> children = HeldChildren();
  for (const GObjectRef& child : children) {
    static_cast<GState&>(*initial).UpdateFrom(static_cast<GPeripheral*>(child.Get())->GetInitialState());
    static_cast<GState&>(*current).UpdateFrom(static_cast<GPeripheral*>(child.Get())->GetCurrentState());
  }
  GPeripheralComposite::SetCurrentState(static_cast<GState*>(current.Get()));
  GPeripheralComposite::SetInitialState(static_cast<GState*>(initial.Get()));
  for (const GObjectRef& child : children) {
    static_cast<GPeripheral*>(child.Get())->SetInitialState(static_cast<GState*>(initial.Get()));
    static_cast<GPeripheral*>(child.Get())->SetCurrentState(static_cast<GState*>(current.Get()));
  }
}

void GPeripheralComposite::RebuildConfiguration() {
  GConfiguration* configuration = GetConfiguration();
  if (configuration == nullptr) return;
  configuration->RemoveAllChildren();
  // A stored stage may name its own configuration where the rebuilt one
  // belongs; it is not added to itself.
  if (!ownConfiguration_.IsEmpty() && ownConfiguration_.Get() != configuration) {
    configuration->AddChild(ownConfiguration_.Get());
  }
  for (const GObjectRef& child : HeldChildren()) {
    if (GConfiguration* own = static_cast<GPeripheral*>(child.Get())->GetConfiguration(); own != nullptr) {
      if (own != configuration) configuration->AddChild(own);
    }
  }
}

// Answers about the children.

int32_t GPeripheralComposite::IsScalable() {
  for (const GObjectRef& child : HeldChildren()) {
    if (static_cast<GPeripheral*>(child.Get())->IsScalable() != 1) return 0;
  }
  return 1;
}

std::pair<float, float>& GPeripheralComposite::GetScaleFactor(std::pair<float, float>& factor, GState* jobSettings,
                                                              GState* pageState, int32_t pageNumber, int32_t* mode) {
  std::pair<float, float> product{1.0F, 1.0F};
  for (const GObjectRef& child : HeldChildren()) {
    if (product.first == 0.0F && product.second == 0.0F) break;
    auto* stage = static_cast<GPeripheral*>(child.Get());
    if (!stage->IsEnabled()) continue;
    std::pair<float, float> own{1.0F, 1.0F};
    stage->GetScaleFactor(own, jobSettings, pageState, pageNumber, mode);
    product.first *= own.first;
    product.second *= own.second;
  }
  factor = product;
  return factor;
}

uint32_t GPeripheralComposite::GetEmulatedFeatures() {
  uint32_t features = 0;
  for (const GObjectRef& child : HeldChildren()) {
    auto* stage = static_cast<GPeripheral*>(child.Get());
    if (stage->IsEnabled()) features |= stage->GetEmulatedFeatures();
  }
  return features;
}

// Add-ons.

void GPeripheralComposite::InstallAddOns(GPeripheral* stage) {
  if (stage == nullptr || stage->AddOnMode() == kNoAddOns || stage->GetConfiguration() == nullptr) return;
  MPersistentObject* list = stage->GetConfiguration()->FindByKey(stage->AddOnListKey());
  if (list == nullptr) return;
  std::vector<GObjectRef> loaded;
  const std::unique_ptr<GIterator> names = list->NewChildIterator();
  while (names->Advance()) {
    auto* name = dynamic_cast<GStringAttribute*>(names->Current());
    if (name == nullptr) continue;
    if (GPeripheral* addOn =
            addOnLoader(RWWString::FromMultibyte(name->Text()), stage->AddOnKind(), stage->AddOnMode());
        addOn != nullptr) {
      loaded.emplace_back(addOn);
    }
  }
  if (loaded.empty()) return;
  // The add-ons go in front: the stage's own children leave and come back
  // after them, in their order.
  std::vector<GObjectRef> own;
  while (MPersistentObject* child = stage->FindKindOf(kGPeripheralClassID)) {
    own.emplace_back(child);
    const GObjectRef removed(stage->RemoveChild(child));
  }
  for (GObjectRef& addOn : loaded) stage->AddChild(addOn.Get());
  for (GObjectRef& child : own) stage->AddChild(child.Get());
}

void GPeripheralComposite::RemoveAddOns(GPeripheral* stage) {
  if (stage == nullptr || stage->AddOnMode() == kNoAddOns) return;
  while (MPersistentObject* addOn = stage->RemoveChildByClassId(kGPeripheralProxyClassID)) {
    const GObjectRef released(addOn);
  }
}

GState* GPeripheralComposite::GetOwnCurrentState() const { return static_cast<GState*>(ownCurrentState_.Get()); }

GState* GPeripheralComposite::GetOwnInitialState() const { return static_cast<GState*>(ownInitialState_.Get()); }

// Stored form.

void GPeripheralComposite::Fields(GFieldArchive& archive) {
  GPeripheral::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.ObjectValue(children_);
  archive.ObjectOf<GState>(ownCurrentState_);
  archive.ObjectOf<GState>(ownInitialState_);
  archive.Object(ownConfiguration_);
  if (!archive.IsRestoring()) return;
  active_.RemoveAllChildren();
  DropNonStages();
}

void GPeripheralComposite::DropNonStages() {
  const std::vector<GObjectRef> stages = HeldChildren();
  if (stages.size() == children_.EntryCount()) return;
  children_.RemoveAllChildren();
  for (const GObjectRef& stage : stages) children_.AddChild(stage.Get());
}
