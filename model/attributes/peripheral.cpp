#include "model/attributes/peripheral.h"

#include <vector>

#include "foundation/persistence.h"
#include "foundation/rw/rwstore.h"
#include "foundation/stored_count.h"
#include "model/attributes/configuration.h"
#include "model/attributes/state.h"
#include "model/objects/reference_reader.h"

namespace {

// Marks of the stored parents list: written in full, or named by the index
// of the same list written before in the same save.
constexpr char kListInFull = ':';
constexpr char kListWrittenBefore = '@';

// Bytes of the stored add-on list key, kind and mode.
constexpr uint32_t kAddOnFieldsSize = 12;

// The fewest bytes a stored parent takes in either form: a back-reference
// ('@' and the index in a stream, tag and index in a file).
constexpr uint32_t kMinimumReferenceSize = 5;

// A state to install as a stage's own, given the key of the stage's state.
template <typename T>
T* Installed(T* object, int32_t key) {
  if (object != nullptr) object->SetKey(key);
  return object;
}

template <typename T>
T* As(const GObjectRef& ref) {
  return static_cast<T*>(ref.Get());
}

// The attributes among a node's direct children, held while they are sent:
// a handler may change the node.
std::vector<GObjectRef> AttributeChildren(MPersistentObject* node) {
  std::vector<GObjectRef> held;
  if (node == nullptr) return held;
  const std::unique_ptr<GIterator> children = node->NewChildIterator();
  while (children->Advance()) {
    if (dynamic_cast<GAttribute*>(children->Current()) != nullptr) held.emplace_back(children->Current());
  }
  return held;
}

// Both absent, or both present with equal contents.
bool SameOrBothAbsent(const GObjectRef& a, const GObjectRef& b) {
  if (a.IsEmpty() || b.IsEmpty()) return a.IsEmpty() == b.IsEmpty();
  return a->SameContent(*b);
}

// A deep copy for a copied stage, or null.
MPersistentObject* DeepCopyOf(const GObjectRef& ref) { return ref.IsEmpty() ? nullptr : ref->DeepCopy(); }

// Reads and writes of the two stored forms, so that one template serves
// both.
void Put(GBinaryFile& file, char value) { file.Write(value); }
void Put(GBinaryFile& file, int32_t value) { file.Write(value); }
void Put(GVirtualOutStream& stream, char value) { stream.PutChar(value); }
void Put(GVirtualOutStream& stream, int32_t value) { stream.PutLong(value); }
void PutObject(GBinaryFile& file, const RWCollectable* object) { WriteObjectToFile(object, file); }
void PutObject(GVirtualOutStream& stream, const RWCollectable* object) { WriteObjectToStream(object, stream); }
bool Get(GBinaryFile& file, char& value) { return file.Read(value); }
bool Get(GBinaryFile& file, int32_t& value) { return file.Read(value); }
bool Get(GBinaryFile& file, uint32_t& value) { return file.Read(value); }
bool Get(GVirtualInStream& stream, char& value) { return stream.GetChar(value).IsGood(); }
bool Get(GVirtualInStream& stream, int32_t& value) { return stream.GetLong(value).IsGood(); }
bool Get(GVirtualInStream& stream, uint32_t& value) { return stream.GetULong(value).IsGood(); }
RWCollectable* GetObject(GBinaryFile& file) {
  RWCollectable* object = nullptr;
  ReadObjectFromFile(file, object);
  return object;
}
RWCollectable* GetObject(GVirtualInStream& stream) {
  RWCollectable* object = nullptr;
  ReadObjectFromStream(stream, object);
  return object;
}

}  // namespace

GPeripheral::GPeripheral() : GPeripheral(0) {}

GPeripheral::GPeripheral(int32_t key)
    : GAttribute(key),
      currentState_(new GState(kStateKey)),
      initialState_(new GState(kStateKey)),
      configuration_(new GConfiguration(kConfigurationKey)) {}

GPeripheral::GPeripheral(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key,
                         int32_t addOnListKey, int32_t addOnKind, int32_t addOnMode)
    : GAttribute(key), name_(name), addOnListKey_(addOnListKey), addOnKind_(addOnKind), addOnMode_(addOnMode) {
  SetConfiguration(configuration != nullptr ? configuration : new GConfiguration(kConfigurationKey));
  SetInitialState(initialState != nullptr ? initialState : new GState(kStateKey));
  SetCurrentState(new GState(kStateKey));
  ResetJob();
}

