#pragma once

#include <cstdint>
#include <memory>

#include "device/extensions/driver_extension_manager.h"
#include "device/media/media_pool.h"
#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "model/attributes/attribute_composite.h"
#include "model/attributes/peripheral.h"
#include "model/attributes/resource_mapping.h"
#include "model/os/driver_interface.h"

class GCustomMediaSize;
class GDeviceFontListComposite;
class GTray;

// A resolution: dots per inch across and down.
struct GResolution {
  uint16_t x = 0;
  uint16_t y = 0;
};

// The per-printer driver object. The user-interface host and the rendering
// side's graphics device both have it as their virtual base; the driver
// server hands it out and loads its device tree into it.
//
// It owns the printer's device tree (a root peripheral whose child 76 is
// the head of the render pipeline; the head's configuration is the device
// description every query here reads), the three mapping lists between the
// operating system's numbers and the device's (paper sizes, paper sources,
// extra mappings), the printer's current settings, a private media pool
// with symmetric margins and the extension manager. It answers questions
// about the device from the description: paper sizes and sources, media,
// resolutions, custom sizes.
//
// Missing nodes are never errors: a lookup that needs a node that is not
// there answers its not-found value (0, -1 or null).
//
// The derived classes give the operations that depend on the side and the
// platform: settings, the identity of the printer, the application flags.
// All operations run on the caller's thread; the object takes no lock.
class GDriver : public GDriverInterface {
 public:
  // Keys of the device tree, the device description and the settings.
  static constexpr int32_t kPipelineHeadKey = 76;
  static constexpr int32_t kDeviceMediaPoolKey = 189;
  static constexpr int32_t kAlternativeMediaPoolKey = 195;
  static constexpr int32_t kBinPoolKey = 90;
  static constexpr int32_t kCustomSizesKey = 276;

  // Size ids of the device media pool that carry the limits of custom
  // sizes: the smallest and the largest for enumerations and paper checks,
  // and for the range check of one custom size.
  static constexpr int16_t kSmallestCustomMedia = 17385;
  static constexpr int16_t kLargestCustomMedia = 17384;
  static constexpr int16_t kSmallestRangeMedia = 17389;
  static constexpr int16_t kLargestRangeMedia = 17388;
  // Custom sizes take ids from this range; ids above 0x3FFF are custom.
  static constexpr int16_t kFirstCustomSizeId = 16385;
  static constexpr int16_t kLastCustomSizeId = 17383;

  // What LoadExtension answers when the extensions are switched off in the
  // device description, and when the driver object has no extension
  // manager (no extension library installed a creator).
  static constexpr uint16_t kExtensionsDisabled = 5;
  static constexpr uint16_t kNoExtensionManager = 603;
  // What QueryDevice answers without a device query or a description.
  static constexpr uint16_t kNoDeviceQuery = 603;

  // Called for each medium, tray or mapping of an enumeration with its
  // mapping (null when the walk does not go through one), the running index
  // and the caller's context. Setting hit reports a hit; any answer but 1
  // ends the walk.
  using MediaCallback = int32_t (*)(GMedia& medium, GResourceMapping* mapping, int32_t index, void* context,
                                    int32_t& hit);
  using PaperSourceCallback = int32_t (*)(GTray& tray, GResourceMapping* mapping, int32_t index, void* context,
                                          int32_t& hit);
  // The name of a paper source that has no tray: the text is that of the
  // user's entry, when the walk hands objects out and there is one.
  using PaperSourceNameCallback = int32_t (*)(GResourceMapping* mapping, int32_t index, void* context, int32_t& hit,
                                              const RWWString* text);
  // Called for each form of the operating system with its 1-based ordinal,
  // its paper size id and its name; any answer but 1 ends the walk.
  using FormCallback = int32_t (*)(int32_t ordinal, int16_t paperSizeId, const RWWString& name, void* context);

  // Empty names, no tree, no settings; the cached value 339 is stale. The
  // extension manager comes from the installed creator, if there is one.
  GDriver();
  GDriver(const GDriver&) = delete;
  GDriver& operator=(const GDriver&) = delete;
  // Deletes what the object owns; the extension manager is cleared first.
  ~GDriver() override;

  // The 32-bit hash of a driver handle in the driver server's tables.
  static uint32_t HashHandle(uint32_t value) { return value ^ (value >> 16); }

  // Operations the derived classes give or refine, in this order.

