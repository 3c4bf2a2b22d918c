#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "foundation/rw_cstring.h"
#include "graphics/colour/rgb_color.h"
#include "graphics/device/command_sink.h"
#include "graphics/device/graphics_device.h"
#include "model/objects/object_ref.h"

class GCap;
class GClip;
class GFontDatabase;
class GGraphicBundle;
class GJoint;
class GPathGraphic;

// The graphics device of one job: it builds the job's command stream and
// hands it to the head of the render pipeline, and it makes the job's
// decisions from the document settings.
//
// Sending: a document start and each page start are deferred (the concrete
// device marks them pending) and go out just before the first command that
// needs them. Every command passes the command sink, then the pipeline
// head; an error that comes back aborts the job (a job abort is sent and
// the job is marked failed) and its code is answered.
//
// Drawing state: the open paths (nested paths are added to the enclosing
// one, the outermost is painted by the concrete device), the clip, the
// cap, joint and miter limit, saved and restored as a stack.
//
// Job decisions (job_settings.cpp): at job start the grey conversion, image
// mode, pass-through, page scaling and layout; the document state of the
// document start (copies, media, port kind, job storage, colour settings);
// the page state of each page start; media by size id; the job name.
//
// The concrete device of the rendering module gives its handle, its status,
// the painting of paths, the reloaded settings and, when it draws them,
// watermarks; it sets the code page and the pending flags.
class GJobGraphicsDevice : public GGraphicsDevice {
 public:
  // Statuses of the job.
  static constexpr int32_t kJobNormal = 0;
  static constexpr int32_t kJobFailed = 3;

  GJobGraphicsDevice();
  ~GJobGraphicsDevice() override;

  // The driver object's operations.
  void ReleaseJobResources() override;

  // Job decisions (job_settings.cpp).
  int32_t StartJob() override;
  void SetGrayMode(int32_t mode) override;
  std::unique_ptr<GState> BuildDocumentState() override;
  std::unique_ptr<GMedia> ResolveMediaById(int16_t sizeId) override;
  std::unique_ptr<GMedia> ResolveMediaBySize(int16_t sizeId, int32_t orientation, uint16_t xResolution,
                                             uint16_t yResolution) override;
  void ApplyMarginSettings(std::unique_ptr<GMedia>& medium) override;
  int32_t SetCopies(int32_t requested, int32_t& granted) override;
  void SplitCopies(GAttributeComposite* jobGroup, GAttributeComposite* documentGroup, GAttributeComposite* pageGroup,
                   GAttributeComposite* finishingGroup) override;
  std::unique_ptr<GAttributeComposite> GetJobStorageState() override;
  std::unique_ptr<GAttributeComposite> FindJobStorageEntry() override;
  uint16_t EmitLetterheadBlankPage() override;
  bool TestImageMode(int32_t flag) const override;
  // Resolves the medium's size id again at its own resolution: from the
  // media pool, else from the custom sizes; unchanged when it already is in
  // the orientation or nothing resolves.
  void ResolveMedia(GMedia& medium, int32_t orientation) override;
  // Replaces the job groups of the document settings by the concrete
  // device's reloaded ones and splits the copies again.
  void ReloadSettings();
  // Moves the finishing settings of the other device's document group here.
  void TakeFinishingSettings(GJobGraphicsDevice& other);
  // Computes the job name when the document group asks for one (its text
  // 1031 gets it) and answers the narrow name; else empties the name.
  RWCString UpdateJobNameSetting();

  // Sending (job_graphics_device.cpp).
  uint16_t PassThrough(const uint8_t* bytes, uint16_t length, uint16_t target, int32_t withState, int32_t pending,
                       int32_t immediate) override;
  const RWWString& GetOutputName() const override { return outputName_; }
  std::unique_ptr<GDocumentStart> StartDocument(const RWWString& documentName, const RWWString& outputName) override;
  std::unique_ptr<GPageStart> StartPage() override;
  std::unique_ptr<GPageEnd> EndPage() override;
  uint16_t FlushPendingPage() override;
  uint16_t Submit(GCommand* command) override;
  uint16_t Process(GCommand* command) override;
  uint16_t FlushPendingDocument() override;
  void EndFontJob() override;
  uint16_t SendNoCommand() override;

