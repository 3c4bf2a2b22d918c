#include "model/attributes/graphic_state_attribute.h"

uint32_t GGraphicStateAttribute::StoredSize() const { return GAttribute::StoredSize() + 4; }

void GGraphicStateAttribute::SaveContentsToFile(GBinaryFile& file) const {
  GAttribute::SaveContentsToFile(file);
  file.Write(FormatVersion());
}

void GGraphicStateAttribute::SaveContentsToStream(GVirtualOutStream& stream) const {
  GAttribute::SaveContentsToStream(stream);
  stream.PutULong(FormatVersion());
}

void GGraphicStateAttribute::RestoreContentsFromFile(GBinaryFile& file) {
  GAttribute::RestoreContentsFromFile(file);
  ReadVersion(file, FormatVersion());
}

void GGraphicStateAttribute::RestoreContentsFromStream(GVirtualInStream& stream) {
  GAttribute::RestoreContentsFromStream(stream);
  ReadVersion(stream, FormatVersion());
}
