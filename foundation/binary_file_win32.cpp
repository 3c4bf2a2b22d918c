#include <io.h>
#include <sys/stat.h>

#include "foundation/binary_file.h"

bool GBinaryFile::Exists(const char* name, int32_t accessMode) { return _access(name, accessMode) == 0; }

int64_t GBinaryFile::Size() {
  if (!file_) return -1;
  if (last_ == LastTransfer::kWrite) Flush();
  struct _stat64 status;
  if (_fstat64(_fileno(file_), &status) != 0) return -1;
  return status.st_size;
}