GPeripheral::GPeripheral(const GPeripheral& other)
    : GAttribute(other),
      name_(other.name_),
      addOnListKey_(other.addOnListKey_),
      addOnKind_(other.addOnKind_),
      addOnMode_(other.addOnMode_),
      currentState_(other.currentState_),
      initialState_(other.initialState_),
      configuration_(other.configuration_),
      enabled_(other.enabled_) {}

GPeripheral& GPeripheral::operator=(const GPeripheral& other) {
  if (!DiffersFrom(other)) return *this;
  GAttribute::operator=(other);
  name_ = other.name_;
  addOnListKey_ = other.addOnListKey_;
  addOnKind_ = other.addOnKind_;
  addOnMode_ = other.addOnMode_;
  currentState_ = other.currentState_;
  initialState_ = other.initialState_;
  configuration_ = other.configuration_;
  enabled_ = other.enabled_;
  ForgetCachedStates();
  jobPhase_ = kOutsideDocument;
  return *this;
}

GPeripheral::~GPeripheral() { AttachChannel(nullptr, nullptr); }

// Stored form.

// The states, the configuration and the parents list are written with a
// table of their own (see SaveFields), so the archive only frames them.
void GPeripheral::Fields(GFieldArchive& archive) {
  GAttribute::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.Field([this](auto& output) { SaveFields(output); }, [this] { return FieldsSize(); },
                [this](auto& input) {
                  RestoreFields(input);
                  return InputIsGood(input);
                });
}

uint32_t GPeripheral::FieldsSize() const {
  // Counted in one table, so that an object met twice counts as the
  // back-reference the save writes for it.
  const GStoreTableGuard table;
  uint32_t size = ObjectStoreSize(initialState_.Get()) + ObjectStoreSize(currentState_.Get()) +
                  ObjectStoreSize(configuration_.Get()) + 1 + 4;
  parents_.ForEach(
      [](RWCollectable* parent, void* total) { *static_cast<uint32_t*>(total) += ObjectStoreSize(parent); }, &size);
  return size + 4 + name_.Length() + kAddOnFieldsSize;
}

template <typename Output>
void GPeripheral::SaveFields(Output& output) const {
  // One table for every reference, also when this is the outermost save.
  const GStoreTableGuard table;
  PutObject(output, initialState_.Get());
  PutObject(output, currentState_.Get());
  PutObject(output, configuration_.Get());
  // The list takes an index of the save's own, as objects do.
  uint32_t index = 0;
  if (!table.Get().AddObject(&parents_, index)) {
    Put(output, kListWrittenBefore);
    Put(output, static_cast<int32_t>(index));
  } else {
    Put(output, kListInFull);
    Put(output, static_cast<int32_t>(parents_.Count()));
    parents_.ForEach([](RWCollectable* parent, void* out) { PutObject(*static_cast<Output*>(out), parent); }, &output);
  }
  name_.SaveTo(output);
  Put(output, addOnListKey_);
  Put(output, addOnKind_);
  Put(output, addOnMode_);
}

template <typename Input>
void GPeripheral::RestoreFields(Input& input) {
  // One table for every reference, as the save wrote them.
  const GReadTableGuard table;
  const GReferenceReader reader(this);
  GObjectRef initial;
  GObjectRef current;
  GObjectRef configuration;
  if (!reader.Read(input, initial) || !reader.Read(input, current) || !reader.Read(input, configuration)) return;
  // What is not of the expected class is not installed; the reader
  // disposes of it.
  initialState_ = dynamic_cast<GState*>(initial.Get());
  currentState_ = dynamic_cast<GState*>(current.Get());
  configuration_ = dynamic_cast<GConfiguration*>(configuration.Get());
  ForgetCachedStates();
  if (!RestoreParents(input) || !InputIsGood(input)) return;
  name_.RestoreFrom(input);
  jobPhase_ = kOutsideDocument;
  Get(input, addOnListKey_) && Get(input, addOnKind_) && Get(input, addOnMode_);
}

// Parents are not owned. Only a stage read before in the same restore is
// taken (the composite whose children are being read): a stage that this
// read made belongs to nobody and would not outlive the restore.
template <typename Input>
bool GPeripheral::RestoreParents(Input& input) {
  parents_.ClearAndFree();
  char mark = 0;
  if (!Get(input, mark)) return false;
  // The list takes an index of its own in the restore as in the save; no
  // reference may name it as an object.
  const GReadTableGuard table;
  if (mark == kListWrittenBefore) {
    uint32_t index = 0;
    return Get(input, index);
  }
  if (mark != kListInFull) {
    FailInput(input);
    return false;
  }
  table.Get().AppendClassID(kUnknownClassID);
  uint32_t count = 0;
  if (!Get(input, count) || !InputCanHold(input, count, kMinimumReferenceSize)) return false;
  for (uint32_t i = 0; i < count; ++i) {
    const GFreshReadProbe probe;
    RWCollectable* read = GetObject(input);
    auto* parent = dynamic_cast<GPeripheral*>(read);
    if (read != nullptr && probe.Fresh(read)) {
      GReferenceReader::Discard(read);
    } else if (parent != nullptr && parent != this) {
      parents_.Append(parent);
    }
    if (!InputIsGood(input)) return false;
  }
  return true;
}

