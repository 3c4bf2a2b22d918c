#include "model/testing/round_trip.h"

#include <memory>
#include <sstream>

#include "foundation/binary_file.h"
#include "foundation/binary_stream.h"
#include "foundation/little_endian.h"
#include "foundation/persistence.h"
#include "foundation/testing/scratch_files.h"

std::string Words(std::initializer_list<uint32_t> values) {
  std::string bytes;
  for (uint32_t value : values) AppendLittle32(bytes, value);
  return bytes;
}

GObjectRef RestoreGraph(StoreForm form, const std::string& bytes, bool& good) {
  MPersistentObject* object = nullptr;
  RestoreFrom(
      form, bytes, good,
      [&object](GBinaryFile& file) {
        ReadObjectFromFile(file, object);
        return object;
      },
      [&object](GVirtualInStream& stream) {
        ReadObjectFromStream(stream, object);
        return object;
      });
  return GObjectRef(object);
}

GObjectRef RestoreGraph(StoreForm form, const std::string& bytes) {
  bool good;
  return RestoreGraph(form, bytes, good);
}

std::string SaveContentsToFileBytes(const RWCollectable& object) {
  const ScratchFile scratch;
  {
    GBinaryFile file(scratch.Path(), "wb");
    object.SaveContentsToFile(file);
  }
  return scratch.Contents();
}

uint32_t RestoreContentsFromFileBytes(RWCollectable& object, const std::string& bytes) {
  const ScratchFile scratch(bytes);
  GBinaryFile file(scratch.Path(), "rb");
  object.RestoreContentsFromFile(file);
  file.ClearError();
  return static_cast<uint32_t>(file.Offset());
}

uint32_t RestoreContentsFromStreamBytes(RWCollectable& object, const std::string& bytes) {
  std::stringbuf channel(bytes, std::ios::in | std::ios::binary);
  GBinaryInStream stream(&channel);
  object.RestoreContentsFromStream(stream);
  return static_cast<uint32_t>(channel.pubseekoff(0, std::ios::cur, std::ios::in));
}

::testing::AssertionResult RoundTrips(const MPersistentObject& object) {
  const std::string fileBytes = SaveGraph(StoreForm::kFile, &object);
  const uint32_t reported = ObjectStoreSize(&object);
  if (fileBytes.size() != reported) {
    return ::testing::AssertionFailure() << "ObjectStoreSize reports " << reported << " bytes, the save wrote "
                                         << fileBytes.size();
  }
  for (StoreForm form : kAllStoreForms) {
    bool good = false;
    const GObjectRef restored = RestoreGraph(form, SaveGraph(form, &object), good);
    if (!good || restored.IsEmpty()) {
      return ::testing::AssertionFailure() << FormName(form) << ": the restore failed";
    }
    if (restored->ClassID() != object.ClassID() || !restored->Equals(&object)) {
      return ::testing::AssertionFailure() << FormName(form) << ": the restored object differs";
    }
    if (restored->SerialNumber() != object.SerialNumber() && object.SerialNumber() != 0) {
      return ::testing::AssertionFailure() << FormName(form) << ": the serial number changed";
    }
  }
  return ::testing::AssertionSuccess();
}
