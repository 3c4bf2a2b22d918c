#include "model/objects/field_archive.h"

#include <utility>

#include "foundation/persistence.h"
#include "foundation/rw/rwstore.h"
#include "foundation/stored_count.h"
#include "model/objects/counted_ptr_vector.h"
#include "model/objects/persistent_object.h"

namespace {

// The typed calls of a virtual stream for each stored width.
void Put(GVirtualOutStream& stream, int8_t value) { stream.PutCharValue(static_cast<char>(value)); }
void Put(GVirtualOutStream& stream, uint8_t value) { stream.PutUCharValue(value); }
void Put(GVirtualOutStream& stream, int16_t value) { stream.PutShort(value); }
void Put(GVirtualOutStream& stream, uint16_t value) { stream.PutUShort(value); }
void Put(GVirtualOutStream& stream, int32_t value) { stream.PutLong(value); }
void Put(GVirtualOutStream& stream, uint32_t value) { stream.PutULong(value); }

bool Get(GVirtualInStream& stream, int8_t& value) {
  char read;
  if (!stream.GetCharValue(read).IsGood()) return false;
  value = static_cast<int8_t>(read);
  return true;
}
bool Get(GVirtualInStream& stream, uint8_t& value) { return stream.GetUCharValue(value).IsGood(); }
bool Get(GVirtualInStream& stream, int16_t& value) { return stream.GetShort(value).IsGood(); }
bool Get(GVirtualInStream& stream, uint16_t& value) { return stream.GetUShort(value).IsGood(); }
bool Get(GVirtualInStream& stream, int32_t& value) { return stream.GetLong(value).IsGood(); }
bool Get(GVirtualInStream& stream, uint32_t& value) { return stream.GetULong(value).IsGood(); }

bool Read(GBinaryFile& file, int8_t& value) {
  char read;
  if (!file.Read(read)) return false;
  value = static_cast<int8_t>(read);
  return true;
}
template <typename Value>
bool Read(GBinaryFile& file, Value& value) {
  return file.Read(value);
}

bool Write(GBinaryFile& file, int8_t value) { return file.Write(static_cast<char>(value)); }
template <typename Value>
bool Write(GBinaryFile& file, Value value) {
  return file.Write(value);
}

void WriteBlock(GBinaryFile& file, const uint8_t* bytes, uint32_t length) { file.Write(bytes, length); }
void WriteBlock(GVirtualOutStream& stream, const uint8_t* bytes, uint32_t length) { stream.PutUChars(bytes, length); }
bool ReadBlock(GBinaryFile& file, uint8_t* bytes, uint32_t length) { return file.Read(bytes, length); }
bool ReadBlock(GVirtualInStream& stream, uint8_t* bytes, uint32_t length) {
  return stream.GetUChars(bytes, length).IsGood();
}

void SaveContents(const RWCollectable& part, GBinaryFile& file) { part.SaveContentsToFile(file); }
void SaveContents(const RWCollectable& part, GVirtualOutStream& stream) { part.SaveContentsToStream(stream); }
void RestoreContents(RWCollectable& part, GBinaryFile& file) { part.RestoreContentsFromFile(file); }
void RestoreContents(RWCollectable& part, GVirtualInStream& stream) { part.RestoreContentsFromStream(stream); }

// A composite's child vector as a child list.
class ModelChildren {
 public:
  explicit ModelChildren(GCountedPtrVector& children) : children_(children) {}

  uint32_t Count() const { return children_.Count(); }
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (const GCountedPtr& child : children_) visit(child.Get());
  }
  void Clear() { children_.Clear(GCountedPtrVector::kGrowth); }
  bool ReadChild(GFieldArchive& archive) {
    GObjectRef child;
    if (!archive.Object(child)) return false;
    children_.Append(GCountedPtr(std::move(child)));
    return true;
  }

 private:
  GCountedPtrVector& children_;
};

// The fewest bytes one stored object reference takes: a back-reference in a
// file (tag and index), and in a binary stream ('@' and the index).
constexpr uint32_t kFileReferenceSize = 6;
constexpr uint32_t kStreamReferenceSize = 5;

}  // namespace

