#include "model/os/dynamic_library.h"

#include "foundation/class_registrar.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GDynamicLibrary>, kGDynamicLibraryClassID, kGDynamicLibraryClassName);

}  // namespace

GDynamicLibrary::GDynamicLibrary(const GDynamicLibrary& other) : MPersistentObject(), name_(other.name_) {
  ShareModuleOf(other);
}

GDynamicLibrary& GDynamicLibrary::operator=(const GDynamicLibrary& other) {
  if (&other == this) return *this;
  MPersistentObject::operator=(other);
  name_ = other.name_;
  Free();
  ShareModuleOf(other);
  return *this;
}

GDynamicLibrary::~GDynamicLibrary() { Free(); }

// When the system will not count another reference, the copy stays unloaded
// and loads by its name when it is used.
void GDynamicLibrary::ShareModuleOf(const GDynamicLibrary& other) {
  if (other.loaded_ != 1) return;
  module_ = platform::AddModuleReference(other.module_);
  loaded_ = module_ != nullptr ? 1 : 0;
}

int32_t GDynamicLibrary::Load() {
  if (loaded_ != 1) {
    module_ = platform::OpenModule(name_.Data());
    loaded_ = module_ != nullptr ? 1 : 0;
  }
  return loaded_;
}

void GDynamicLibrary::Free() {
  if (loaded_ != 1) return;
  platform::CloseModule(module_);
  module_ = nullptr;
  loaded_ = 0;
}

void* GDynamicLibrary::FindEntry(const char* entryName) {
  if (Load() != 1) return nullptr;
  return platform::FindExport(module_, entryName);
}

void* GDynamicLibrary::CallEntry(const char* entryName, ...) {
  const auto entry = reinterpret_cast<Entry>(FindEntry(entryName));
  if (entry == nullptr) return nullptr;
  va_list arguments;
  va_start(arguments, entryName);
  void* result = entry(arguments);
  va_end(arguments);
  return result;
}

uint16_t GDynamicLibrary::CallEntry16(const char* entryName, uint32_t first, void* second) {
  const auto entry = reinterpret_cast<Entry16>(FindEntry(entryName));
  return entry != nullptr ? entry(first, second) : 0;
}

bool GDynamicLibrary::SameContent(const MPersistentObject& other) const {
  if (&other == this) return true;
  if (other.ClassID() != ClassID() || other.Key() != Key()) return false;
  const auto* library = dynamic_cast<const GDynamicLibrary*>(&other);
  return library != nullptr && library->name_ == name_ && library->loaded_ == loaded_ && library->module_ == module_;
}

void GDynamicLibrary::Fields(GFieldArchive& archive) {
  MPersistentObject::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.WideString(name_);
  if (archive.IsRestoring()) Free();
}
