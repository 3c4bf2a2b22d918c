#include "graphics/device/job_graphics_device.h"

#include "device/driver/tree_lookup.h"
#include "graphics/attributes/cap.h"
#include "graphics/attributes/graphic_bundle.h"
#include "graphics/attributes/joint.h"
#include "graphics/clips/clip.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/error_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "graphics/commands/pass_through_command.h"
#include "graphics/display/path_graphic.h"
#include "graphics/fonts/font_database.h"
#include "model/attributes/state.h"
#include "model/attributes/value_attribute.h"
#include "model/os/osfactry.h"

namespace {

// The document settings' page group and its page-level copies, which every
// page end carries.
constexpr int32_t kPageGroupKey = 363;
constexpr int32_t kPageCopiesKey = 257;
// A pass-through command with a state says so in it.
constexpr int32_t kWithStateKey = 601;
// The font marker of a page that downloaded nothing yet.
constexpr int32_t kFreshFontMarker = 0x8000;
// Clip operations.
constexpr int32_t kSaveClip = 0;
constexpr int32_t kRestoreClip = 1;
constexpr int32_t kIntersectClip = 2;
constexpr int32_t kExcludeClip = 3;
// The fill mode of a clip path that asks for the even-odd rule.
constexpr int32_t kAlternateFill = 1;

template <typename T>
T* Cloned(const GObjectRef& held) {
  return held ? static_cast<T*>(held->Clone()) : nullptr;
}

}  // namespace

GJobGraphicsDevice::GJobGraphicsDevice() : fontDatabase_(std::make_unique<GFontDatabase>(this)) {
  if (GOSFactory* factory = GOSFactory::Instance(); factory != nullptr) {
    jobObject_ = factory->CreateDeviceCompanion(this);
  }
}

// The concrete part of the device is gone by now, and with it the handle
// that names the job to the TrueType pool; a concrete device that ends its
// job before it goes has given those fonts back already.
GJobGraphicsDevice::~GJobGraphicsDevice() {
  if (fontDatabase_) fontDatabase_->DetachDevice();
}

void GJobGraphicsDevice::ReleaseJobResources() {
  jobStatus_ = kJobNormal;
  copies_ = 0;
  cachedBundle_ = GObjectRef();
  cachedJoint_ = GObjectRef();
  cachedMiterJoint_ = GObjectRef();
  cachedCap_ = GObjectRef();
  lastCap_ = nullptr;
  lastJoint_ = nullptr;
  fontDatabase_.reset();
  documentState_ = GObjectRef();
}

void GJobGraphicsDevice::ResetJobState() {
  mediaOverride_ = 0;
  pageScalingPossible_ = 0;
  colourMode_ = 0;
  pageScaled_ = 0;
  StartJob();
  documentPending_ = 0;
  documentStarted_ = 0;
  documentName_ = RWWString();
  outputName_ = RWWString();
  fontDatabase_ = std::make_unique<GFontDatabase>(this);
  documentState_ = GObjectRef();
}

void GJobGraphicsDevice::SetDocumentPending(const RWWString& documentName, const RWWString& outputName) {
  documentName_ = documentName;
  outputName_ = outputName;
  documentPending_ = 1;
}

uint16_t GJobGraphicsDevice::FlushPendingDocument() {
  if (documentPending_ == 0) {
    jobStatus_ = kJobFailed;
    return kNoPendingDocument;
  }
  if (GetJobStarted() != 0) {
    if (GPeripheral* head = GetPipelineHead(); head != nullptr) head->ResetJob();
  }
  const uint16_t status = Process(StartDocument(documentName_, outputName_).release());
  SetJobStarted(1);
  if (status != 0) jobStatus_ = kJobFailed;
  documentStarted_ = 1;
  documentPending_ = 0;
  return status;
}

std::unique_ptr<GDocumentStart> GJobGraphicsDevice::StartDocument(const RWWString& documentName,
                                                                  const RWWString& outputName) {
  scalePageNumber_ = 0;
  pageCount_ = 0;
  const GObjectRef state(BuildDocumentState().release());
  return std::make_unique<GDocumentStart>(documentName, narrowJobName_, outputName, this,
                                          static_cast<GState*>(state.Get()), 0);
}

std::unique_ptr<GPageStart> GJobGraphicsDevice::StartPage() {
  ++pageCount_;
  const GObjectRef pageState(BuildPageState().release());
  pageScaled_ = 0;
  GPeripheral* head = GetPipelineHead();
  if (pageScalingPossible_ != 0 && head != nullptr) {
    int32_t mode = 0;
    head->GetScaleFactor(pageScale_, CachedDocumentState(), static_cast<GState*>(pageState.Get()), pageCount_, &mode);
    scalePageNumber_ = pageCount_;
    const bool unscaled = pageScale_ == std::pair{1.0F, 1.0F} || pageScale_ == std::pair{0.0F, 0.0F};
    pageScaled_ = unscaled ? 0 : 1;
  }
  return std::make_unique<GPageStart>(static_cast<GState*>(pageState.Get()), 0);
}