  // Copies the module's application flags into the object.
  virtual void RefreshAppFlags() = 0;
  GGraphicsDevice* AsGraphicsDevice() override = 0;
  GUIDriver* AsUIDriver() override = 0;
  // A new settings composite (key 360) from the description's settings
  // template and the pipeline's initial state.
  virtual std::unique_ptr<GAttributeComposite> CreateDefaultSettings() = 0;
  // The printer's settings, which become the current settings; null when
  // there are none.
  virtual std::unique_ptr<GAttributeComposite> LoadSettings() = 0;
  // Asks the printer for its installed options through the first device
  // query that the provider registry makes for this object and its port
  // (kNoDeviceQuery without a query or a description) and answers the
  // query's code. The argument is not used here.
  virtual uint16_t QueryDevice(int32_t argument);
  // Makes the device tree describe the installed options of the settings
  // (their group 365; the current settings when null): the memory, duplex
  // and collation units, the disk, the optional paper-handling devices to
  // install and the defaults of their configurations, and the device
  // objects that extensions rewrote in the printer data. 1, or 0 without
  // settings or their group 365.
  virtual int32_t SyncDeviceModel(MPersistentObject* settings);
  // Marks the cached value 339 stale and drops the private media pool; the
  // key of the printer the object is re-targeted to is not used here.
  void Invalidate(const GDriverKey& key) override;
  void ReleaseJobResources() override = 0;
  // Nothing to give back: 0.
  int32_t ReleaseCachedMemory() override;
  // Value 339 of the device root's own configuration, read again after
  // each Invalidate; a value that is absent keeps the one read before.
  virtual int32_t GetCachedSetting339();
  // Whether the OS paper size exists at the orientation and resolution:
  // among the media that map to OS numbers (within the custom limits when
  // asked), else among the custom sizes of the current settings; 1 also
  // when there are no current settings.
  virtual int32_t IsPaperSupported(int32_t orientation, GResolution resolution, int32_t checkCustomLimits,
                                   uint16_t osPaperId);
  virtual int32_t IsRemotePrinter();
  // Whether an installed tray maps to the OS paper source.
  virtual bool HasPaperSource(uint16_t osSourceId);
  // Whether the description's resolution list (206) has an entry with x
  // resolution (323) x and y resolution (324) y.
  virtual bool HasOptionPair(int16_t x, int16_t y);
  // The device id of an OS paper size, and back, through the resource
  // mappings: 1 and the id written, or 0 with the id untouched.
  virtual int32_t OSIdToDeviceId(uint16_t osId, int16_t& deviceId);
  virtual int32_t DeviceIdToOSId(int16_t deviceId, uint16_t& osId);
  // The regional default paper size id: 1 (Letter) for the country codes of
  // the Americas (0 to 2, 50 to 59, 500 to 599) and without international
  // settings, 23 (A4) for every other. Computed once.
  virtual int16_t GetOSCapabilityLevel();
  // Gives the size the smallest custom-size id that no entry of the list
  // carries, marks it changed and puts it in the list in place of an entry
  // of the same name (which is deleted); answers 1. The list then owns the
  // size. When every id is taken, answers 0 and the size stays the
  // caller's. The settings are not used here.
  virtual int32_t AddCustomMediaSize(GCustomMediaSize* size, GAttributeComposite& list, GAttributeComposite* settings);
  // Takes the entry out of the list and deletes it: 1, or 0 when it was not
  // in the list. The settings are not used here.
  virtual int32_t RemoveCustomMediaSize(GCustomMediaSize* size, GAttributeComposite& list,
                                        GAttributeComposite* settings);
  // The operating system's forms with their device ids; none here: 0.
  virtual int32_t EnumerateMediaNames(FormCallback callback, void* context, int32_t check,
                                      GAttributeComposite* settings);
  virtual int32_t EnumerateForms(FormCallback callback, void* context, int32_t check, GAttributeComposite* settings);
  // ClassifyMediaId with the orientation (265) and the resolution (323 and
  // 324 of group 249) of the settings; 0 when one of them is missing.
  virtual int32_t ValidateMediaSelection(GAttributeComposite* settings, uint16_t mediaId);
  // 2 for a custom id (above 0x3FFF); else 1 when the description has no
  // list of listed media (192) or lists the id, 2 when it does not.
  virtual int32_t ClassifyMediaId(GAttributeComposite* settings, uint16_t mediaId, int32_t orientation, uint16_t x,
                                  uint16_t y);
  // The description's text 401 as wide text; empty without it.
  virtual RWWString GetConfigurationText401();
  // A new identity of the printer from the three names.
  std::unique_ptr<GDriverKey> CreatePrinterIdentity() const override = 0;
  // Hands the settings (360) of the description's preset (in list 369)
  // whose name (370) equals name, letter case ignored, to target; whether
  // one was found.
  virtual bool ApplyNamedPreset(const RWWString& name, GAttribute& target);
  // The id unchanged.
  virtual int16_t MapPaperSizeId(GAttributeComposite* settings, int16_t id);
  // Registers (unload 0) or unregisters the extension library at the path
  // through the extension manager and answers its code. An empty path
  // answers the description's extension switch (984, 0 when absent); with
  // the switch at 0 the answer is kExtensionsDisabled, without a manager
  // kNoExtensionManager.
  virtual uint16_t LoadExtension(const RWCString& path, int32_t unload);
  // The operating system's built-in forms; none here: 0.
  virtual int32_t EnumerateBuiltinForms(FormCallback callback, void* context, int32_t check,
                                        GAttributeComposite* settings);
  virtual int32_t IsBuiltinForm(const GCustomMediaSize& size, GAttributeComposite* settings);
  // The 1-based index of the OS form of a device paper id; none here: 0.
  virtual int32_t PaperIdToFormIndex(int16_t deviceId, int32_t& index);
  // The per-user registry key of the printer's local job-storage values.
  virtual void LocalJobStorageKey(RWWString& key) = 0;
  // The settings of the DEVMODE handler; the derived class keeps them.
  virtual GAttributeComposite* GetDevmodeSettings() = 0;
  // The job's document settings, which the derived class keeps.
  virtual GAttributeComposite* GetDocumentSettings() = 0;
  // Fresh settings to merge into the document settings; the caller owns
  // them.
  virtual std::unique_ptr<GAttributeComposite> GetReloadedSettings() = 0;

