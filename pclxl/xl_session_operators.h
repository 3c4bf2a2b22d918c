#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "pclxl/xl_values.h"

// Operators that frame a job: session, data source, page, comments, vendor
// extensions, streams and pass-through data. Each function writes its
// attributes (value, then identifier) in the order shown and then the
// operator; an attribute passed as an empty optional or an empty array is
// left out.

void XLBeginSession(XLStream* stream, XLPair<uint16_t> unitsPerMeasure, uint8_t measure,
                    std::optional<uint8_t> errorReport = std::nullopt);
void XLEndSession(XLStream* stream);

void XLOpenDataSource(XLStream* stream, uint8_t sourceType, std::optional<uint8_t> dataOrg = std::nullopt);
void XLCloseDataSource(XLStream* stream);

// Orientation, MediaSize, then MediaType and MediaSource when given.
void XLBeginPage(XLStream* stream, uint8_t orientation, uint8_t mediaSize, std::span<const uint8_t> mediaType = {},
                 std::optional<uint8_t> mediaSource = std::nullopt);
// Orientation, CustomMediaSize, CustomMediaSizeUnits, then MediaType and
// MediaSource when given.
void XLBeginPageCustomSize(XLStream* stream, uint8_t orientation, XLPair<uint16_t> customMediaSize,
                           uint8_t customMediaSizeUnits, std::span<const uint8_t> mediaType = {},
                           std::optional<uint8_t> mediaSource = std::nullopt);
// PageCopies, then MediaSource, each when given.
void XLEndPage(XLStream* stream, std::optional<uint16_t> pageCopies = std::nullopt,
               std::optional<uint8_t> mediaSource = std::nullopt);

void XLComment(XLStream* stream, std::span<const uint8_t> commentData);
void XLEchoComment(XLStream* stream, std::span<const uint8_t> commentData);
void XLQuery(XLStream* stream, std::span<const uint8_t> queryKey);

// VUExtension, then VUAttr1 (0x93) when given.
void XLVendorUnique(XLStream* stream, uint32_t extension, std::optional<uint8_t> attr1 = std::nullopt);
// VUExtension, VUAttr1 and VUAttr2 as ubytes.
void XLVendorUniqueTwoBytes(XLStream* stream, uint32_t extension, uint8_t attr1, uint8_t attr2);
// VUExtension, VUAttr1 as ubyte, VUAttr2 as uint16.
void XLVendorUniqueByteAndWord(XLStream* stream, uint32_t extension, uint8_t attr1, uint16_t attr2);
// VUExtension, VUAttr2 as ubyte, VUAttr1 as uint16, VUDataLength, the
// operator, then the data as embedded data.
void XLVendorUniqueWithData(XLStream* stream, uint32_t extension, uint8_t attr2, uint16_t attr1,
                            std::span<const uint8_t> data);

// The values of the table-driven VendorUnique form; which of them are
// written depends on the level of the extension chosen.
struct XLVendorUniqueValues {
  uint32_t attr5 = 0;
  uint16_t attr4 = 0;
  uint16_t attr3 = 0;
  uint16_t attr2 = 0;
  uint16_t attr1 = 0;
  uint8_t attr6 = 0;
  float attr8 = 0.0f;
  float attr7 = 0.0f;
  uint16_t attr9 = 0;
};
inline constexpr int32_t kXLVendorUniqueTableSize = 30;
// Writes the extension of table entry index (0 to 29) with the attributes of
// its level; another index sets kXLValueOutOfRange.
void XLVendorUniqueFromTable(XLStream* stream, int32_t index, const XLVendorUniqueValues& values);

void XLBeginStream(XLStream* stream, std::span<const uint8_t> streamName);
// The stream data follows as embedded data, written by the caller.
void XLReadStream(XLStream* stream, uint32_t streamDataLength);
void XLEndStream(XLStream* stream);
void XLExecStream(XLStream* stream, std::span<const uint8_t> streamName);
void XLRemoveStream(XLStream* stream, std::span<const uint8_t> streamName);

// The operator, then the data in the long embedded-data form.
void XLPassThrough(XLStream* stream, std::span<const uint8_t> data);
