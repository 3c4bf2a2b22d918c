#include "foundation/file_space_manager.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "foundation/disk_io.h"
#include "foundation/error.h"
#include "foundation/free_list.h"
#include "foundation/little_endian.h"

namespace {

constexpr int32_t kStartAt = 0;
constexpr int32_t kEndAt = 4;
constexpr uint32_t kSizeHeader = 4;

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
  if (!WriteAt(0, bytes.data(), static_cast<uint32_t>(bytes.size()))) return;
  end_ = end;
  freeList_ = std::make_unique<GFreeList32>(*this);
  if (!freeList_->LoadFirstBlock()) freeList_.reset();
}

void GFileSpaceManager::ReadHeader() {
  uint8_t bytes[kHeaderSize];
  if (!ReadAt(0, bytes, sizeof bytes)) return;
  const int32_t start = LoadLittle32Signed(&bytes[kStartAt]);
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
  // An end beyond the file's bytes is damage: the file is read as far as
  // it goes and never written, as allocation would start past its bytes.
  int32_t end = LoadLittle32Signed(&bytes[kEndAt]);
  const bool endInside = end % 4 == 0 && end <= UsedSpaceLimit();
  if (!endInside) end = static_cast<int32_t>(std::min<int64_t>(end, UsedSpaceLimit()) & ~int64_t{3});
  const bool soundStart = start == -1 || (start >= firstData + 4 && start % 4 == 0 && start <= end);
  if (end < firstData || !soundStart) {
    ReportDamage();
    return;
  }
  if (!endInside) ReportDamage();
  start_ = start;
  end_ = end;
  freeList_ = std::move(list);
  if (freeList_->LoadFirstBlock()) return;
  freeList_.reset();
  start_ = end_ = -1;
}

int32_t GFileSpaceManager::Allocate(uint32_t n) {
  if (!freeList_ || damaged_) return -1;
  const int32_t offset = freeList_->Allocate(n);
  if (start_ == -1 && offset != -1) {
    start_ = offset;
    WriteHeaderWord(kStartAt, offset);
  }
  return offset;
}

void GFileSpaceManager::Deallocate(int32_t userOffset) {
  if (!freeList_ || damaged_ || userOffset == -1 || userOffset == start_) return;
  freeList_->Free(userOffset);
}

bool GFileSpaceManager::HoldsBlock(int32_t userOffset, uint32_t size) const {
  if (!freeList_ || userOffset % 4 != 0 || userOffset < FirstBlockOffset() + 4) return false;
  return int64_t{userOffset} + size <= end_;
}

// The file's last block may end in up to three bytes of padding that were
// never written.
int64_t GFileSpaceManager::UsedSpaceLimit() { return (file_.Size() + 3) & ~int64_t{3}; }

void GFileSpaceManager::ReportDamage() {
  damaged_ = true;
  RaiseReadError(file_);
}

bool GFileSpaceManager::ReadAt(int32_t offset, uint8_t* data, uint32_t size) {
  if (ReadBlockAt(file_, offset, data, size)) return true;
  damaged_ = true;
  return false;
}

bool GFileSpaceManager::WriteAt(int32_t offset, const uint8_t* data, uint32_t size) {
  return !damaged_ && WriteBlockAt(file_, offset, data, size);
}

bool GFileSpaceManager::BlockAt(int32_t userOffset, Extent& block) {
  uint8_t bytes[kSizeHeader];
  if (!HoldsBlock(userOffset, 0)) {
    ReportDamage();
    return false;
  }
  const int32_t offset = userOffset - static_cast<int32_t>(kSizeHeader);
  if (!ReadAt(offset, bytes, kSizeHeader)) return false;
  const uint32_t size = LoadLittle32(bytes);
  if (size < kSizeHeader || size % 4 != 0 || int64_t{offset} + size > end_) {
    ReportDamage();
    return false;
  }
  block = {offset, size};
  return true;
}

bool GFileSpaceManager::AreApart(std::vector<Extent> blocks) {
  if (!freeList_ || !freeList_->ListSpace(blocks)) return false;
  std::sort(blocks.begin(), blocks.end(), [](const Extent& a, const Extent& b) { return a.offset < b.offset; });
  for (size_t i = 1; i < blocks.size(); ++i) {
    if (int64_t{blocks[i - 1].offset} + blocks[i - 1].size > blocks[i].offset) {
      ReportDamage();
      return false;
    }
  }
  return true;
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
  // The file is made to reach the new end at once, so that an end offset
  // never lies beyond the file's bytes.
  const uint8_t lastWord[4] = {};
  if (!WriteAt(static_cast<int32_t>(end) - 4, lastWord, sizeof lastWord)) return -1;
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
  return WriteAt(at, bytes, sizeof bytes);
}