  // Plain access to the members.
  const RWWString& GetPrinterName() const override { return printerName_; }
  const RWWString& GetText2() const override { return driverName_; }
  // The port name.
  const RWWString& GetText3() const { return portName_; }
  uint32_t GetAppFlags() const { return appFlags_; }
  GPeripheral* GetSettingsRoot() const { return deviceRoot_.get(); }
  GResourceMappingList* GetResourceMappings() const { return resourceMappings_.get(); }
  GResourceMappingList* GetOSTrayMap() const { return osTrayMap_.get(); }
  GResourceMappingList* GetExtraMappings() const { return extraMappings_.get(); }
  // Each setter deletes what it replaces.
  void SetSettingsRoot(std::unique_ptr<GPeripheral> root) override;
  void SetResourceMappings(std::unique_ptr<GResourceMappingList> mappings) override;
  void SetOSTrayMap(std::unique_ptr<GResourceMappingList> mappings) override;
  void SetExtraMappings(std::unique_ptr<GResourceMappingList> mappings) override;
  // Null when no extension library installed a manager's creator.
  GDriverExtensionManager* GetExtensionHost() const { return extensionManager_.get(); }
  int32_t GetHostValue() const { return hostValue_; }
  void SetHostValue(int32_t value) { hostValue_ = value; }

  // The device tree: the pipeline head (child 76 of the root), its
  // configuration (the device description), the page-description generator
  // below the head, the description's media pool (189) and bin pool (90),
  // each null when missing; value 958 of the description, 0 when absent.
  GPeripheral* GetPipelineHead() const;
  GConfiguration* GetConfiguration() override;
  GPeripheral* FindGenerator() const;
  GMediaPool* GetDeviceMediaPool();
  MPersistentObject* GetBinPool();
  int32_t GetConfigurationValue958();

  // The media pool in force: the alternative pool (195) when the current
  // settings ask for margin emulation (711), the private pool with
  // symmetric margins when they ask for symmetric margins (713), else the
  // device pool (189). The private pool is built once and kept until
  // Invalidate; null without a description.
  GMediaPool* GetMediaPool();
  // Walks the media of the pool in force that fit the orientation and the
  // resolution (and, with useCustomLimits, lie within the smallest and
  // largest custom media). With throughMappings a medium without a
  // resource mapping is skipped. count is the number of media walked.
  // Answers 1 on a hit (without a context every medium walked is one),
  // else -1.
  int32_t EnumerateMedia(MediaCallback callback, void* context, int32_t orientation, GResolution resolution,
                         int32_t throughMappings, int32_t useCustomLimits, int32_t& count);
  // Walks the trays of the installed input devices: once per entry of the
  // description's paper-source order (1114), visiting the trays of that id,
  // or once over all trays without it. With throughTrayMap a tray without a
  // mapping is skipped. An answer other than 1 ends the current pass. count
  // goes on from what the caller set. 1 on a hit, else -1.
  int32_t EnumeratePaperSources(PaperSourceCallback callback, void* context, int32_t throughTrayMap, int32_t& count);
  // Walks the extra mappings (an answer other than 1 ends this part), then
  // the paper sources of the user's entries (701) with the mappings that
  // BuildMappingsFromSettings makes for them. count goes on from what the
  // caller set. 1 on a hit, else -1.
  int32_t EnumeratePaperSourceNames(PaperSourceNameCallback callback, void* context, int32_t withObjects,
                                    int32_t& count);
  // Adds to the list a mapping for each user entry (701) of the current
  // settings (loaded when needed): OS number 16690 + n and device id 50 + n
  // for the n-th entry, unless the list has that device id. Answers the
  // list of entries, or null.
  MPersistentObject* BuildMappingsFromSettings(GResourceMappingList& list);
  // Whether an extra mapping, or a mapping of a user entry, has the OS
  // number.
  bool HasExtraMapping(uint16_t osNumber);
  // Whether the custom size of that id (in list 276 of the current
  // settings) makes, at the orientation and resolution of the settings
  // (the current ones when null), a medium between the device's range
  // media. 0 when something needed is missing, the device media pool too.
  int32_t IsCustomSizeInRange(int16_t customId, GAttributeComposite* settings);
  // Whether the description's list of names (1132) lacks the text; true
  // without a description or list.
  bool IsNotInNameList(const RWCString& text);

