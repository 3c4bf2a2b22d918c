#pragma once

#include <cstdint>
#include <memory>
#include <utility>

#include "device/driver/driver.h"
#include "device/media/media.h"
#include "foundation/rw_wstring.h"
#include "graphics/colour/gray_conversion.h"

class GAttributeComposite;
class GCommand;
class GDocumentEnd;
class GDocumentStart;
class GFontDatabase;
class GPageEnd;
class GPageStart;
class GRGBColor;
class GState;
// What the watermark stage knows of the watermark it draws; the stage
// defines it, the device only passes it on.
struct GWatermarkDescription;

// The rendering side's driver object for one printer while it prints: the
// front end that builds a job's command stream and hands it to the render
// pipeline (the head, child 76 of the settings root), and the object the
// stages ask for the job's decisions. A document start carries it to every
// stage; the driver server's render table finds it by its handle.
//
// The class is abstract. The device of a job derives from it and gives the
// command sending, paths, clips, the drawing state and the settings-driven
// decisions; a concrete device of the rendering module then gives its
// handle, its status, the painting of paths and, when it draws them,
// watermarks. What this class itself does: it is its own graphics device
// and no user-interface driver, it resets the pipeline and the job mark
// when it is re-targeted to a job, and it answers the watermark requests
// and the document end that need no device.
//
// Commands handed to Submit and Process become the device's: it sends them
// or deletes them. Operations that answer a new object hand it to the
// caller.
class GGraphicsDevice : public virtual GDriver {
 public:
  // The status FlushPendingDocument answers when no document start is due.
  static constexpr uint16_t kNoPendingDocument = 403;

  GGraphicsDevice() = default;
  ~GGraphicsDevice() override = default;

  // The driver object's operations that the device gives.
  GGraphicsDevice* AsGraphicsDevice() override { return this; }
  GUIDriver* AsUIDriver() override { return nullptr; }
  // Re-targets the device to a new job: the driver part's invalidation,
  // the job mark cleared, the pipeline's job state reset when a document
  // was started on it, then the device's own per-job reset.
  void Invalidate(const GDriverKey& key) override;
  // Releases the job's objects; the device of a job gives it.
  void ReleaseJobResources() override = 0;

  // The device's own operations, in this order.

