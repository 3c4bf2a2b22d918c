#include "foundation/testing/persistence_test_support.h"

#include <memory>
#include <sstream>

#include "foundation/binary_stream.h"
#include "foundation/endian_stream.h"
#include "foundation/persistence.h"
#include "foundation/testing/scratch_files.h"
#include "foundation/text_stream.h"

namespace {

std::stringbuf BinaryBuffer(const std::string& bytes = std::string()) {
  return std::stringbuf(bytes, std::ios::in | std::ios::out | std::ios::binary);
}

std::unique_ptr<GVirtualOutStream> OutStream(StoreForm form, std::stringbuf& channel) {
  switch (form) {
    case StoreForm::kEndianLittle:
      return std::make_unique<GEndianOutStream>(&channel, 0);
    case StoreForm::kEndianBig:
      return std::make_unique<GEndianOutStream>(&channel, 1);
    case StoreForm::kText:
      return std::make_unique<GTextOutStream>(&channel);
    default:
      return std::make_unique<GBinaryOutStream>(&channel);
  }
}

std::unique_ptr<GVirtualInStream> InStream(StoreForm form, std::stringbuf& channel) {
  switch (form) {
    case StoreForm::kEndianLittle:
    case StoreForm::kEndianBig:
      return std::make_unique<GEndianInStream>(&channel);
    case StoreForm::kText:
      return std::make_unique<GTextInStream>(&channel);
    default:
      return std::make_unique<GBinaryInStream>(&channel);
  }
}

}  // namespace

const char* FormName(StoreForm form) {
  switch (form) {
    case StoreForm::kFile:
      return "file";
    case StoreForm::kBinary:
      return "binary";
    case StoreForm::kEndianLittle:
      return "endian_little";
    case StoreForm::kEndianBig:
      return "endian_big";
    case StoreForm::kText:
      return "text";
  }
  return "?";
}

std::string SaveGraph(StoreForm form, const RWCollectable* object) {
  bool good = false;
  return SaveGraph(form, object, good);
}

std::string SaveGraph(StoreForm form, const RWCollectable* object, bool& good) {
  if (form == StoreForm::kFile) {
    const ScratchFile scratch;
    {
      GBinaryFile file(scratch.Path(), "wb");
      WriteObjectToFile(object, file);
      good = !file.Failed();
    }
    return scratch.Contents();
  }
  std::stringbuf channel = BinaryBuffer();
  {
    const auto stream = OutStream(form, channel);
    WriteObjectToStream(object, *stream);
    stream->Flush();
    good = stream->IsGood();
  }
  return channel.str();
}

RWCollectable* RestoreFrom(StoreForm form, const std::string& bytes, bool& good,
                           const std::function<RWCollectable*(GBinaryFile&)>& fromFile,
                           const std::function<RWCollectable*(GVirtualInStream&)>& fromStream) {
  if (form == StoreForm::kFile) {
    const ScratchFile scratch(bytes);
    GBinaryFile file(scratch.Path(), "rb");
    RWCollectable* object = fromFile(file);
    good = !file.AtEnd() && !file.Failed();
    return object;
  }
  std::stringbuf channel = BinaryBuffer(bytes);
  const auto stream = InStream(form, channel);
  RWCollectable* object = fromStream(*stream);
  good = stream->IsGood();
  return object;
}

RWCollectable* RestoreCollectable(StoreForm form, const std::string& bytes, bool& good) {
  return RestoreFrom(
      form, bytes, good,
      [](GBinaryFile& file) {
        RWCollectable* object = nullptr;
        return RestoreObjectFromFile(file, object);
      },
      [](GVirtualInStream& stream) {
        RWCollectable* object = nullptr;
        return RestoreObjectFromStream(stream, object);
      });
}

RWCollectable* RestoreCollectableInPlace(StoreForm form, const std::string& bytes, RWCollectable* object, bool& good) {
  return RestoreFrom(
      form, bytes, good, [object](GBinaryFile& file) { return RestoreObjectInPlaceFromFile(file, object); },
      [object](GVirtualInStream& stream) { return RestoreObjectInPlaceFromStream(stream, object); });
}
