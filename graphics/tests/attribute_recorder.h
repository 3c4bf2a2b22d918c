#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "graphics/attributes/brush.h"
#include "graphics/attributes/cap.h"
#include "graphics/attributes/fill_mode.h"
#include "graphics/attributes/joint.h"
#include "graphics/attributes/pen.h"
#include "graphics/attributes/raster_operation.h"
#include "graphics/clips/clip.h"
#include "graphics/clips/transform_attribute.h"
#include "graphics/colour/color_paint.h"
#include "model/testing/test_peripheral.h"

// A pipeline stage that records which handler each graphic attribute and
// each paint reached, in order, and answers a fixed status.
class AttributeRecorder : public TestPeripheral, public GPaintTarget {
 public:
  static constexpr uint16_t kStatus = 9;

  struct Call {
    std::string handler;
    const MPersistentObject* object;
  };

  uint16_t ApplyPen(GPen& pen) override { return Record("pen", pen); }
  uint16_t ApplyNoPen(GNoPen& pen) override { return Record("no_pen", pen); }
  uint16_t ApplyDashedPen(GDashedPen& pen) override { return Record("dashed_pen", pen); }
  uint16_t ApplyBrush(GBrush& brush) override { return Record("brush", brush); }
  uint16_t ApplyNoBrush(GNoBrush& brush) override { return Record("no_brush", brush); }
  uint16_t ApplyCap(GCap& cap) override { return Record("cap", cap); }
  uint16_t ApplyJoint(GJoint& joint) override { return Record("joint", joint); }
  uint16_t ApplyMiterJoint(GMiterJoint& joint) override { return Record("miter_joint", joint); }
  uint16_t ApplyFillMode(GFillMode& mode) override { return Record("fill_mode", mode); }
  uint16_t ApplyRasterOperation(GRasterOperation& operation) override { return Record("raster_operation", operation); }

  uint16_t ApplyClipToPage(GClipToPage& clip) override { return Record("clip_to_page", clip); }
  uint16_t ApplyClipToPath(GClipToPath& clip) override { return Record("clip_to_path", clip); }
  uint16_t ApplyClipToRectangle(GClipToRectangle& clip) override { return Record("clip_to_rectangle", clip); }
  uint16_t ApplyClipToSingleRectangle(GClipToSingleRectangle& clip) override {
    return Record("clip_to_single_rectangle", clip);
  }
  uint16_t ApplyTransform(GTransformAttribute& transform) override { return Record("transform", transform); }

  uint16_t SetPenColor(GColorPaint& paint) override { return Record("pen_color", paint); }
  uint16_t SetBrushColor(GColorPaint& paint) override { return Record("brush_color", paint); }
  uint16_t SetPenPaint(GPaint& paint) override { return Record("pen_paint", paint); }
  uint16_t SetBrushPaint(GPaint& paint) override { return Record("brush_paint", paint); }

  std::vector<std::string> Handlers() const {
    std::vector<std::string> handlers;
    for (const Call& call : calls) handlers.push_back(call.handler);
    return handlers;
  }

  std::vector<Call> calls;

 private:
  uint16_t Record(const char* handler, const MPersistentObject& object) {
    calls.push_back({handler, &object});
    return kStatus;
  }
};