  // Resets the job state and makes the job decisions from the document
  // settings; 0.
  virtual int32_t StartJob() = 0;
  // Chooses the grey conversion: 0 standard, 1 from tables, 2 weighted.
  virtual void SetGrayMode(int32_t mode) = 0;
  // Sends length bytes to the target as a pass-through command (borrowing
  // the bytes); withState gives it a graphic state, pending lets it through
  // the command sink once, immediate sends it at once. The status.
  virtual uint16_t PassThrough(const uint8_t* bytes, uint16_t length, uint16_t target, int32_t withState,
                               int32_t pending, int32_t immediate) = 0;
  // The handle under which the driver server's render table finds this
  // device.
  virtual uint32_t GetHandle() const = 0;
  // Watermarks: a device that draws them builds a font for the description
  // and the paper size, answers its handle and sets the font extent, and
  // later makes the command that draws the text with it on the page. Here
  // no font is made (0), releasing one does nothing, and no graphic is
  // made (null; the copy of the text goes).
  virtual uint32_t CreateWatermarkFont(const GWatermarkDescription& description, GDotPair paperSize,
                                       int32_t& fontExtent);
  virtual void ReleaseWatermarkFont(uint32_t* font);
  virtual std::unique_ptr<GCommand> MakeWatermarkGraphic(RWWString text, uint32_t font, int32_t fontExtent,
                                                         const GRGBColor& colour, const GMedia& medium,
                                                         int16_t characterSet);
  // The job mark: 0 after every reset, 1 once the job is marked.
  // The job's colour-to-grey conversion, which the generators use for the
  // colours and palettes of grey jobs; GrayStandard until the device
  // chooses another.
  GGrayFunction GetGrayConversion() const { return grayConversion_; }
  virtual int32_t IsJobMarked() const { return jobMark_; }
  virtual void MarkJob() { jobMark_ = 1; }
  // The port or file name the job's output goes to.
  virtual const RWWString& GetOutputName() const = 0;
  // A new document state from the document settings.
  virtual std::unique_ptr<GState> BuildDocumentState() = 0;
  // A new document start with the names, this device and a new document
  // state.
  virtual std::unique_ptr<GDocumentStart> StartDocument(const RWWString& documentName, const RWWString& outputName) = 0;
  // A new document end: zero key, empty names, an empty document state.
  virtual std::unique_ptr<GDocumentEnd> EndDocument();
  // A new page start with the page state built from the settings, and a
  // new page end.
  virtual std::unique_ptr<GPageStart> StartPage() = 0;
  virtual std::unique_ptr<GPageEnd> EndPage() = 0;
  // The medium of a paper size id, from the media pool in force or the
  // custom sizes: at the settings' orientation and resolution, or at the
  // given ones. Null when none.
  virtual std::unique_ptr<GMedia> ResolveMediaById(int16_t sizeId) = 0;
  virtual std::unique_ptr<GMedia> ResolveMediaBySize(int16_t sizeId, int32_t orientation, uint16_t xResolution,
                                                     uint16_t yResolution) = 0;
  // Replaces the medium by one with the margins of the settings.
  virtual void ApplyMarginSettings(std::unique_ptr<GMedia>& medium) = 0;
  // Sends a page start that is due; its status, 0 when none is due.
  virtual uint16_t FlushPendingPage() = 0;
  // Asked before every command Submit sends: non-zero refuses it.
  virtual uint16_t GetDeviceStatus() = 0;
  // The normal way to send a command: refused on a device status, sent
  // after a due page start. The status.
  virtual uint16_t Submit(GCommand* command) = 0;
  // Sends a command through the pipeline; the first error code that comes
  // back (the job is then aborted), else 0.
  virtual uint16_t Process(GCommand* command) = 0;
  // Clamps the requested copy count, writes it out and stores it; answers
  // the count stored before.
  virtual int32_t SetCopies(int32_t requested, int32_t& granted) = 0;
  // Divides the copies of the job group between job and page level.
  virtual void SplitCopies(GAttributeComposite* jobGroup, GAttributeComposite* documentGroup,
                           GAttributeComposite* pageGroup, GAttributeComposite* finishingGroup) = 0;
  // Sends a document start that is due; kNoPendingDocument when none is.
  virtual uint16_t FlushPendingDocument() = 0;
  // Hands the end of the job to the job's font database: its ReleaseAll
  // lets go of the job's fonts and deletes the font files it saved.
  virtual void EndFontJob() = 0;
  // Sends a no-op command when page scaling needs one; the status.
  virtual uint16_t SendNoCommand() = 0;
  // The job-storage state of the document state, and the configured
  // job-storage entry that matches the settings (null when none).
  virtual std::unique_ptr<GAttributeComposite> GetJobStorageState() = 0;
  virtual std::unique_ptr<GAttributeComposite> FindJobStorageEntry() = 0;
  // Opens a path and answers the new depth; closes the innermost one
  // (nested into the enclosing path, or painted at depth 0) and answers
  // the depth.
  virtual int32_t BeginPath() = 0;
  virtual int32_t EndPath(int32_t argument) = 0;
  // Clip operations: 0 save, 1 restore, 2 intersect, 3 exclude.
  virtual int32_t SetClipPath(int32_t fillMode, int32_t operation) = 0;
  // Paints the finished outermost path.
  virtual int32_t PaintPath(int32_t argument) = 0;
  // Non-zero when a finished nested path is to be closed.
  virtual int32_t ShouldCloseSubPath(int32_t argument) = 0;
  // Pushes and pops the drawing state.
  virtual void SaveState() = 0;
  virtual void RestoreState() = 0;
  // Sends the extra blank page of a letterhead job when one is due.
  virtual uint16_t EmitLetterheadBlankPage() = 0;
  // 1 when the document settings' job group (364) holds a job-storage group
  // (379) whose mode (382) is not 2 (off); else 0.
  virtual int32_t IsJobStorageActive();

  // Not among the device's own operations above: the job's font database,
  // which the device of a job owns and answers; null here.
  virtual GFontDatabase* GetFontDatabase() const { return nullptr; }

  // The job's decisions that stages and generators read, which the device
  // of a job makes at job start. A device that makes none: a colour job,
  // page layout allowed, pages unscaled, no capability flag, no image
  // mode, media left as they are.
  // Whether the job prints in grey only.
  virtual int32_t IsGrayscaleJob() const { return 0; }
  // Whether page layout (n-up, booklet) is off for the job.
  virtual int32_t IsLayoutDisabled() const { return 0; }
  // The scale the pipeline reported for the current page.
  virtual std::pair<float, float> GetPageScale() const { return {1.0F, 1.0F}; }
  virtual int32_t GetCapabilityFlag1() const { return 0; }
  // True when the job's image mode is 3, or 2 and the flag is 0.
  virtual bool TestImageMode(int32_t) const { return false; }
  // Brings the medium to the orientation, resolving its size again.
  virtual void ResolveMedia(GMedia&, int32_t) {}

 protected:
  // The device's own reset for a new job, after the driver part's and the
  // pipeline's.
  virtual void ResetJobState() = 0;
  void SetGrayConversion(GGrayFunction conversion) { grayConversion_ = conversion; }

 private:
  int32_t jobMark_ = 0;
  GGrayFunction grayConversion_ = GrayStandard;
};