bool GPeripheral::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  const auto* stage = dynamic_cast<const GPeripheral*>(&other);
  if (stage == nullptr || !GAttribute::SameContent(other)) return false;
  if (name_ != stage->name_ || jobPhase_ != stage->jobPhase_ || addOnListKey_ != stage->addOnListKey_ ||
      addOnKind_ != stage->addOnKind_ || addOnMode_ != stage->addOnMode_ || enabled_ != stage->enabled_) {
    return false;
  }
  if (parents_.Count() != stage->parents_.Count()) return false;
  for (uint32_t i = 0; i < parents_.Count(); ++i) {
    if (parents_.At(i) != stage->parents_.At(i)) return false;
  }
  return SameOrBothAbsent(initialState_, stage->initialState_) &&
         SameOrBothAbsent(currentState_, stage->currentState_) &&
         SameOrBothAbsent(configuration_, stage->configuration_);
}

MPersistentObject* GPeripheral::DeepCopy() const {
  auto* copy = static_cast<GPeripheral*>(CloneObject());
  copy->currentState_ = DeepCopyOf(currentState_);
  copy->initialState_ = DeepCopyOf(initialState_);
  copy->configuration_ = DeepCopyOf(configuration_);
  copy->ForgetCachedStates();
  return copy;
}

uint16_t GPeripheral::SendTo(GPeripheral& target) {
  if (currentState_.IsEmpty()) return 0;
  uint16_t status = 0;
  for (const GObjectRef& child : AttributeChildren(currentState_.Get())) {
    if (const uint16_t answer = As<GAttribute>(child)->SendTo(target); answer != 0) status = answer;
  }
  SetChangedFlag(0);
  return status;
}

// Pipeline control.

void GPeripheral::SetInitialState(GState* state) { initialState_ = Installed(state, kStateKey); }

int32_t GPeripheral::SetCurrentState(GState* state) {
  currentState_ = Installed(state, kStateKey);
  ForgetCachedStates();
  return 0;
}

void GPeripheral::SetConfiguration(GConfiguration* configuration) {
  configuration_ = configuration;
  NotifyChanged(this);
}

GState* GPeripheral::TakeInitialState() {
  GObjectRef old(std::move(initialState_));
  initialState_ = new GState(kStateKey);
  return static_cast<GState*>(old.HandOver());
}

GState* GPeripheral::TakeCurrentState() {
  ForgetCachedStates();
  GObjectRef old(std::move(currentState_));
  currentState_ = new GState(kStateKey);
  return static_cast<GState*>(old.HandOver());
}

GConfiguration* GPeripheral::TakeConfiguration() {
  GObjectRef old(std::move(configuration_));
  configuration_ = new GConfiguration(kConfigurationKey);
  NotifyChanged(this);
  return static_cast<GConfiguration*>(old.HandOver());
}

void GPeripheral::ResetJob() {
  Enable();
  currentState_ = DeepCopyOf(initialState_);
  ForgetCachedStates();
  NotifyChanged(this);
  AttachChannel(nullptr, nullptr);
}

void GPeripheral::SetName(const RWCString& name) { name_ = name; }

void GPeripheral::PutAttribute(GAttribute* attribute) {
  if (attribute == nullptr) return;
  if (GState* target = FindStateFor(attribute->Key()); target != nullptr) {
    target->UpdateFrom(attribute);
  } else if (!currentState_.IsEmpty()) {
    currentState_->AddChild(attribute);
  }
}

void GPeripheral::ApplyChangedAttributes(int32_t key) {
  GState* state = FindStateFor(key);
  if (state == nullptr) return;
  if (key == kGraphicStateKey) {
    MPersistentObject* found = state->FindFirstChild(
        [](const GCountedPtr& child, void*) { return child->ClassID() == kGTransformAttributeClassID; }, nullptr);
    if (auto* transform = dynamic_cast<GAttribute*>(found); transform != nullptr && transform->ChangedFlag() != 0) {
      const GObjectRef held(transform);
      transform->SendTo(*this);
      state->MarkAllChanged();
      transform->SetChangedFlag(0);
    }
  }
  for (const GObjectRef& child : AttributeChildren(state)) {
    if (As<GAttribute>(child)->ChangedFlag() != 0) As<GAttribute>(child)->SendTo(*this);
  }
}

