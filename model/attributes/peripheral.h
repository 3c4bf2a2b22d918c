#pragma once

#include <cstdint>
#include <utility>

#include "foundation/pointer_list.h"
#include "foundation/rw_cstring.h"
#include "model/attributes/attribute.h"
#include "model/objects/object_ref.h"

class GConfiguration;
class GState;

// Attributes of this library.
class GEnumAttribute;
class GRangeAttribute;
class GStringAttribute;
class GValueAttribute;

// Settings of the device model: media, trays and the colour treatment.
class GColorMap;
class GEdgeControl;
class GHalftone;
class GHalftoneEnhanced;
class GMedia;
class GNeutralGrays;
class GSRGBColor;
class GSRGBExtension;
class GTray;

// Graphic attributes, commands and graphics of the graphics model.
class GBrush;
class GCap;
class GClipToPage;
class GClipToPath;
class GClipToRectangle;
class GClipToSingleRectangle;
class GDashedPen;
class GFillMode;
class GJoint;
class GMiterJoint;
class GNoBrush;
class GNoPen;
class GPen;
class GRasterOperation;
class GTransformAttribute;
class GCommand;
class GDocumentEnd;
class GDocumentStart;
class GDownloadFace;
class GDownloadHeaderCommand;
class GErrorCommand;
class GJobAbort;
class GPageEnd;
class GPageStart;
class GPassThroughCommand;
class GPathGraphic;
struct GPoint;
class GPolyBezierGraphic;
class GPolygonGraphic;
class GRasterGraphic;
class GRectangleGraphic;
class GShapeGraphic;
class GTextStringGraphic;

// The job's byte sink, the PJL writer and the generators.
class GBorzan;
class GOutputChannel;
class GPcl5e;
class GPJL;
class GPostScript;

// A stage of the render pipeline: page filter, composite, printer, PJL
// writer, page-description generator or add-on proxy. The job's commands
// pass through it (ProcessCommand), it keeps the attribute state that they
// carry (current and initial state, configuration) and applies every changed
// attribute to itself, and it is itself an attribute that lives in the
// settings tree and is saved with it.
//
// Handlers are reached by double dispatch, without a class test in the
// stage: a command's DispatchTo calls the one command handler of its class,
// an attribute's SendTo the one attribute handler of its class. The base
// handlers do nothing but move the job phase and answer 0 (success), so a
// stage overrides only the handlers it cares about.
//
// Where it lives. Every layer of the system reaches a stage: the attributes
// of this library and of the device model send themselves to it, the
// graphics model's commands dispatch to it and the graphics device drives
// it, and the pipeline and generators derive from it. So the whole
// interface is declared here, at the lowest layer that needs it, with the
// classes of the higher layers only named: a handler takes them by
// reference and does nothing with them. Every virtual operation with a body
// has it in this library, so the vtable, and with it every user, needs no
// library above this one.
//
// The three operations that take a command apart (ProcessCommand,
// HandleCommand, ProcessComposite) need the command classes' own interface,
// which lives above this library. They are pure here: the commands' library
// defines their common bodies (GPeripheral::ProcessCommand and the others),
// and each concrete stage either overrides them or forwards to those bodies
// with a qualified call; a pure slot keeps the higher definition out of
// this vtable. The output channel is named only as well; a stage that opens
// one hands it over through OwnOutputChannel, which records from the
// channel's own class how it is finished and deleted.
//
// Stored part after the attribute's: version 1; the initial state, the
// current state and the configuration as object references; the parents
// list (':' with a 32-bit count and each parent as an object reference, or
// '@' with the store-table index of a list written before in the same
// save); the name (32-bit length and its bytes); the add-on list key, kind
// and mode. The channel, the enabled flag, the job phase and the cached
// sub-states are not stored.
class GPeripheral : public GAttribute {
 public:
  // Keys of the states a stage keeps: its own state, and inside it the
  // graphic, document and page sub-states; and of its configuration.
  static constexpr int32_t kStateKey = 243;
  static constexpr int32_t kGraphicStateKey = 244;
  static constexpr int32_t kDocumentStateKey = 246;
  static constexpr int32_t kPageStateKey = 256;
  static constexpr int32_t kConfigurationKey = 198;

  // Job phases.
  static constexpr int32_t kOutsideDocument = 0;
  static constexpr int32_t kInDocument = 1;
  static constexpr int32_t kInPage = 2;

