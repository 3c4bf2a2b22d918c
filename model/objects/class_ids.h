#pragma once

#include <array>
#include <cstdint>

#include "foundation/rw_collectable.h"

// The class IDs of the program's own persistent classes, the one place where
// each ID, its class name and its nearest base with an ID are written down.
// Stored object graphs carry these IDs, the class factory maps them to create
// functions, and IsKindOf answers from the base chains they form. All lie in
// 3..1207, below the user IDs, so graphs store them as plain numbers.
//
// REGISTERED rows are classes that register with the factory under the ID
// and the name; ABSTRACT rows are bases that have an ID but never register.
// Each row gives (ID, class, nearest base that has an ID).
//
// GHalftoneEnhanced and GHalftone share 790 (same stored contents). The
// factory keeps the first registration of an ID, and GHalftoneEnhanced
// registers first, so a stored 790 restores as a GHalftoneEnhanced; each
// class stays reachable by its name.
// clang-format off
#define QV_MODEL_CLASSES(REGISTERED, ABSTRACT)                          \
  REGISTERED(3, GLocaleInfo, MPersistentObject)                         \
  REGISTERED(4, GBinaryData, MPersistentObject)                         \
  REGISTERED(53, GRGBColor, GColor)                                     \
  REGISTERED(101, GGraphicBundle, GState)                               \
  REGISTERED(102, GFillMode, GGraphicStateAttribute)                    \
  REGISTERED(103, GTransformAttribute, GAttribute)                      \
  REGISTERED(152, GColorPaint, GPaint)                                  \
  REGISTERED(201, GPen, GGraphicStateAttribute)                         \
  REGISTERED(202, GNoPen, GPen)                                         \
  REGISTERED(203, GDashedPen, GPen)                                     \
  REGISTERED(251, GBrush, GGraphicStateAttribute)                       \
  REGISTERED(252, GNoBrush, GBrush)                                     \
  REGISTERED(301, GCap, GGraphicStateAttribute)                         \
  REGISTERED(351, GJoint, GGraphicStateAttribute)                       \
  REGISTERED(352, GMiterJoint, GJoint)                                  \
  REGISTERED(401, GRasterOperation, GGraphicStateAttribute)             \
  REGISTERED(501, GClipToRectangle, GClip)                              \
  REGISTERED(502, GClipToPath, GClip)                                   \
  REGISTERED(503, GClipToPage, GClip)                                   \
  REGISTERED(504, GClipToSingleRectangle, GClip)                        \
  REGISTERED(551, GBitmap, MPersistentObject)                           \
  REGISTERED(552, GBitmapImp, MPersistentObject)                        \
  REGISTERED(553, GPaletteTable, MPersistentObject)                     \
  REGISTERED(603, GPathGraphic, GGraphicComposite)                      \
  REGISTERED(604, GRasterGraphic, GGraphic)                             \
  REGISTERED(605, GCommandComposite, GCommand)                          \
  REGISTERED(606, GCommandCompositeOnDisk, GCommand)                    \
  REGISTERED(607, GGraphicComposite, GGraphic)                          \
  REGISTERED(608, GPassThroughCommand, GCommand)                        \
  REGISTERED(609, GPreScaledRasterGraphic, GRasterGraphic)              \
  REGISTERED(610, GDownloadHeaderCommand, GCommand)                     \
  REGISTERED(653, GPolyBezierGraphic, GShapeGraphic)                    \
  REGISTERED(657, GPolygonGraphic, GShapeGraphic)                       \
  REGISTERED(659, GRectangleGraphic, GShapeGraphic)                     \
  REGISTERED(705, GDocumentStart, GDocumentCommand)                     \
  REGISTERED(706, GDocumentEnd, GDocumentCommand)                       \
  REGISTERED(709, GPageStart, GPageCommand)                             \
  REGISTERED(710, GPageEnd, GPageCommand)                               \
  REGISTERED(712, GNullCommand, GCommand)                               \
  REGISTERED(713, GJobAbort, GCommand)                                  \
  REGISTERED(714, GErrorCommand, GCommand)                              \
  REGISTERED(715, GNoCommand, GCommand)                                 \
  REGISTERED(752, MPersistentComposite, MPersistentObject)              \
  REGISTERED(757, GAttributeComposite, GAttribute)                      \
  REGISTERED(758, GState, GAttributeComposite)                          \
  REGISTERED(759, GConfiguration, MPersistentComposite)                 \
  REGISTERED(761, GPrinter, GPeripheralComposite)                       \
  REGISTERED(762, GRangeAttribute, GAttribute)                          \
  REGISTERED(763, GValueAttribute, GAttribute)                          \
  REGISTERED(764, GEnumAttribute, GAttributeComposite)                  \
  REGISTERED(767, GBorzan, GPDLGenerator)                               \
  REGISTERED(768, GPostScript, GPDLGenerator)                           \
  REGISTERED(769, GPJL, GPeripheralComposite)                           \
  REGISTERED(770, GPeripheralComposite, GPeripheral)                    \
  REGISTERED(771, MPersistentAssociation, MPersistentObject)            \
  REGISTERED(772, MAssociationList, MPersistentComposite)               \
  REGISTERED(773, GCountedPtr, RWCollectable)                           \
  REGISTERED(774, GDitherMatrix, MPersistentObject)                     \
  REGISTERED(775, GCustomMediaSize, GAttribute)                         \
  REGISTERED(776, GStringAttribute, GAttribute)                         \
  REGISTERED(777, GPersistableLong, MPersistentObject)                  \
  REGISTERED(778, GPersistableULong, MPersistentObject)                 \
  REGISTERED(779, GPeripheralProxy, GPeripheral)                        \
  REGISTERED(780, GDynamicLibrary, MPersistentObject)                   \
  REGISTERED(781, MPersistentCompositeOnDisk, MPersistentObject)        \
  REGISTERED(782, MPersistentCompositeOnDiskImp, MPersistentObject)     \
  REGISTERED(783, GRecord, RWCollectable)                               \
  REGISTERED(784, GRecordProxy, RWCollectable)                          \
  REGISTERED(785, GRecordComposite, RWCollectable)                      \
  REGISTERED(786, GDisplayString, MPersistentObject)                    \
  REGISTERED(787, GDisplayStringAttribute, GAttribute)                  \
  REGISTERED(788, GPcl5e, GPDLGenerator)                                \
  REGISTERED(789, GValue32Attribute, GAttribute)                        \
  REGISTERED(790, GHalftoneEnhanced, GGraphicStateAttribute)            \
  REGISTERED(790, GHalftone, GGraphicStateAttribute)                    \
  REGISTERED(791, GColorMap, GGraphicStateAttribute)                    \
  REGISTERED(792, GTintwiseAttribute, GAttribute)                       \
  REGISTERED(794, GBookletComposite, GAttribute)                        \
  REGISTERED(796, GOptMediaComposite, GAttribute)                       \
  REGISTERED(797, GTintwiseEnhancedAttribute, GAttribute)               \
  REGISTERED(798, GNeutralGrays, GGraphicStateAttribute)                \
  REGISTERED(799, GEdgeControl, GGraphicStateAttribute)                 \
  REGISTERED(800, GSRGBColor, GGraphicStateAttribute)                   \
  REGISTERED(802, GTextString, MPersistentObject)                       \
  REGISTERED(803, GTextEscapements, MPersistentObject)                  \
  REGISTERED(804, GTextStringGraphic, GGraphic)                         \
  REGISTERED(806, GDownloadFace, GCommand)                              \
  REGISTERED(855, GDeviceFontDescription, MPersistentObject)            \
  REGISTERED(856, GDeviceFontList, MPersistentObject)                   \
  REGISTERED(859, GTTFontFile, MPersistentObject)                       \
  REGISTERED(869, GGlyphCache, MPersistentObject)                       \
  REGISTERED(870, GGlyphCacheNode, MPersistentObject)                   \
  REGISTERED(872, GTTTableCache, MPersistentObject)                     \
  REGISTERED(873, GDeviceFontListComposite, MPersistentObject)          \
  REGISTERED(956, GPMLDescriptor, MPersistentObject)                    \
  REGISTERED(957, GNRAProvider, GDeviceQueryProvider)                   \
  REGISTERED(1001, GTray, GAttribute)                                   \
  REGISTERED(1002, GMedia, GAttribute)                                  \
  REGISTERED(1003, GCapabilities, MPersistentObject)                    \
  REGISTERED(1004, GResourceMapping, MPersistentObject)                 \
  REGISTERED(1005, GResourceMappingList, MPersistentComposite)          \
  REGISTERED(1006, GMediaPool, GEnumAttribute)                          \
  REGISTERED(1008, GSelectionString, MPersistentObject)                 \
  REGISTERED(1009, GBin, GAttribute)                                    \
  REGISTERED(1010, GPaperHandlingDevice, GAttribute)                    \
  REGISTERED(1012, GFormToTrayDatabase, GAttribute)                     \
  REGISTERED(1013, GFormToTrayAssociation, GAttribute)                  \
  REGISTERED(1014, GMarginPool, MPersistentObject)                      \
  REGISTERED(1051, GPMDVersionInfo, MPersistentObject)                  \
  REGISTERED(1101, GNupFilter, GPeripheral)                             \
  REGISTERED(1102, GWatermarkFilter, GPeripheral)                       \
  REGISTERED(1103, GFitToSizeFilter, GPeripheral)                       \
  REGISTERED(1104, GScalePageFilter, GPeripheral)                       \
  REGISTERED(1105, GBookletFilter, GPeripheral)                         \
  REGISTERED(1107, GTintwiseFilter, GPeripheral)                        \
  REGISTERED(1108, GEmulateMarginsFilter, GPeripheral)                  \
  REGISTERED(1109, GReverseFilter, GPeripheral)                         \
  REGISTERED(1110, GManualDuplexFilter, GPeripheral)                    \
  REGISTERED(1111, GBackCoverFilter, GPeripheral)                       \
  REGISTERED(1112, GReducingFilter, GPeripheral)                        \
  REGISTERED(1113, GCopyPageFilter, GPeripheral)                        \
  REGISTERED(1114, GLetterheadFilter, GPeripheral)                      \
  REGISTERED(1115, GAAFilter1, GPeripheral)                             \
  REGISTERED(1116, GAAFilter2, GPeripheral)                             \
  REGISTERED(1117, GSymetricalDuplexFilter, GPeripheral)                \
  REGISTERED(1201, GTintwiseEnhancedAttributeVer2, GAttribute)          \
  REGISTERED(1202, GSRGBExtension, GGraphicStateAttribute)              \
  REGISTERED(1203, GTTFileFontData, GTTFontFileImp)                     \
  REGISTERED(1204, GHostPlatformFont, MPersistentObject)                \
  REGISTERED(1205, GHostFontImp, GFontImp)                              \
  REGISTERED(1206, GHostFont, GFont)                                    \
  REGISTERED(1207, GHostFontData, GTTFileFontData)                      \
  ABSTRACT(51, GColor, MPersistentObject)                               \
  ABSTRACT(151, GPaint, MPersistentObject)                              \
  ABSTRACT(601, GCommand, MPersistentObject)                            \
  ABSTRACT(602, GGraphic, GCommand)                                     \
  ABSTRACT(651, GShapeGraphic, GGraphic)                                \
  ABSTRACT(704, GDocumentCommand, GCommand)                             \
  ABSTRACT(708, GPageCommand, GCommand)                                 \
  ABSTRACT(751, MPersistentObject, RWCollectable)                       \
  ABSTRACT(753, GAttribute, MPersistentObject)                          \
  ABSTRACT(754, GGraphicStateAttribute, GAttribute)                     \
  ABSTRACT(756, GClip, GGraphicStateAttribute)                          \
  ABSTRACT(760, GPeripheral, GAttribute)                                \
  ABSTRACT(765, GPDLGenerator, GPeripheralComposite)                    \
  ABSTRACT(851, GFont, MPersistentObject)                               \
  ABSTRACT(852, GFontImp, MPersistentObject)                            \
  ABSTRACT(860, GTTFontFileImp, MPersistentObject)                      \
  ABSTRACT(866, GFontBase, MPersistentObject)                           \
  ABSTRACT(952, GDeviceQueryProvider, MPersistentObject)