std::unique_ptr<GPageEnd> GJobGraphicsDevice::EndPage() {
  const GObjectRef state(new GState(GPageCommand::kStateKey));
  if (MPersistentObject* copies = FindAs<MPersistentObject>(Group(kPageGroupKey), kPageCopiesKey); copies) {
    state->AddChild(copies->DeepCopy());
  }
  if (pageScalingPossible_ != 0) scalePageNumber_ = 0;
  fontMarker_ = kFreshFontMarker;
  return std::make_unique<GPageEnd>(static_cast<GState*>(state.Get()), 0);
}

uint16_t GJobGraphicsDevice::SendNoCommand() {
  if (pageScalingPossible_ == 0 || (scalePageNumber_ != 0 && scalePageNumber_ == pageCount_)) return 0;
  return Submit(new GNoCommand(0));
}

uint16_t GJobGraphicsDevice::Submit(GCommand* command) {
  GObjectRef held(command);
  if (const uint16_t status = GetDeviceStatus(); status != 0) return status;
  if (const uint16_t status = FlushPendingPage(); status != 0) return status;
  return Process(static_cast<GCommand*>(GCommand::GiveUp(held)));
}

uint16_t GJobGraphicsDevice::FlushPendingPage() {
  if (pagePending_ == 0) return 0;
  const uint16_t status = Process(StartPage().release());
  pagePending_ = 0;
  pageStarted_ = 1;
  return status;
}

uint16_t GJobGraphicsDevice::Process(GCommand* command) {
  const GObjectRef held(command);
  if (const uint16_t status = sink_.BeforeCommand(command); status != 0) return status;
  GPeripheral* head = GetPipelineHead();
  if (head == nullptr) return 0;
  const GObjectRef answer(head->ProcessCommand(command));
  return CheckAnswer(static_cast<GCommand*>(answer.Get()));
}

uint16_t GJobGraphicsDevice::CheckAnswer(GCommand* answer) {
  if (answer == nullptr) return 0;
  const GObjectRef errors(answer->SelectByClassId(kGErrorCommandClassID));
  const auto* first =
      errors ? dynamic_cast<const GErrorCommand*>(errors->FindByClassId(kGErrorCommandClassID)) : nullptr;
  if (first == nullptr) return 0;
  const uint16_t status = first->GetErrorCode();
  const GObjectRef abort(new GJobAbort(0));
  const GObjectRef dropped(GetPipelineHead()->ProcessCommand(static_cast<GCommand*>(abort.Get())));
  jobStatus_ = kJobFailed;
  return status;
}

uint16_t GJobGraphicsDevice::PassThrough(const uint8_t* bytes, uint16_t length, uint16_t target, int32_t withState,
                                         int32_t pending, int32_t immediate) {
  auto* command = new GPassThroughCommand(bytes, length, target, 0);
  const GObjectRef held(command);
  if (withState != 0) {
    const GObjectRef bundle(new GGraphicBundle);
    bundle->AddChild(new GValueAttribute(1, kWithStateKey));
    command->SetState(static_cast<GState*>(bundle.Get()));
  }
  if (pending != 0) sink_.SetPending(command);
  if (postScriptJob_ == 0 || immediate != 0) return Submit(command);
  return Process(command);
}

// The job's fonts and the files saved for them go at the job's end.
void GJobGraphicsDevice::EndFontJob() {
  if (fontDatabase_) fontDatabase_->ReleaseAll();
}

int32_t GJobGraphicsDevice::BeginPath() {
  if (pathDepth_ != 0 || !currentPath_) {
    if (pathDepth_ > 0) pathStack_.push_back(currentPath_);
    currentPath_ = GObjectRef(new GPathGraphic);
  }
  pathFlag_ = 0;
  return ++pathDepth_;
}

int32_t GJobGraphicsDevice::EndPath(int32_t argument) {
  if (pathDepth_ > 0) --pathDepth_;
  if (currentPath_) {
    if (pathDepth_ > 0) {
      if (ShouldCloseSubPath(argument) != 0) GetCurrentPath()->SetClosed();
      if (!pathStack_.empty()) {
        GObjectRef enclosing = std::move(pathStack_.back());
        pathStack_.pop_back();
        enclosing->AddChild(currentPath_.Get());
        currentPath_ = std::move(enclosing);
      }
    } else {
      PaintPath(argument);
    }
  }
  pathFlag_ = 0;
  return pathDepth_;
}