  // Empty name, new empty current and initial states and configuration,
  // add-on list key 64, kind 6 and mode 2 (no add-ons), enabled.
  GPeripheral();
  explicit GPeripheral(int32_t key);
  // Installs the configuration and the initial state (new empty ones for
  // null) and a new empty current state, then resets the job.
  GPeripheral(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key,
              int32_t addOnListKey, int32_t addOnKind, int32_t addOnMode);
  // Shares the other's states and configuration and copies the name,
  // add-on settings and enabled flag; no channel, no cached sub-states,
  // outside a document. A copy starts with no parents: the composites that
  // hold the original do not hold it.
  GPeripheral(const GPeripheral& other);
  // Copies as the copy constructor does, when the contents differ; the
  // stage keeps its own parents.
  GPeripheral& operator=(const GPeripheral& other);
  // Deletes an owned channel.
  ~GPeripheral() override;

  bool IsKindOf(RWClassID id) const override { return id == kGPeripheralClassID || GAttribute::IsKindOf(id); }
  // Equal attribute part, name, job phase, add-on settings and enabled
  // flag, the same parents in the same order, and states and configuration
  // both absent or of equal content.
  bool SameContent(const MPersistentObject& other) const override;
  // A clone whose states and configuration are deep copies.
  MPersistentObject* DeepCopy() const override;
  // Sends every attribute of the current state, changed or not, in order,
  // and clears this stage's changed flag. Answers the last nonzero status.
  uint16_t SendTo(GPeripheral& target) override;

  // Pipeline control.

  // The command to pass to the next stage: the same, a replacement, a
  // GNoCommand or a GErrorCommand.
  virtual GCommand* ProcessCommand(GCommand* command) = 0;
  // Install a state, shared, as this stage's own (key 243).
  virtual void SetInitialState(GState* state);
  // Also forgets the cached sub-states. Answers 0.
  virtual int32_t SetCurrentState(GState* state);
  // Installs a configuration, shared, and notifies the parents.
  virtual void SetConfiguration(GConfiguration* configuration);
  // Put new empty ones in place and hand the old to the caller alone: the
  // object itself when nobody else held it, else a clone.
  virtual GState* TakeInitialState();
  virtual GState* TakeCurrentState();
  virtual GConfiguration* TakeConfiguration();
  // Prepares for a new job: enabled, the current state a deep copy of the
  // initial one, no cached sub-states, parents notified, an owned channel
  // deleted and any channel forgotten.
  virtual void ResetJob();
  virtual void SetName(const RWCString& name);
  // Dispatches one command to its handler; a nonzero status turns it into
  // a GErrorCommand.
  virtual GCommand* HandleCommand(GCommand* command) = 0;
  // Sends the children of a command composite through this stage.
  virtual GCommand* ProcessComposite(GCommand* composite) = 0;
  // Merges what a command carries into the sub-state for its key
  // (FindStateFor); the merge marks what it took over changed.
  virtual void PutAttribute(GAttribute* attribute);
  // Applies the changed attributes of the sub-state for the key to this
  // stage. For the graphic state a changed transform goes first and makes
  // every other graphic attribute count as changed. Flags stay set.
  virtual void ApplyChangedAttributes(int32_t key);
  // The parents list does not own the stages in it.
  virtual void AddParent(GPeripheral* parent);
  // Unlinks the first occurrence; nothing when absent.
  virtual void RemoveParent(GPeripheral* parent);
  // Tells every parent, in order, that this stage changed. A composite
  // rebuilds its configuration here.
  virtual void NotifyChanged(GPeripheral* changed);
  // The graphic, document or page sub-state of the current state, found or
  // made empty once and then cached; the current state for other keys.
  virtual GState* FindStateFor(int32_t key);
  virtual void EnterDocument();
  virtual void EnterPage();
  virtual void LeaveJob();
  // Without adding a reference.
  virtual GState* GetCurrentState() const;
  virtual GState* GetInitialState() const;
  virtual GConfiguration* GetConfiguration() const;
  virtual RWCString GetName() const;
  virtual bool IsInDocument() const;
  virtual bool IsInPage() const;
  // Whether the chain can report a page scale.
  virtual int32_t IsScalable();
  // The (x, y) factor by which this stage scales the page. A stage that
  // accounts for the whole chain's scale sets the mode word to 3; one that
  // finds it at 3 answers (0, 0). The base answers (1, 1) whatever it is
  // given.
  virtual std::pair<float, float>& GetScaleFactor(std::pair<float, float>& factor, GState* jobSettings,
                                                  GState* pageState, int32_t pageNumber, int32_t* mode);
  // The features this stage emulates in software, as a mask.
  virtual uint32_t GetEmulatedFeatures() = 0;