// clang-format on

// kGLocaleInfoClassID and so on: one constant per row.
enum : RWClassID {
#define QV_CLASS_ID_CONSTANT(id, name, base) k##name##ClassID = id,
  QV_MODEL_CLASSES(QV_CLASS_ID_CONSTANT, QV_CLASS_ID_CONSTANT)
#undef QV_CLASS_ID_CONSTANT
};

// kGLocaleInfoClassName and so on: the names classes register under. They
// are static text, as the registrars need them again at unload.
#define QV_CLASS_NAME_CONSTANT(id, name, base) inline constexpr const char k##name##ClassName[] = #name;
QV_MODEL_CLASSES(QV_CLASS_NAME_CONSTANT, QV_CLASS_NAME_CONSTANT)
#undef QV_CLASS_NAME_CONSTANT

// One row of the table.
struct GModelClass {
  RWClassID id;
  const char* name;
  // The nearest base that has an ID; RWCollectable's for the roots.
  RWClassID base;
  bool registered;
};

inline constexpr GModelClass kModelClasses[] = {
#define QV_REGISTERED_ROW(id, name, base) {id, #name, k##base##ClassID, true},
#define QV_ABSTRACT_ROW(id, name, base) {id, #name, k##base##ClassID, false},
    QV_MODEL_CLASSES(QV_REGISTERED_ROW, QV_ABSTRACT_ROW)
#undef QV_REGISTERED_ROW
#undef QV_ABSTRACT_ROW
};

inline constexpr RWClassID kLastModelClassID = 1207;

namespace model_class_detail {

// Nearest base by class ID, 0 for IDs that are not in the table.
constexpr std::array<RWClassID, kLastModelClassID + 1> MakeBaseTable() {
  std::array<RWClassID, kLastModelClassID + 1> bases{};
  for (const GModelClass& row : kModelClasses) bases[row.id] = row.base;
  return bases;
}

inline constexpr std::array<RWClassID, kLastModelClassID + 1> kBaseOf = MakeBaseTable();

}  // namespace model_class_detail

// True when id is the class's own ID or the ID of a class on its base chain
// up to MPersistentObject. An ID outside the table has only itself on its
// chain.
constexpr bool IsOnClassChain(RWClassID own, RWClassID id) {
  RWClassID current = own;
  while (current != id) {
    if (current > kLastModelClassID || current == kMPersistentObjectClassID) return false;
    current = model_class_detail::kBaseOf[current];
    if (current == 0 || current == kRWCollectableClassID) return false;
  }
  return true;
}