int32_t GJobGraphicsDevice::SetClipPath(int32_t fillMode, int32_t operation) {
  if (operation == kSaveClip) {
    SaveState();
    return 1;
  }
  if (operation == kRestoreClip) {
    RestoreState();
    return 1;
  }
  if (operation != kIntersectClip && operation != kExcludeClip) return 0;
  if (!currentPath_) {
    currentClip_ = GObjectRef(new GClipToPage(GGraphicBundle::kClipKey));
  } else {
    const bool intersect = operation == kIntersectClip;
    const int32_t region = intersect ? GClip::kInside : GClip::kOutside;
    const int32_t rule = intersect && fillMode != kAlternateFill ? GClip::kWinding : GClip::kEvenOdd;
    currentClip_ =
        GObjectRef(new GClipToPath(Cloned<GPathGraphic>(currentPath_), region, rule, GGraphicBundle::kClipKey));
    currentPath_ = GObjectRef();
  }
  PutClipIntoBundle(*GetCurrentBundle());
  return 1;
}

void GJobGraphicsDevice::SaveState() {
  savedStates_.push_back({capKind_, jointKind_, miterLimit_, stateValue_, GObjectRef(Cloned<GClip>(currentClip_))});
}

void GJobGraphicsDevice::RestoreState() {
  GGraphicBundle& bundle = *GetCurrentBundle();
  if (savedStates_.empty()) {
    currentClip_ = GObjectRef();
  } else {
    SavedState saved = std::move(savedStates_.back());
    savedStates_.pop_back();
    capKind_ = saved.capKind;
    jointKind_ = saved.jointKind;
    miterLimit_ = saved.miterLimit;
    stateValue_ = saved.stateValue;
    currentClip_ = std::move(saved.clip);
    if (GCap* cap = GetCapAttribute(capKind_); cap != nullptr) bundle.SetCap(cap);
    if (GJoint* joint = GetJointAttribute(jointKind_, miterLimit_); joint != nullptr) bundle.SetJoint(joint);
  }
  PutClipIntoBundle(bundle);
}

void GJobGraphicsDevice::PutClipIntoBundle(GGraphicBundle& bundle) {
  bundle.SetClip(currentClip_ ? Cloned<GClip>(currentClip_) : new GClipToPage(GGraphicBundle::kClipKey));
  clipApplied_ = 0;
}

GGraphicBundle* GJobGraphicsDevice::GetCurrentBundle() {
  if (cachedBundle_ && cachedBundle_->ReferenceCount() == 0) {
    cachedBundle_->RemoveAllChildren();
  } else {
    cachedBundle_ = GObjectRef(new GGraphicBundle);
  }
  return static_cast<GGraphicBundle*>(cachedBundle_.Get());
}

GCap* GJobGraphicsDevice::GetCapAttribute(int32_t kind) {
  auto* cap = static_cast<GCap*>(cachedCap_.Get());
  if (cap == nullptr || cap->GetKind() != kind) {
    cap = new GCap(kind, 0);
    cachedCap_ = GObjectRef(cap);
  }
  if (cap == lastCap_) return nullptr;
  lastCap_ = cap;
  return cap;
}

GJoint* GJobGraphicsDevice::GetJointAttribute(int32_t kind, float miterLimit) {
  GJoint* joint = nullptr;
  if (kind != GJoint::kMiter) {
    joint = static_cast<GJoint*>(cachedJoint_.Get());
    if (joint == nullptr || joint->GetKind() != kind) {
      joint = new GJoint(kind, 0);
      cachedJoint_ = GObjectRef(joint);
    }
  } else {
    auto* miter = static_cast<GMiterJoint*>(cachedMiterJoint_.Get());
    if (miter == nullptr || miter->GetLimit() != miterLimit) {
      miter = new GMiterJoint(miterLimit, 0);
      cachedMiterJoint_ = GObjectRef(miter);
    }
    joint = miter;
  }
  return joint == lastJoint_ ? nullptr : joint;
}

GPathGraphic* GJobGraphicsDevice::GetCurrentPath() const { return static_cast<GPathGraphic*>(currentPath_.Get()); }

GClip* GJobGraphicsDevice::GetCurrentClip() const { return static_cast<GClip*>(currentClip_.Get()); }

GGraphicBundle* GJobGraphicsDevice::GetCachedBundle() const {
  return static_cast<GGraphicBundle*>(cachedBundle_.Get());
}

void GJobGraphicsDevice::ResetDrawingState() {
  documentState_ = GObjectRef();
  pathDepth_ = 0;
  currentPath_ = GObjectRef();
  pathStack_.clear();
  savedStates_.clear();
  currentClip_ = GObjectRef();
  pathFlag_ = 0;
  clipApplied_ = 0;
  lastCap_ = nullptr;
  lastJoint_ = nullptr;
  stateValue_ = stateValueDefault_;
}