  // Command handlers, each answering a 16-bit status.
  virtual uint16_t DrawArc(GShapeGraphic& shape);
  virtual uint16_t DrawChord(GShapeGraphic& shape);
  virtual uint16_t DrawEllipse(GShapeGraphic& shape);
  virtual uint16_t EndScanLines();
  virtual uint16_t DrawPath(GPathGraphic& path);
  virtual uint16_t DrawPie(GShapeGraphic& shape);
  virtual uint16_t DrawPolyBezier(GPolyBezierGraphic& curve);
  virtual uint16_t DrawBezierSegments(const GPoint* points, uint32_t count);
  virtual uint16_t BeginPolyline(const GPoint* points, uint32_t count);
  virtual uint16_t DrawLineSegments(const GPoint* points, uint32_t count);
  virtual uint16_t DrawPolygon(GPolygonGraphic& polygon);
  virtual uint16_t DrawRectangle(GRectangleGraphic& rectangle);
  virtual uint16_t DrawRaster(GRasterGraphic& raster);
  virtual uint16_t DrawRoundRectangle(GShapeGraphic& shape);
  virtual uint16_t DrawScanLines(const GPoint* points, uint32_t count);
  virtual uint16_t BeginScanLines();
  virtual uint16_t DrawTextString(GTextStringGraphic& text);
  virtual uint16_t DownloadFace(GDownloadFace& face);
  // The base handlers of the document and page frame move the job phase.
  virtual uint16_t DocumentStart(GDocumentStart& start);
  virtual uint16_t DocumentEnd(GDocumentEnd& end);
  virtual uint16_t PadOutput(GCommand& command);
  virtual uint16_t PageStart(GPageStart& start);
  virtual uint16_t PageEnd(GPageEnd& end);
  // Leaves the job; a stage that owns its channel answers the channel's
  // finish (the channel stays attached).
  virtual uint16_t JobAbort(GJobAbort& abort);
  virtual uint16_t HandleError(GErrorCommand& error);
  virtual uint16_t PassThrough(GPassThroughCommand& data);
  virtual uint16_t DownloadHeader(GDownloadHeaderCommand& header);
  virtual uint16_t ReservedCommand1(GCommand& command);
  virtual uint16_t ReservedCommand2(GCommand& command);

  // Attribute handlers, each answering a 16-bit status.
  virtual uint16_t ApplyBrush(GBrush& brush);
  virtual uint16_t ApplyCap(GCap& cap);
  virtual uint16_t ApplyClipToPage(GClipToPage& clip);
  virtual uint16_t ApplyClipToPath(GClipToPath& clip);
  virtual uint16_t ApplyClipToRectangle(GClipToRectangle& clip);
  virtual uint16_t ApplyClipToSingleRectangle(GClipToSingleRectangle& clip);
  virtual uint16_t ApplyColorMap(GColorMap& map);
  virtual uint16_t ApplyDashedPen(GDashedPen& pen);
  virtual uint16_t ApplyFillMode(GFillMode& mode);
  virtual uint16_t ApplyHalftone(GHalftone& halftone);
  virtual uint16_t ApplyHalftoneEnhanced(GHalftoneEnhanced& halftone);
  virtual uint16_t ApplyNeutralGrays(GNeutralGrays& grays);
  virtual uint16_t ApplyEdgeControl(GEdgeControl& control);
  virtual uint16_t ApplySRGBColor(GSRGBColor& color);
  virtual uint16_t ApplySRGBExtension(GSRGBExtension& extension);
  virtual uint16_t ReservedAttribute1(GAttribute& attribute);
  virtual uint16_t ApplyJoint(GJoint& joint);
  virtual uint16_t ApplyMiterJoint(GMiterJoint& joint);
  virtual uint16_t ApplyNoBrush(GNoBrush& brush);
  virtual uint16_t ApplyNoPen(GNoPen& pen);
  virtual uint16_t ApplyPen(GPen& pen);
  virtual uint16_t ApplyRasterOperation(GRasterOperation& operation);
  virtual uint16_t ApplyValueAttribute(GValueAttribute& attribute);
  virtual uint16_t ApplyStringAttribute(GStringAttribute& attribute);
  // Also reached by classes derived from the enumeration, such as the media
  // pool.
  virtual uint16_t ApplyEnumAttribute(GEnumAttribute& attribute);
  virtual uint16_t ApplyRangeAttribute(GRangeAttribute& attribute);

