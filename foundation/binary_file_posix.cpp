#include <sys/stat.h>
#include <unistd.h>

#include "foundation/binary_file.h"

bool GBinaryFile::Exists(const char* name, int32_t accessMode) { return access(name, accessMode) == 0; }

int64_t GBinaryFile::Size() {
  if (!file_) return -1;
  if (last_ == LastTransfer::kWrite) Flush();
  struct stat status;
  if (fstat(fileno(file_), &status) != 0) return -1;
  return status.st_size;
}