GFieldArchive::GFieldArchive(uint32_t& size) : mode_(Mode::kSize), restoring_(false), size_(&size) {}

GFieldArchive::GFieldArchive(GBinaryFile& file, bool restoring, const MPersistentObject* owner)
    : mode_(restoring ? Mode::kRestoreFile : Mode::kSaveFile), restoring_(restoring), file_(&file), owner_(owner) {
  if (restoring) reader_.emplace(owner_);
}

GFieldArchive::GFieldArchive(GVirtualOutStream& stream) : mode_(Mode::kSaveStream), restoring_(false), out_(&stream) {}

GFieldArchive::GFieldArchive(GVirtualInStream& stream, const MPersistentObject* owner)
    : mode_(Mode::kRestoreStream), restoring_(true), in_(&stream), owner_(owner) {
  reader_.emplace(owner_);
}

bool GFieldArchive::Good() {
  switch (mode_) {
    case Mode::kRestoreFile:
      return !stopped_ && InputIsGood(*file_);
    case Mode::kRestoreStream:
      return !stopped_ && InputIsGood(*in_);
    default:
      return true;
  }
}

bool GFieldArchive::Version(uint32_t current, uint32_t oldest) {
  if (stopped_) return false;
  uint32_t version = current;
  const bool read = UInt32(version);
  storedVersion_ = version;
  if (!restoring_) return true;
  stopped_ = !read || version < oldest || version > current;
  return !stopped_;
}

void GFieldArchive::TrailingVersion(uint32_t current) {
  uint32_t version = current;
  UInt32(version);
}

template <typename Value>
bool GFieldArchive::Number(Value& value) {
  if (stopped_) return false;
  Value read{};
  switch (mode_) {
    case Mode::kSize:
      *size_ += sizeof(Value);
      return true;
    case Mode::kSaveFile:
      Write(*file_, value);
      return true;
    case Mode::kSaveStream:
      Put(*out_, value);
      return true;
    case Mode::kRestoreFile:
      if (!Read(*file_, read)) return false;
      break;
    case Mode::kRestoreStream:
      if (!Get(*in_, read)) return false;
      break;
  }
  value = read;
  return true;
}

bool GFieldArchive::Int8(int8_t& value) { return Number(value); }
bool GFieldArchive::UInt8(uint8_t& value) { return Number(value); }
bool GFieldArchive::Int16(int16_t& value) { return Number(value); }
bool GFieldArchive::UInt16(uint16_t& value) { return Number(value); }
bool GFieldArchive::Int32(int32_t& value) { return Number(value); }
bool GFieldArchive::UInt32(uint32_t& value) { return Number(value); }

bool GFieldArchive::Bool32(bool& value) {
  int32_t number = value ? 1 : 0;
  if (!Int32(number)) return false;
  if (restoring_) value = number != 0;
  return true;
}

bool GFieldArchive::String(RWCString& text) {
  return Field([&text](auto& output) { text.SaveTo(output); }, [&text] { return 4 + text.Length(); },
               [&text](auto& input) {
                 text.RestoreFrom(input);
                 return InputIsGood(input);
               });
}

bool GFieldArchive::WideString(RWWString& text) {
  return Field([&text](auto& output) { text.SaveTo(output); },
               [&text] { return 4 + static_cast<uint32_t>(sizeof(uint16_t)) * text.Length(); },
               [&text](auto& input) {
                 text.RestoreFrom(input);
                 return InputIsGood(input);
               });
}

bool GFieldArchive::Count(uint32_t& count, uint32_t minimumItemSize) {
  uint32_t read = count;
  if (!UInt32(read)) return false;
  if (!Holds(read, minimumItemSize)) return false;
  count = read;
  return true;
}

bool GFieldArchive::Bytes(uint8_t* bytes, uint32_t length) {
  if (length == 0) return !stopped_;
  return Field([bytes, length](auto& output) { WriteBlock(output, bytes, length); }, [length] { return length; },
               [bytes, length](auto& input) { return ReadBlock(input, bytes, length); });
}