  // A generator hands itself over to the stage that keeps it, through the
  // operation that names its class. The generator classes live above this
  // library, so they come as the stage they are; the stages that keep them
  // need nothing more of them.
  virtual uint16_t AddBorzan(GPeripheral& generator);
  virtual uint16_t AddPcl5e(GPeripheral& generator);
  virtual uint16_t AddPostScript(GPeripheral& generator);
  virtual uint16_t AddPJL(GPeripheral& writer);

  virtual uint16_t ApplyMedia(GMedia& media);
  virtual uint16_t ApplyTray(GTray& tray);
  virtual uint16_t ApplyTransform(GTransformAttribute& transform);

  // A disabled stage passes every command on untouched until the next
  // job reset.
  bool IsEnabled() const { return enabled_ != 0; }
  void Enable() { enabled_ = 1; }
  void Disable() { enabled_ = 0; }

  int32_t JobPhase() const { return jobPhase_; }
  int32_t AddOnListKey() const { return addOnListKey_; }
  int32_t AddOnKind() const { return addOnKind_; }
  int32_t AddOnMode() const { return addOnMode_; }
  const GPointerList& Parents() const { return parents_; }

  // The job's output channel, null when none is attached.
  GOutputChannel* OutputChannel() const { return channel_; }
  bool OwnsOutputChannel() const { return ownedChannel_ != nullptr; }
  // Attaches a channel that belongs to someone else (the document start
  // that carries it); an owned one is deleted first.
  void BorrowOutputChannel(GOutputChannel* channel);
  // Attaches a channel that this stage opened: it finishes it on a job
  // abort and deletes it at the next reset or its own end. Channel is the
  // channel's own class, from which the finish and the delete are taken.
  template <typename Channel>
  void OwnOutputChannel(Channel* channel);

 protected:
  // After the attribute part: the initial state, the current state and the
  // configuration as object references, the parents list (a list written
  // before in the same save is named by its index), the name and the
  // add-on list key, kind and mode. A version other than this class's
  // stops the restore after the version word, leaving the stage as it was.
  void Fields(GFieldArchive& archive) override;

 private:
  // How an owned channel is finished and deleted, from its own class.
  struct ChannelOperations {
    uint16_t (*finish)(GOutputChannel& channel);
    void (*destroy)(GOutputChannel* channel);
  };

  template <typename Channel>
  static constexpr ChannelOperations kChannelOperations = {
      [](GOutputChannel& channel) -> uint16_t { return static_cast<Channel&>(channel).Finish(); },
      [](GOutputChannel* channel) { delete static_cast<Channel*>(channel); }};

  void AttachChannel(GOutputChannel* channel, const ChannelOperations* owned);
  void ForgetCachedStates();
  // The cached sub-state for one of the three keys, null for another key.
  GObjectRef* CacheFor(int32_t key);
  template <typename Output>
  void SaveFields(Output& output) const;
  uint32_t FieldsSize() const;
  template <typename Input>
  void RestoreFields(Input& input);
  // False when the list could not be read whole.
  template <typename Input>
  bool RestoreParents(Input& input);

  RWCString name_;
  GOutputChannel* channel_ = nullptr;
  // Set while the channel is this stage's own.
  const ChannelOperations* ownedChannel_ = nullptr;
  GPointerList parents_;
  // Sub-states of the current state, held so that they outlive a removal
  // from it.
  GObjectRef graphicState_;
  GObjectRef pageState_;
  GObjectRef documentState_;
  int32_t jobPhase_ = kOutsideDocument;
  int32_t addOnListKey_ = 64;
  int32_t addOnKind_ = 6;
  int32_t addOnMode_ = 2;
  GObjectRef currentState_;
  GObjectRef initialState_;
  GObjectRef configuration_;
  int32_t enabled_ = 1;
  // Set while the parents are told of a change, so that parents that name
  // each other (as stored data may) end the walk.
  bool notifying_ = false;
};

template <typename Channel>
void GPeripheral::OwnOutputChannel(Channel* channel) {
  AttachChannel(channel, channel != nullptr ? &kChannelOperations<Channel> : nullptr);
}
