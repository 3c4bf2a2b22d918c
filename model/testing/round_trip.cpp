#include "model/testing/round_trip.h"

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <random>
#include <sstream>

#include "foundation/binary_file.h"
#include "foundation/binary_stream.h"
#include "foundation/endian_stream.h"
#include "foundation/persistence.h"
#include "foundation/text_stream.h"

namespace {

// A file of its own for each call, also across test processes run side by
// side; removed when the holder goes.
class TempFile {
 public:
  TempFile() {
    static const std::string prefix = "qv_model_" + std::to_string(std::random_device()()) + "_";
    static std::atomic<int> counter{0};
    path_ = (std::filesystem::temp_directory_path() / (prefix + std::to_string(counter++) + ".bin")).string();
  }
  explicit TempFile(const std::string& bytes) : TempFile() { std::ofstream(path_, std::ios::binary) << bytes; }
  ~TempFile() { std::remove(path_.c_str()); }
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;

  const char* Path() const { return path_.c_str(); }
  std::string Bytes() const {
    std::ifstream in(path_, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

 private:
  std::string path_;
};

std::stringbuf Channel(const std::string& bytes = std::string()) {
  return std::stringbuf(bytes, std::ios::in | std::ios::out | std::ios::binary);
}

std::unique_ptr<GVirtualOutStream> OutStream(GStoreForm form, std::stringbuf& channel) {
  switch (form) {
    case GStoreForm::kEndian:
      return std::make_unique<GEndianOutStream>(&channel, 1);
    case GStoreForm::kText:
      return std::make_unique<GTextOutStream>(&channel);
    default:
      return std::make_unique<GBinaryOutStream>(&channel);
  }
}

std::unique_ptr<GVirtualInStream> InStream(GStoreForm form, std::stringbuf& channel) {
  switch (form) {
    case GStoreForm::kEndian:
      return std::make_unique<GEndianInStream>(&channel);
    case GStoreForm::kText:
      return std::make_unique<GTextInStream>(&channel);
    default:
      return std::make_unique<GBinaryInStream>(&channel);
  }
}

}  // namespace

const char* StoreFormName(GStoreForm form) {
  switch (form) {
    case GStoreForm::kFile:
      return "file";
    case GStoreForm::kBinary:
      return "binary stream";
    case GStoreForm::kEndian:
      return "byte-swapping stream";
    case GStoreForm::kText:
      return "text stream";
  }
  return "?";
}

std::string Words(std::initializer_list<uint32_t> values) {
  std::string bytes;
  for (uint32_t value : values) {
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<char>(value >> shift));
  }
  return bytes;
}

std::string SaveGraph(GStoreForm form, const RWCollectable* object) {
  if (form == GStoreForm::kFile) {
    const TempFile temp;
    {
      GBinaryFile file(temp.Path(), "wb");
      WriteObjectToFile(object, file);
    }
    return temp.Bytes();
  }
  std::stringbuf channel = Channel();
  {
    const std::unique_ptr<GVirtualOutStream> stream = OutStream(form, channel);
    WriteObjectToStream(object, *stream);
    stream->Flush();
  }
  return channel.str();
}

GObjectRef RestoreGraph(GStoreForm form, const std::string& bytes, bool& good) {
  MPersistentObject* object = nullptr;
  if (form == GStoreForm::kFile) {
    const TempFile temp(bytes);
    GBinaryFile file(temp.Path(), "rb");
    ReadObjectFromFile(file, object);
    good = !file.AtEnd() && !file.Failed();
    return GObjectRef(object);
  }
  std::stringbuf channel = Channel(bytes);
  const std::unique_ptr<GVirtualInStream> stream = InStream(form, channel);
  ReadObjectFromStream(*stream, object);
  good = stream->IsGood();
  return GObjectRef(object);
}

GObjectRef RestoreGraph(GStoreForm form, const std::string& bytes) {
  bool good;
  return RestoreGraph(form, bytes, good);
}

std::string SaveContentsToFileBytes(const RWCollectable& object) {
  const TempFile temp;
  {
    GBinaryFile file(temp.Path(), "wb");
    object.SaveContentsToFile(file);
  }
  return temp.Bytes();
}

uint32_t RestoreContentsFromFileBytes(RWCollectable& object, const std::string& bytes) {
  const TempFile temp(bytes);
  GBinaryFile file(temp.Path(), "rb");
  object.RestoreContentsFromFile(file);
  file.ClearError();
  return static_cast<uint32_t>(file.Offset());
}

uint32_t RestoreContentsFromStreamBytes(RWCollectable& object, const std::string& bytes) {
  std::stringbuf channel = Channel(bytes);
  GBinaryInStream stream(&channel);
  object.RestoreContentsFromStream(stream);
  return static_cast<uint32_t>(channel.pubseekoff(0, std::ios::cur, std::ios::in));
}

::testing::AssertionResult RoundTrips(const MPersistentObject& object) {
  const std::string fileBytes = SaveGraph(GStoreForm::kFile, &object);
  const uint32_t reported = ObjectStoreSize(&object);
  if (fileBytes.size() != reported) {
    return ::testing::AssertionFailure() << "ObjectStoreSize reports " << reported << " bytes, the save wrote "
                                         << fileBytes.size();
  }
  for (GStoreForm form : kAllStoreForms) {
    bool good = false;
    const GObjectRef restored = RestoreGraph(form, SaveGraph(form, &object), good);
    if (!good || restored.IsEmpty()) {
      return ::testing::AssertionFailure() << StoreFormName(form) << ": the restore failed";
    }
    if (restored->ClassID() != object.ClassID() || !restored->Equals(&object)) {
      return ::testing::AssertionFailure() << StoreFormName(form) << ": the restored object differs";
    }
    if (restored->SerialNumber() != object.SerialNumber() && object.SerialNumber() != 0) {
      return ::testing::AssertionFailure() << StoreFormName(form) << ": the serial number changed";
    }
  }
  return ::testing::AssertionSuccess();
}