bool GFieldArchive::Object(GObjectRef& object) {
  if (stopped_) return false;
  if (!restoring_) {
    WriteReference(object.Get());
    return true;
  }
  object = nullptr;
  GObjectRef read;
  const bool accepted = mode_ == Mode::kRestoreFile ? Reader().Read(*file_, read) : Reader().Read(*in_, read);
  if (accepted) object = std::move(read);
  return accepted;
}

bool GFieldArchive::Embedded(RWCollectable& part) {
  // The part restores with a reader of its own; the object that holds it
  // must count as under restore by then, so that no reference inside the
  // part can make the object own itself.
  if (restoring_ && !stopped_) Reader();
  return Field([&part](auto& output) { SaveContents(part, output); }, [&part] { return part.StoredSize(); },
               [&part](auto& input) {
                 RestoreContents(part, input);
                 return InputIsGood(input);
               });
}

bool GFieldArchive::Children(GCountedPtrVector& children) {
  ModelChildren list(children);
  return ChildList(list);
}

RWCollectable* GFieldArchive::ReadFreshObject(bool (*accepts)(const RWCollectable& object)) {
  if (stopped_ || !restoring_) return nullptr;
  // The session keeps what is refused alive until the restore ends, as
  // later references of the same restore may still name it.
  Reader();
  const GFreshReadProbe probe;
  RWCollectable* read = nullptr;
  if (mode_ == Mode::kRestoreFile) {
    ReadObjectFromFile(*file_, read);
  } else {
    ReadObjectFromStream(*in_, read);
  }
  const bool fresh = probe.Fresh(read);
  // An object that the input cut short is not handed out as whole.
  if (fresh && accepts(*read) && Good()) return read;
  if (fresh) GReferenceReader::Discard(read);
  FailInput();
  return nullptr;
}

// The one place that judges a stored count against the input left.
bool GFieldArchive::Holds(uint32_t count, uint32_t minimumItemSize) {
  if (stopped_) return false;
  if (!restoring_) return true;
  if (mode_ == Mode::kRestoreFile) return InputCanHold(*file_, count, minimumItemSize);
  return InputCanHold(*in_, count, minimumItemSize);
}

void GFieldArchive::FailInput() {
  if (mode_ == Mode::kRestoreFile) ::FailInput(*file_);
  if (mode_ == Mode::kRestoreStream) ::FailInput(*in_);
}

uint32_t GFieldArchive::MinimumReferenceSize() const {
  return mode_ == Mode::kRestoreFile ? kFileReferenceSize : kStreamReferenceSize;
}

void GFieldArchive::WriteReference(const RWCollectable* object) {
  switch (mode_) {
    case Mode::kSize:
      *size_ += RWCollectable::ObjectStoreSize(object);
      break;
    case Mode::kSaveFile:
      WriteObjectToFile(object, *file_);
      break;
    case Mode::kSaveStream:
      WriteObjectToStream(object, *out_);
      break;
    default:
      break;
  }
}

const GReferenceReader& GFieldArchive::Reader() { return *reader_; }

uint32_t GArchivedCollectable::StoredSize() const {
  uint32_t size = 0;
  GFieldArchive archive(size);
  ReadOnlyFields(archive);
  return size;
}

void GArchivedCollectable::SaveContentsToFile(GBinaryFile& file) const {
  GFieldArchive archive(file, false, nullptr);
  ReadOnlyFields(archive);
}

void GArchivedCollectable::SaveContentsToStream(GVirtualOutStream& stream) const {
  GFieldArchive archive(stream);
  ReadOnlyFields(archive);
}

void GArchivedCollectable::RestoreContentsFromFile(GBinaryFile& file) {
  GFieldArchive archive(file, true, RestoredOwner());
  Fields(archive);
}

void GArchivedCollectable::RestoreContentsFromStream(GVirtualInStream& stream) {
  GFieldArchive archive(stream, RestoredOwner());
  Fields(archive);
}