  // Paths, clips and the drawing state.
  int32_t BeginPath() override;
  int32_t EndPath(int32_t argument) override;
  int32_t SetClipPath(int32_t fillMode, int32_t operation) override;
  void SaveState() override;
  void RestoreState() override;
  // The bundle of the current graphic: the cached one emptied when nobody
  // else holds it, else a new one.
  GGraphicBundle* GetCurrentBundle();
  // The cap (joint) attribute of the kind, reused while the kind stays;
  // null when it is the one handed out last.
  GCap* GetCapAttribute(int32_t kind);
  GJoint* GetJointAttribute(int32_t kind, float miterLimit);

  // The job's decisions and state.
  GFontDatabase* GetFontDatabase() const override { return fontDatabase_.get(); }
  int32_t IsGrayscaleJob() const override { return grayscaleJob_; }
  int32_t IsLayoutDisabled() const override { return layoutDisabled_; }
  std::pair<float, float> GetPageScale() const override { return pageScale_; }
  int32_t GetCapabilityFlag1() const override { return capabilityFlag1_; }
  int32_t GetCapabilityFlag2() const { return capabilityFlag2_; }
  int32_t GetJobStatus() const { return jobStatus_; }
  int32_t GetPageCount() const { return pageCount_; }
  int32_t IsPageScaled() const { return pageScaled_; }
  int32_t IsPageScalingPossible() const { return pageScalingPossible_; }
  int32_t IsPassThroughAllowed() const { return passThroughAllowed_; }
  int32_t IsPostScriptJob() const { return postScriptJob_; }
  int32_t IsTreatedAsColour() const { return treatAsColour_; }
  int16_t GetImageMode() const { return imageMode_; }
  int32_t GetColourMode() const { return colourMode_; }
  int16_t GetPostScriptOptionA() const { return postScriptOptionA_; }
  int16_t GetPostScriptOptionB() const { return postScriptOptionB_; }
  int32_t GetCopiesValue() const { return copies_; }
  int32_t GetPathDepth() const { return pathDepth_; }
  GPathGraphic* GetCurrentPath() const;
  GClip* GetCurrentClip() const;
  // The bundle GetCurrentBundle answered last, as it is now.
  GGraphicBundle* GetCachedBundle() const;
  const RWWString& GetJobName() const { return jobName_; }
  const RWCString& GetNarrowJobName() const { return narrowJobName_; }
  GCommandSink& CommandSink() { return sink_; }

  // What the concrete device sets.
  void SetDocumentPending(const RWWString& documentName, const RWWString& outputName);
  void SetPagePending() { pagePending_ = 1; }
  void SetMediaOverride(int32_t override) { mediaOverride_ = override; }
  void SetCodePage(uint32_t codePage) { codePage_ = codePage; }

 protected:
  // The device's per-job reset: the job decisions, no document, no names,
  // a new font database, no page scaling, no cached document state.
  void ResetJobState() override;

 private:
  // One saved drawing state.
  struct SavedState {
    int32_t capKind;
    int32_t jointKind;
    float miterLimit;
    int32_t stateValue;
    GObjectRef clip;
  };

  // Job decisions at job start (job_settings.cpp).
  void DecidePassThrough(GPeripheral* generator);
  void DecidePostScriptOptions();
  void DecideImageMode();
  void DecidePageScaling();
  void DecideCapabilityFlags(GPeripheral* generator);
  void DecideLayout();
  // The drawing state back to its defaults.
  void ResetDrawingState();

