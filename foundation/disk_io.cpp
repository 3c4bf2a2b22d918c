#include "foundation/disk_io.h"

#include "foundation/binary_file.h"
#include "foundation/error.h"

namespace {

void RaiseFileErrorOf(GBinaryFile& file, const GMessageID* message, GFileError::Kind kind) {
  RaiseFileError(GFileError(GMessage(message), file.File(), kind));
}

}  // namespace

void RaiseSeekError(GBinaryFile& file) { RaiseFileErrorOf(file, MsgSeekErr(), GFileError::kSeek); }
void RaiseReadError(GBinaryFile& file) { RaiseFileErrorOf(file, MsgReadErr(), GFileError::kRead); }
void RaiseWriteError(GBinaryFile& file) { RaiseFileErrorOf(file, MsgWriteErr(), GFileError::kWrite); }

namespace {

bool SeekForTransfer(GBinaryFile& file, int32_t offset) {
  if (offset >= 0 && file.SeekTo(offset)) return true;
  RaiseSeekError(file);
  return false;
}

}  // namespace

bool ReadBlockAt(GBinaryFile& file, int32_t offset, uint8_t* data, uint32_t size) {
  if (!SeekForTransfer(file, offset)) return false;
  if (!file.Read(data, size)) {
    RaiseReadError(file);
    return false;
  }
  return true;
}

bool WriteBlockAt(GBinaryFile& file, int32_t offset, const uint8_t* data, uint32_t size) {
  if (!SeekForTransfer(file, offset)) return false;
  if (!file.Write(data, size)) {
    RaiseWriteError(file);
    return false;
  }
  return true;
}