void GPeripheral::AddParent(GPeripheral* parent) { parents_.Append(parent); }

void GPeripheral::RemoveParent(GPeripheral* parent) { parents_.RemoveSame(parent); }

void GPeripheral::NotifyChanged(GPeripheral*) {
  if (notifying_) return;
  notifying_ = true;
  parents_.ForEach(
      [](RWCollectable* parent, void* changed) {
        static_cast<GPeripheral*>(parent)->NotifyChanged(static_cast<GPeripheral*>(changed));
      },
      this);
  notifying_ = false;
}

GState* GPeripheral::FindStateFor(int32_t key) {
  GObjectRef* cache = CacheFor(key);
  if (cache == nullptr || currentState_.IsEmpty()) return As<GState>(currentState_);
  if (cache->IsEmpty()) {
    auto* found = dynamic_cast<GState*>(currentState_->FindByKey(key));
    if (found == nullptr) {
      found = new GState(key);
      currentState_->AddChild(found);
    }
    *cache = found;
  }
  return As<GState>(*cache);
}

void GPeripheral::EnterDocument() { jobPhase_ = kInDocument; }

void GPeripheral::EnterPage() { jobPhase_ = kInPage; }

void GPeripheral::LeaveJob() { jobPhase_ = kOutsideDocument; }

GState* GPeripheral::GetCurrentState() const { return As<GState>(currentState_); }

GState* GPeripheral::GetInitialState() const { return As<GState>(initialState_); }

GConfiguration* GPeripheral::GetConfiguration() const { return As<GConfiguration>(configuration_); }

RWCString GPeripheral::GetName() const { return name_; }

bool GPeripheral::IsInDocument() const { return jobPhase_ == kInDocument; }

bool GPeripheral::IsInPage() const { return jobPhase_ == kInPage; }

int32_t GPeripheral::IsScalable() { return 1; }

std::pair<float, float>& GPeripheral::GetScaleFactor(std::pair<float, float>& factor, GState*, GState*, int32_t,
                                                     int32_t*) {
  factor = {1.0F, 1.0F};
  return factor;
}

// Command handlers.

uint16_t GPeripheral::DrawArc(GShapeGraphic&) { return 0; }
uint16_t GPeripheral::DrawChord(GShapeGraphic&) { return 0; }
uint16_t GPeripheral::DrawEllipse(GShapeGraphic&) { return 0; }
uint16_t GPeripheral::EndScanLines() { return 0; }
uint16_t GPeripheral::DrawPath(GPathGraphic&) { return 0; }
uint16_t GPeripheral::DrawPie(GShapeGraphic&) { return 0; }
uint16_t GPeripheral::DrawPolyBezier(GPolyBezierGraphic&) { return 0; }
uint16_t GPeripheral::DrawBezierSegments(const GPoint*, uint32_t) { return 0; }
uint16_t GPeripheral::BeginPolyline(const GPoint*, uint32_t) { return 0; }
uint16_t GPeripheral::DrawLineSegments(const GPoint*, uint32_t) { return 0; }
uint16_t GPeripheral::DrawPolygon(GPolygonGraphic&) { return 0; }
uint16_t GPeripheral::DrawRectangle(GRectangleGraphic&) { return 0; }
uint16_t GPeripheral::DrawRaster(GRasterGraphic&) { return 0; }
uint16_t GPeripheral::DrawRoundRectangle(GShapeGraphic&) { return 0; }
uint16_t GPeripheral::DrawScanLines(const GPoint*, uint32_t) { return 0; }
uint16_t GPeripheral::BeginScanLines() { return 0; }
uint16_t GPeripheral::DrawTextString(GTextStringGraphic&) { return 0; }
uint16_t GPeripheral::DownloadFace(GDownloadFace&) { return 0; }

uint16_t GPeripheral::DocumentStart(GDocumentStart&) {
  EnterDocument();
  return 0;
}

uint16_t GPeripheral::DocumentEnd(GDocumentEnd&) {
  LeaveJob();
  return 0;
}

uint16_t GPeripheral::PadOutput(GCommand&) { return 0; }

uint16_t GPeripheral::PageStart(GPageStart&) {
  EnterPage();
  return 0;
}

uint16_t GPeripheral::PageEnd(GPageEnd&) {
  EnterDocument();
  return 0;
}

