#include "pclxl/tools/rendering_descriptions.h"

#include "device/tools/class_description.h"
#include "model/objects/class_ids.h"

void AddRenderingDescriptions() {
  AddClassDescription(StageDescription(kGPrinterClassName));
  AddClassDescription(StageDescription(kGPJLClassName));
  AddClassDescription(StageDescription(kGBorzanClassName));
}
