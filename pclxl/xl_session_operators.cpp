#include "pclxl/xl_session_operators.h"

#include <limits>

#include "pclxl/xl_attribute_writers.h"

using xl_detail::ArrayAttributeIfAny;
using xl_detail::Attribute;
using xl_detail::AttributeOperator;
using xl_detail::OptionalAttribute;

namespace {

struct VendorExtension {
  uint32_t code;
  int32_t level;
};

constexpr VendorExtension kVendorExtensions[kXLVendorUniqueTableSize] = {
    {0x7176301B, 5}, {0x7176301C, 5}, {0x7176301D, 5}, {0x7176301E, 5}, {0x71763001, 4}, {0x71763002, 4},
    {0x71763003, 4}, {0x71763004, 4}, {0x71763005, 4}, {0x71763006, 4}, {0x71763007, 4}, {0x71763008, 4},
    {0x71763009, 3}, {0x7176300A, 2}, {0x7176300B, 3}, {0x7176300C, 1}, {0x7176300D, 2}, {0x7176300E, 1},
    {0x7176300F, 1}, {0x71763010, 3}, {0x71763011, 3}, {0x71763012, 3}, {0x71763013, 3}, {0x71763014, 3},
    {0x71763015, 3}, {0x71763016, 3}, {0x71763017, 3}, {0x71763018, 3}, {0x71763019, 3}, {0x7176301A, 5},
};

void PageTail(XLStream* stream, std::span<const uint8_t> mediaType, std::optional<uint8_t> mediaSource) {
  ArrayAttributeIfAny(stream, XLAttr::MediaType, mediaType);
  OptionalAttribute(stream, XLAttr::MediaSource, mediaSource);
  XLWriteOperator(stream, XLOp::BeginPage);
}

template <class Second>
void VendorUniqueTwoAttributes(XLStream* stream, uint32_t extension, uint8_t attr1, Second attr2) {
  Attribute(stream, XLAttr::VUExtension, extension);
  Attribute(stream, XLAttr::VUAttr1, attr1);
  Attribute(stream, XLAttr::VUAttr2, attr2);
  XLWriteOperator(stream, XLOp::VendorUnique);
}

}  // namespace

void XLBeginSession(XLStream* stream, XLPair<uint16_t> unitsPerMeasure, uint8_t measure,
                    std::optional<uint8_t> errorReport) {
  Attribute(stream, XLAttr::UnitsPerMeasure, unitsPerMeasure);
  Attribute(stream, XLAttr::Measure, measure);
  OptionalAttribute(stream, XLAttr::ErrorReport, errorReport);
  XLWriteOperator(stream, XLOp::BeginSession);
}

void XLEndSession(XLStream* stream) { XLWriteOperator(stream, XLOp::EndSession); }

void XLOpenDataSource(XLStream* stream, uint8_t sourceType, std::optional<uint8_t> dataOrg) {
  Attribute(stream, XLAttr::SourceType, sourceType);
  OptionalAttribute(stream, XLAttr::DataOrg, dataOrg);
  XLWriteOperator(stream, XLOp::OpenDataSource);
}

void XLCloseDataSource(XLStream* stream) { XLWriteOperator(stream, XLOp::CloseDataSource); }

void XLBeginPage(XLStream* stream, uint8_t orientation, uint8_t mediaSize, std::span<const uint8_t> mediaType,
                 std::optional<uint8_t> mediaSource) {
  Attribute(stream, XLAttr::Orientation, orientation);
  Attribute(stream, XLAttr::MediaSize, mediaSize);
  PageTail(stream, mediaType, mediaSource);
}

void XLBeginPageCustomSize(XLStream* stream, uint8_t orientation, XLPair<uint16_t> customMediaSize,
                           uint8_t customMediaSizeUnits, std::span<const uint8_t> mediaType,
                           std::optional<uint8_t> mediaSource) {
  Attribute(stream, XLAttr::Orientation, orientation);
  Attribute(stream, XLAttr::CustomMediaSize, customMediaSize);
  Attribute(stream, XLAttr::CustomMediaSizeUnits, customMediaSizeUnits);
  PageTail(stream, mediaType, mediaSource);
}

void XLEndPage(XLStream* stream, std::optional<uint16_t> pageCopies, std::optional<uint8_t> mediaSource) {
  OptionalAttribute(stream, XLAttr::PageCopies, pageCopies);
  OptionalAttribute(stream, XLAttr::MediaSource, mediaSource);
  XLWriteOperator(stream, XLOp::EndPage);
}