  // Whether the installed options of settings still match the snapshot
  // "PhySetting" in the printer data; 1 also without either. A snapshot
  // that differs in one of the compared values or texts, or a bundle id
  // (927) of another kind after an "Admin" or "Auto" update, answers 0.
  int32_t UpdatePhysicalSettings(MPersistentObject* settings);
  // Copies the object through the compact settings format, so that it
  // takes the form of the current description (a quick-set pool of key
  // 0x4000005C is rebuilt from the description's template), and stores it
  // under name, or under the decimal text of its key when name is null.
  // The object is consumed. Answers the store's result: 1 stored, 0 when
  // the copy or the store failed.
  int32_t ImportSettingsObject(std::unique_ptr<MPersistentObject> object, const RWWString* name);
  // Adds to target one entry per child of imported, each a copy of the
  // description's quick-set template (375) that takes the values the child
  // holds. Answers 1.
  int32_t MergeSettings(MPersistentObject& imported, MPersistentObject& target);
  // Stores again in the current format the object kept in the older text
  // form under the decimal text of key, or under name: the import's answer,
  // 0 when nothing is stored there.
  int32_t ReadObjectByName(int32_t key);
  int32_t ReadObjectByWideName(const RWCString& name);
  // Copies the n-up choices of the printing group (362) of source to the
  // group 329 of target where both exist; answers target.
  static MPersistentObject* CopyTableValues(MPersistentObject* source, MPersistentObject* target);
  // The device font lists of the printer's mass-storage slots, brought up
  // to date with their catalogues and kept as "AddedFonts" when they
  // changed; null when no slot is in use. The caller owns it.
  std::unique_ptr<GDeviceFontListComposite> LoadAddedFonts();

  // The names by which other parts of the system call some operations.
  int16_t GetDefaultPaperSize() { return GetOSCapabilityLevel(); }
  int16_t GetDefaultPaperSizeId() { return GetOSCapabilityLevel(); }
  GResourceMappingList* GetTrayMappings() const { return GetOSTrayMap(); }
  std::unique_ptr<GAttributeComposite> BuildDefaultSettings() { return CreateDefaultSettings(); }
  int32_t ReservedQuery32(int16_t deviceId, uint16_t& osId) { return DeviceIdToOSId(deviceId, osId); }

 protected:
  // The host stores the names of its printer once it is constructed.
  void SetPrinterNames(const RWWString& printerName, const RWWString& driverName, const RWWString& portName);
  // A fourth name, empty unless the derived class sets it.
  RWWString& Text4() { return text4_; }
  void SetAppFlags(uint32_t flags) { appFlags_ = flags; }
  // Whether a document was already started on the device tree; the
  // graphics device resets the pipeline's job state before it starts the
  // next one.
  int32_t GetJobStarted() const { return jobStarted_; }
  void SetJobStarted(int32_t started) { jobStarted_ = started; }
  // The current settings, null until they are loaded; the second loads
  // them first when needed.
  GAttributeComposite* CurrentSettings() const { return currentSettings_.get(); }
  GAttributeComposite* LoadCurrentSettings();

 private:
  // The node of the key in the device description, null without one.
  MPersistentObject* FindInConfiguration(int32_t key);
  // A media pool like the device's whose media have symmetric margins.
  static std::unique_ptr<GMediaPool> MakeSymmetricPool(GMediaPool& pool);

  RWWString printerName_;
  RWWString driverName_;
  RWWString portName_;
  RWWString text4_;
  uint32_t appFlags_ = 0;
  std::unique_ptr<GPeripheral> deviceRoot_;
  int32_t jobStarted_ = 0;
  int32_t setting339Stale_ = 1;
  int32_t setting339_ = 0;
  std::unique_ptr<GResourceMappingList> resourceMappings_;
  std::unique_ptr<GResourceMappingList> osTrayMap_;
  std::unique_ptr<GResourceMappingList> extraMappings_;
  std::unique_ptr<GAttributeComposite> currentSettings_;
  std::unique_ptr<GMediaPool> privateMediaPool_;
  int16_t regionalPaperId_ = 0;
  std::unique_ptr<GDriverExtensionManager> extensionManager_;
  int32_t hostValue_ = 0;
};