  // Document and page states (job_settings.cpp).
  GState* CachedDocumentState();
  void AddPortKind(GState& state);
  void SelectMediaAutomatically(GState& state);
  void AddMedia(GState& state);
  void ResolveMediaSetting(GState& state, int32_t flagKey, int32_t sizeKey, int32_t mediaKey, bool refused);
  void AddColourSettings(GState& state);
  std::unique_ptr<GState> BuildPageState();
  void TestLetterhead(GState& pageState);
  // The number of first pages and the page media they take.
  // The pages that count as first pages: one (single) or, when the job
  // has cover pages and no fitting, those of the first sheet(s).
  int32_t FirstPagesCount(int32_t single);
  // The medium of a size id: from the media pool in force, or for custom
  // ids from the custom sizes (at the settings' geometry when asked); the
  // settings' margins when they ask for them.
  std::unique_ptr<GMedia> ResolveSizeId(int16_t sizeId, int32_t orientation, uint16_t xResolution, uint16_t yResolution,
                                        bool withSettingsMargins);
  std::unique_ptr<GMedia> CustomMedium(int16_t sizeId, int32_t orientation, uint16_t xResolution, uint16_t yResolution,
                                       bool atSettings);

  // The settings.
  MPersistentObject* Group(int32_t key);
  GConfiguration* Configuration();
  // Bit of capability attribute key of configuration entry 112; empty
  // when the attribute is absent.
  std::optional<bool> CapabilityBit(int32_t key, uint32_t bit);

  // The clip put into the current bundle: a clone of the clip, or a clip
  // to the page.
  void PutClipIntoBundle(GGraphicBundle& bundle);
  // The pipeline head's answer to a command: the first error code.
  uint16_t CheckAnswer(GCommand* answer);

  std::unique_ptr<MPersistentObject> jobObject_;
  std::unique_ptr<GFontDatabase> fontDatabase_;
  int32_t documentPending_ = 0;
  int32_t documentStarted_ = 0;
  RWWString documentName_;
  RWWString outputName_;
  int32_t jobStatus_ = kJobNormal;
  int32_t pageStarted_ = 0;
  int32_t pagePending_ = 0;
  int32_t copies_ = 0;
  GCommandSink sink_;
  int32_t pageCount_ = 0;
  GRGBColor defaultColour_{255, 255, 255, 255};
  int32_t defaultCapKind_ = 0;
  int32_t defaultJointKind_ = 1;
  float defaultMiterLimit_ = 10.0F;
  GRGBColor currentColour_{255, 255, 255, 255};
  int32_t capKind_ = 0;
  int32_t jointKind_ = 1;
  float miterLimit_ = 10.0F;
  int32_t treatAsColour_ = 0;
  int32_t grayscaleJob_ = 0;
  int16_t imageMode_ = 0;
  int16_t postScriptOptionA_ = -1;
  int16_t postScriptOptionB_ = 0;
  int32_t pathDepth_ = 0;
  GObjectRef currentPath_;
  std::vector<GObjectRef> pathStack_;
  int32_t capabilityFlag1_ = 0;
  int32_t capabilityFlag2_ = 0;
  int32_t layoutDisabled_ = 0;
  std::vector<SavedState> savedStates_;
  GObjectRef currentClip_;
  int32_t pathFlag_ = 0;
  int32_t clipApplied_ = 0;
  int32_t stateValueDefault_ = 1;
  int32_t stateValue_ = 1;
  const GCap* lastCap_ = nullptr;
  const GJoint* lastJoint_ = nullptr;
  GObjectRef cachedBundle_;
  GObjectRef cachedJoint_;
  GObjectRef cachedMiterJoint_;
  GObjectRef cachedCap_;
  int32_t mediaOverride_ = 0;
  int32_t pageScalingPossible_ = 0;
  std::pair<float, float> pageScale_{1.0F, 1.0F};
  int32_t pageScaled_ = 0;
  GObjectRef documentState_;
  int32_t scalePageNumber_ = 0;
  int32_t colourMode_ = 0;
  int16_t generatorClass_ = 765;
  int32_t fontMarker_ = 0x8000;
  int32_t passThroughAllowed_ = 0;
  int32_t postScriptJob_ = 0;
  RWWString jobName_;
  RWCString narrowJobName_;
  uint32_t codePage_ = 0;
  int32_t letterheadPending_ = 0;
};