void XLComment(XLStream* stream, std::span<const uint8_t> commentData) {
  AttributeOperator(stream, XLOp::Comment, XLAttr::CommentData, commentData);
}

void XLEchoComment(XLStream* stream, std::span<const uint8_t> commentData) {
  AttributeOperator(stream, XLOp::EchoComment, XLAttr::CommentData, commentData);
}

void XLQuery(XLStream* stream, std::span<const uint8_t> queryKey) {
  AttributeOperator(stream, XLOp::Query, XLAttr::QueryKey, queryKey);
}

void XLVendorUnique(XLStream* stream, uint32_t extension, std::optional<uint8_t> attr1) {
  Attribute(stream, XLAttr::VUExtension, extension);
  OptionalAttribute(stream, XLAttr::VUAttr1, attr1);
  XLWriteOperator(stream, XLOp::VendorUnique);
}

void XLVendorUniqueTwoBytes(XLStream* stream, uint32_t extension, uint8_t attr1, uint8_t attr2) {
  VendorUniqueTwoAttributes(stream, extension, attr1, attr2);
}

void XLVendorUniqueByteAndWord(XLStream* stream, uint32_t extension, uint8_t attr1, uint16_t attr2) {
  VendorUniqueTwoAttributes(stream, extension, attr1, attr2);
}

void XLVendorUniqueWithData(XLStream* stream, uint32_t extension, uint8_t attr2, uint16_t attr1,
                            std::span<const uint8_t> data) {
  // Checked first, so that VUDataLength never carries a cut-down length.
  if (!xl_detail::CheckLength(stream, data.size(), std::numeric_limits<uint32_t>::max())) return;
  Attribute(stream, XLAttr::VUExtension, extension);
  Attribute(stream, XLAttr::VUAttr2, attr2);
  Attribute(stream, XLAttr::VUAttr1, attr1);
  Attribute(stream, XLAttr::VUDataLength, static_cast<uint32_t>(data.size()));
  XLWriteOperator(stream, XLOp::VendorUnique);
  XLWriteEmbeddedLength(stream, data.size());
  XLWriteRawBytes(stream, data);
}

void XLVendorUniqueFromTable(XLStream* stream, int32_t index, const XLVendorUniqueValues& values) {
  // A negative index becomes a large unsigned one and is refused as well.
  if (!xl_detail::CheckLength(stream, static_cast<uint32_t>(index), kXLVendorUniqueTableSize - 1)) return;
  const VendorExtension& entry = kVendorExtensions[index];
  Attribute(stream, XLAttr::VUExtension, entry.code);
  if (entry.level < 5) Attribute(stream, XLAttr::VUAttr5, values.attr5);
  if (entry.level < 4) {
    Attribute(stream, XLAttr::VUAttr4, values.attr4);
    Attribute(stream, XLAttr::VUAttr3, values.attr3);
    Attribute(stream, XLAttr::VUAttr2, values.attr2);
    Attribute(stream, XLAttr::VUAttr1, values.attr1);
  }
  if (entry.level < 3) Attribute(stream, XLAttr::VUAttr6, values.attr6);
  if (entry.level <= 1) {
    Attribute(stream, XLAttr::VUAttr8, values.attr8);
    Attribute(stream, XLAttr::VUAttr7, values.attr7);
  }
  if (entry.level == 2) Attribute(stream, XLAttr::VUAttr9, values.attr9);
  XLWriteOperator(stream, XLOp::VendorUnique);
}

void XLBeginStream(XLStream* stream, std::span<const uint8_t> streamName) {
  AttributeOperator(stream, XLOp::BeginStream, XLAttr::StreamName, streamName);
}

void XLReadStream(XLStream* stream, uint32_t streamDataLength) {
  AttributeOperator(stream, XLOp::ReadStream, XLAttr::StreamDataLength, streamDataLength);
}

void XLEndStream(XLStream* stream) { XLWriteOperator(stream, XLOp::EndStream); }

void XLExecStream(XLStream* stream, std::span<const uint8_t> streamName) {
  AttributeOperator(stream, XLOp::ExecStream, XLAttr::StreamName, streamName);
}

void XLRemoveStream(XLStream* stream, std::span<const uint8_t> streamName) {
  AttributeOperator(stream, XLOp::RemoveStream, XLAttr::StreamName, streamName);
}

void XLPassThrough(XLStream* stream, std::span<const uint8_t> data) {
  XLWriteOperator(stream, XLOp::PassThrough);
  XLWriteEmbeddedData(stream, data);
}
