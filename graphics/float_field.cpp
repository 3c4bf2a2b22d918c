#include "graphics/float_field.h"

namespace {

void Save(GBinaryFile& file, float value) { file.Write(value); }
void Save(GVirtualOutStream& stream, float value) { stream.PutFloat(value); }
bool Restore(GBinaryFile& file, float& value) { return file.Read(value); }
bool Restore(GVirtualInStream& stream, float& value) { return stream.GetFloat(value).IsGood(); }

}  // namespace

bool FloatField(GFieldArchive& archive, float& value) {
  return archive.Field([&value](auto& output) { Save(output, value); }, [] { return uint32_t{sizeof(float)}; },
                       [&value](auto& input) {
                         float read = 0.0F;
                         if (!Restore(input, read)) return false;
                         value = read;
                         return true;
                       });
}
