#pragma once

#include <cstdint>

#include "foundation/rw_wstring.h"
#include "model/os/loadable_library.h"
#include "model/os/printer_identity.h"

// The base of loaders that bring a helper library of the printer maker into
// the process only when the printer asks for it. The request is the value
// "QvrdbUpdateRequest" of the printer's driver data in the machine registry
// (which the device-options query sets to 1 before it asks the registry
// agent): when it is 1, or missing (it is then created as 0), the library at
// the path the derived class set is loaded and initialised. The request is
// never reset here.
//
// The name of the loadable library is the printer name and its user data
// the printer handle.
class GHelperDllLoader : public GLoadableLibrary {
 public:
  GHelperDllLoader(const RWWString& printerName, PrinterHandle printer) : GLoadableLibrary(printerName, printer) {}
  // Unloads a loaded library.
  ~GHelperDllLoader() override;

  // Non-zero when loading must not happen.
  virtual int32_t IsBlocked() { return 0; }
  // Told 1 before a load and 0 after one that failed; the answer is not
  // used.
  virtual int32_t SetLoading(int32_t) { return 1; }

  // Loads when the printer's request value asks for it (see above); the
  // derived class's constructor calls it once it has set the path. Without
  // an OS factory, or when the printer has no key in the machine registry
  // (under its name, or under the name with every backslash replaced by a
  // comma, as printer connections are stored), nothing happens.
  void LoadOnUpdateRequest();
  // Loads the library at the path and initialises it; an initialisation
  // answering 0 or 1 keeps it loaded (answer 1), any other answer unloads
  // it again (answer 0). A library that does not load answers 0.
  int32_t LoadAndInitialize();
  // Frees a loaded library.
  void Unload();

  PrinterHandle GetPrinterHandle() const { return UserData(); }
};