uint16_t GPeripheral::JobAbort(GJobAbort&) {
  LeaveJob();
  return ownedChannel_ != nullptr ? ownedChannel_->finish(*channel_) : 0;
}

uint16_t GPeripheral::HandleError(GErrorCommand&) { return 0; }
uint16_t GPeripheral::PassThrough(GPassThroughCommand&) { return 0; }
uint16_t GPeripheral::DownloadHeader(GDownloadHeaderCommand&) { return 0; }
uint16_t GPeripheral::ReservedCommand1(GCommand&) { return 0; }
uint16_t GPeripheral::ReservedCommand2(GCommand&) { return 0; }

// Attribute handlers.

uint16_t GPeripheral::ApplyBrush(GBrush&) { return 0; }
uint16_t GPeripheral::ApplyCap(GCap&) { return 0; }
uint16_t GPeripheral::ApplyClipToPage(GClipToPage&) { return 0; }
uint16_t GPeripheral::ApplyClipToPath(GClipToPath&) { return 0; }
uint16_t GPeripheral::ApplyClipToRectangle(GClipToRectangle&) { return 0; }
uint16_t GPeripheral::ApplyClipToSingleRectangle(GClipToSingleRectangle&) { return 0; }
uint16_t GPeripheral::ApplyColorMap(GColorMap&) { return 0; }
uint16_t GPeripheral::ApplyDashedPen(GDashedPen&) { return 0; }
uint16_t GPeripheral::ApplyFillMode(GFillMode&) { return 0; }
uint16_t GPeripheral::ApplyHalftone(GHalftone&) { return 0; }
uint16_t GPeripheral::ApplyHalftoneEnhanced(GHalftoneEnhanced&) { return 0; }
uint16_t GPeripheral::ApplyNeutralGrays(GNeutralGrays&) { return 0; }
uint16_t GPeripheral::ApplyEdgeControl(GEdgeControl&) { return 0; }
uint16_t GPeripheral::ApplySRGBColor(GSRGBColor&) { return 0; }
uint16_t GPeripheral::ApplySRGBExtension(GSRGBExtension&) { return 0; }
uint16_t GPeripheral::ReservedAttribute1(GAttribute&) { return 0; }
uint16_t GPeripheral::ApplyJoint(GJoint&) { return 0; }
uint16_t GPeripheral::ApplyMiterJoint(GMiterJoint&) { return 0; }
uint16_t GPeripheral::ApplyNoBrush(GNoBrush&) { return 0; }
uint16_t GPeripheral::ApplyNoPen(GNoPen&) { return 0; }
uint16_t GPeripheral::ApplyPen(GPen&) { return 0; }
uint16_t GPeripheral::ApplyRasterOperation(GRasterOperation&) { return 0; }
uint16_t GPeripheral::ApplyValueAttribute(GValueAttribute&) { return 0; }
uint16_t GPeripheral::ApplyStringAttribute(GStringAttribute&) { return 0; }
uint16_t GPeripheral::ApplyEnumAttribute(GEnumAttribute&) { return 0; }
uint16_t GPeripheral::ApplyRangeAttribute(GRangeAttribute&) { return 0; }

uint16_t GPeripheral::AddBorzan(GPeripheral&) { return 0; }
uint16_t GPeripheral::AddPcl5e(GPeripheral&) { return 0; }
uint16_t GPeripheral::AddPostScript(GPeripheral&) { return 0; }
uint16_t GPeripheral::AddPJL(GPeripheral&) { return 0; }

uint16_t GPeripheral::ApplyMedia(GMedia&) { return 0; }
uint16_t GPeripheral::ApplyTray(GTray&) { return 0; }
uint16_t GPeripheral::ApplyTransform(GTransformAttribute&) { return 0; }

// The channel and the cached sub-states.

void GPeripheral::BorrowOutputChannel(GOutputChannel* channel) { AttachChannel(channel, nullptr); }

void GPeripheral::AttachChannel(GOutputChannel* channel, const ChannelOperations* owned) {
  if (ownedChannel_ != nullptr && channel_ != channel) ownedChannel_->destroy(channel_);
  channel_ = channel;
  ownedChannel_ = owned;
}

void GPeripheral::ForgetCachedStates() {
  graphicState_ = nullptr;
  pageState_ = nullptr;
  documentState_ = nullptr;
}

GObjectRef* GPeripheral::CacheFor(int32_t key) {
  switch (key) {
    case kGraphicStateKey:
      return &graphicState_;
    case kPageStateKey:
      return &pageState_;
    case kDocumentStateKey:
      return &documentState_;
    default:
      return nullptr;
  }
}
