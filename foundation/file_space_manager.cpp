#include "foundation/file_space_manager.h"

#include <limits>
#include <vector>

#include "foundation/disk_io.h"
#include "foundation/error.h"
#include "foundation/free_list.h"

namespace {

constexpr int32_t kStartAt = 0;
constexpr int32_t kEndAt = 4;

}  // namespace

GFileSpaceManager::GFileSpaceManager(const char* name, const char* mode) : file_(name, mode) {
  if (!file_.IsOpen() || !file_.Exists()) return;
  if (file_.IsEmpty()) {
    Initialise();
  } else {
    ReadHeader();
  }
}

GFileSpaceManager::~GFileSpaceManager() = default;

void GFileSpaceManager::Initialise() {
  const GFreeListLayout& layout = kFreeList32Layout;
  std::vector<uint8_t> bytes(kHeaderSize + layout.blockSize);
  const int32_t end = kHeaderSize + static_cast<int32_t>(layout.blockSize);
  StoreLittle32(&bytes[kStartAt], int32_t{-1});
  StoreLittle32(&bytes[kEndAt], end);
  StoreLittle32(&bytes[8], layout.blockSize);
  GFreeListBlock::Empty(layout, kHeaderSize).Encode(layout, &bytes[kHeaderSize]);
  if (!WriteBlockAt(file_, 0, bytes.data(), static_cast<uint32_t>(bytes.size()))) return;
  end_ = end;
  freeList_ = std::make_unique<GFreeList32>(*this);
  if (!freeList_->LoadFirstBlock()) freeList_.reset();
}

void GFileSpaceManager::ReadHeader() {
  uint8_t bytes[kHeaderSize];
  if (!ReadBlockAt(file_, 0, bytes, sizeof bytes)) return;
  const int32_t start = LoadLittle32Signed(&bytes[kStartAt]);
  const int32_t end = LoadLittle32Signed(&bytes[kEndAt]);
  const uint32_t blockSize = LoadLittle32(&bytes[8]);
  std::unique_ptr<GFreeList> list;
  if (blockSize == kFreeList32Layout.blockSize) {
    list = std::make_unique<GFreeList32>(*this);
  } else if (blockSize == kFreeList10Layout.blockSize) {
    list = std::make_unique<GFreeList10>(*this);
  } else {
    RaiseExternalError(GExternalError(GMessage(MsgFList(), kFreeList32Layout.blockSize, blockSize)));
    return;
  }
  // The used space starts after the first free-list block and grows in
  // whole words; the start block lies inside it.
  const int32_t firstData = kHeaderSize + static_cast<int32_t>(blockSize);
  const bool soundEnd = end >= firstData && end % 4 == 0;
  const bool soundStart = start == -1 || (start >= firstData + 4 && start % 4 == 0 && start <= end);
  if (!soundEnd || !soundStart) {
    RaiseReadError(file_);
    return;
  }
  start_ = start;
  end_ = end;
  freeList_ = std::move(list);
  if (freeList_->LoadFirstBlock()) return;
  freeList_.reset();
  start_ = end_ = -1;
}

int32_t GFileSpaceManager::Allocate(uint32_t n) {
  if (!freeList_) return -1;
  const int32_t offset = freeList_->Allocate(n);
  if (start_ == -1 && offset != -1) {
    start_ = offset;
    WriteHeaderWord(kStartAt, offset);
  }
  return offset;
}

void GFileSpaceManager::Deallocate(int32_t userOffset) {
  if (!freeList_ || userOffset == -1 || userOffset == start_) return;
  freeList_->Free(userOffset);
}

bool GFileSpaceManager::HoldsBlock(int32_t userOffset, uint32_t size) const {
  if (!freeList_ || userOffset % 4 != 0 || userOffset < FirstBlockOffset() + 4) return false;
  return int64_t{userOffset} + size <= end_;
}

int32_t GFileSpaceManager::FirstBlockOffset() const {
  return kHeaderSize + static_cast<int32_t>(freeList_->Layout().blockSize);
}

int32_t GFileSpaceManager::TakeFromEnd(uint32_t size) {
  const int64_t end = int64_t{end_} + size;
  if (end > std::numeric_limits<int32_t>::max()) {
    // Offsets are 32-bit: the file cannot grow past 2 GB.
    RaiseWriteError(file_);
    return -1;
  }
  if (!WriteHeaderWord(kEndAt, static_cast<int32_t>(end))) return -1;
  const int32_t offset = end_;
  end_ = static_cast<int32_t>(end);
  return offset;
}

bool GFileSpaceManager::ReleaseAtEnd(int32_t offset, uint32_t size) {
  if (int64_t{offset} + size < end_) return false;
  end_ = offset;
  WriteHeaderWord(kEndAt, offset);
  return true;
}

bool GFileSpaceManager::WriteHeaderWord(int32_t at, int32_t value) {
  uint8_t bytes[4];
  StoreLittle32(bytes, value);
  return WriteBlockAt(file_, at, bytes, sizeof bytes);
}
