#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "graphics/device/job_graphics_device.h"
#include "render_host/job_description.h"

class GAttributeComposite;
class GFontFamilyIndex;
class GGraphic;
class GPathGraphic;
struct GPoint;

// The render host's graphics device: the job device of one printer of the
// driver data file, which the driver server loads into it. The host drives
// it through one job: BeginJob takes the job's settings into the document
// settings and marks the document pending, DrawPage replays a page of the
// job onto the pipeline, EndJob sends the document end. Lengths of the job
// (points, y growing downwards from the page's top left corner) become
// device dots of the job's resolution.
//
// A failure is a message: the first one ends the job, Error() names it.
class GRenderHostDevice : public GJobGraphicsDevice {
 public:
  GRenderHostDevice(const RWWString& printerName, const RWWString& driverName, const RWWString& portName);
  // Ends the job while the device can still answer its handle.
  ~GRenderHostDevice() override;

  // The handle the driver server registered the device under.
  void SetHandle(uint32_t handle) { handle_ = handle; }
  // Where fonts named by family are found; none finds none.
  void SetFontIndex(const GFontFamilyIndex* fonts) { fonts_ = fonts; }

  // Starts the job that writes to the output path; false on a failure.
  bool BeginJob(const GJobSettings& settings, const std::string& outputPath);
  bool DrawPage(const GJobPage& page);
  bool EndJob();
  const std::string& Error() const { return error_; }

  // The driver object's operations.
  void RefreshAppFlags() override {}
  GGraphicsDevice* AsGraphicsDevice() override { return this; }
  GUIDriver* AsUIDriver() override { return nullptr; }
  std::unique_ptr<GAttributeComposite> CreateDefaultSettings() override;
  std::unique_ptr<GAttributeComposite> LoadSettings() override;
  std::unique_ptr<GDriverKey> CreatePrinterIdentity() const override;
  void LocalJobStorageKey(RWWString& key) override { key = RWWString("LocalJobStorageData"); }
  GAttributeComposite* GetDevmodeSettings() override { return settings_.get(); }
  GAttributeComposite* GetDocumentSettings() override { return settings_.get(); }
  std::unique_ptr<GAttributeComposite> GetReloadedSettings() override;

  // The device's operations.
  uint32_t GetHandle() const override { return handle_; }
  uint16_t GetDeviceStatus() override { return 0; }
  int32_t PaintPath(int32_t argument) override;
  int32_t ShouldCloseSubPath(int32_t argument) override { return argument; }

 private:
  // The settings of the job: its document, page, job and finishing groups.
  void MakeSettings(const GJobSettings& settings);
  void SetPageMedia(const std::string& media, GJobOrientation orientation);
  bool Draw(const GJobItem& item);
  bool DrawText(const GJobText& text);
  bool DrawImage(const GJobImage& image);
  // Shapes as path graphics painted with the pen and brush.
  bool DrawPath(GGraphic* figure, const GJobPen& pen, const GJobBrush& brush);
  GGraphic* Line(const GJobPoint& from, const GJobPoint& to) const;
  GPathGraphic* Figures(const GJobPath& path) const;
  bool Send(GCommand* command);
  bool Fail(std::string message);
  int16_t Dots(double points) const;
  GPoint At(const GJobPoint& point) const;

  std::unique_ptr<GAttributeComposite> settings_;
  const GFontFamilyIndex* fonts_ = nullptr;
  uint32_t handle_ = 0;
  uint16_t resolution_ = 600;
  GDotPair origin_;
  bool jobOpen_ = false;
  std::string error_;
};
