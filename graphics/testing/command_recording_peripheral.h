#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/testing/test_peripheral.h"

// A pipeline stage that records every command handler a command reaches,
// with the command it was handed, and answers a status of the test's
// choice (0 unless set; only for the handler named in failingHandler when
// that is set). It processes commands with the common bodies of every
// stage.
class CommandRecordingPeripheral : public TestPeripheral {
 public:
  struct Call {
    std::string handler;
    const void* command;
  };

  GCommand* ProcessCommand(GCommand* command) override { return GPeripheral::ProcessCommand(command); }
  GCommand* HandleCommand(GCommand* command) override { return GPeripheral::HandleCommand(command); }
  GCommand* ProcessComposite(GCommand* composite) override { return GPeripheral::ProcessComposite(composite); }

  uint16_t DrawPath(GPathGraphic& path) override { return Record("DrawPath", &path); }
  uint16_t DrawPolyBezier(GPolyBezierGraphic& curve) override { return Record("DrawPolyBezier", &curve); }
  uint16_t DrawPolygon(GPolygonGraphic& polygon) override { return Record("DrawPolygon", &polygon); }
  uint16_t DrawRectangle(GRectangleGraphic& rectangle) override { return Record("DrawRectangle", &rectangle); }
  uint16_t DrawRaster(GRasterGraphic& raster) override { return Record("DrawRaster", &raster); }
  uint16_t DrawTextString(GTextStringGraphic& text) override { return Record("DrawTextString", &text); }
  uint16_t DownloadFace(GDownloadFace& face) override { return Record("DownloadFace", &face); }
  uint16_t DocumentStart(GDocumentStart& start) override { return Record("DocumentStart", &start); }
  uint16_t DocumentEnd(GDocumentEnd& end) override { return Record("DocumentEnd", &end); }
  uint16_t PageStart(GPageStart& start) override { return Record("PageStart", &start); }
  uint16_t PageEnd(GPageEnd& end) override { return Record("PageEnd", &end); }
  uint16_t JobAbort(GJobAbort& abort) override { return Record("JobAbort", &abort); }
  uint16_t HandleError(GErrorCommand& error) override { return Record("HandleError", &error); }
  uint16_t PassThrough(GPassThroughCommand& data) override { return Record("PassThrough", &data); }
  uint16_t DownloadHeader(GDownloadHeaderCommand& header) override { return Record("DownloadHeader", &header); }
  uint16_t PadOutput(GCommand& command) override { return Record("PadOutput", &command); }
  uint16_t ReservedCommand1(GCommand& command) override { return Record("ReservedCommand1", &command); }
  uint16_t ReservedCommand2(GCommand& command) override { return Record("ReservedCommand2", &command); }

  std::vector<Call> calls;
  uint16_t status = 0;
  std::string failingHandler;

 private:
  uint16_t Record(const char* handler, const void* command) {
    calls.push_back({handler, command});
    return failingHandler.empty() || failingHandler == handler ? status : 0;
  }
};
