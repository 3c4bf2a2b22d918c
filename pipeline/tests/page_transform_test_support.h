#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "graphics/attributes/graphic_bundle.h"
#include "graphics/clips/transform_attribute.h"
#include "graphics/commands/command_composite.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/job_commands.h"
#include "graphics/commands/page_command.h"
#include "model/attributes/peripheral.h"
#include "model/attributes/state.h"
#include "model/objects/object_ref.h"
#include "model/testing/round_trip.h"
#include "model/testing/test_peripheral.h"

// What the tests of the page-transform filters share: commands to send,
// the transform a command carries, and the announcement of a page start.

// Sends a command through the stage and holds what comes out.
inline GObjectRef Send(GPeripheral& stage, MPersistentObject* command) {
  const GObjectRef held(command);
  return GObjectRef(stage.ProcessCommand(static_cast<GCommand*>(command)));
}

// A document start without a device (or with one) and an empty state.
inline GDocumentStart* NewDocumentStart(GGraphicsDevice* device = nullptr) {
  return new GDocumentStart(RWWString(), RWWString(), device, 0);
}

// A command with a graphic bundle holding the transform, as a graphic
// carries it.
inline GNullCommand* NewGraphicWith(const GTransformAttribute& transform) {
  const GObjectRef bundle(new GGraphicBundle);
  bundle->AddChild(static_cast<MPersistentObject*>(transform.Clone()));
  return new GNullCommand(static_cast<GState*>(bundle.Get()), 0);
}

// The transform that the command's state holds, null when none.
inline GTransformAttribute* TransformOf(const MPersistentObject& command) {
  const GState* state = static_cast<const GCommand&>(command).GetState();
  if (state == nullptr) return nullptr;
  return dynamic_cast<GTransformAttribute*>(const_cast<GState*>(state)->FindByClassId(kGTransformAttributeClassID));
}

inline ::testing::AssertionResult SameValues(const GTransformAttribute& actual, const GTransformAttribute& expected) {
  if (actual.GetAngle() == expected.GetAngle() && actual.GetOffset() == expected.GetOffset() &&
      actual.GetScale() == expected.GetScale()) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "angle " << actual.GetAngle() << " offset (" << actual.GetOffset().x << ", "
                                       << actual.GetOffset().y << ") scale (" << actual.GetScale().x << ", "
                                       << actual.GetScale().y << "), expected angle " << expected.GetAngle()
                                       << " offset (" << expected.GetOffset().x << ", " << expected.GetOffset().y
                                       << ") scale (" << expected.GetScale().x << ", " << expected.GetScale().y << ")";
}

// The composition of two transforms, by value.
inline GTransformAttribute Composed(const GTransformAttribute& outer, const GTransformAttribute& inner) {
  const GObjectRef composed(ComposeTransforms(outer, inner));
  return static_cast<const GTransformAttribute&>(*composed);
}

// What a stage made of a page start: a command list of the page start and
// then a GNullCommand whose graphic bundle (key 244) holds the announced
// transform. Answers that transform, or null (with a failure) when the
// answer has another shape.
inline GTransformAttribute* AnnouncedTransform(const GObjectRef& answer, const MPersistentObject* pageStart) {
  auto* list = dynamic_cast<GCommandComposite*>(answer.Get());
  if (list == nullptr || list->Children().Count() != 2) {
    ADD_FAILURE() << "no command list of two";
    return nullptr;
  }
  EXPECT_EQ(list->Children()[0].Get(), pageStart) << "the page start comes first";
  auto* announcement = dynamic_cast<GNullCommand*>(list->Children()[1].Get());
  if (announcement == nullptr || announcement->GetState() == nullptr) {
    ADD_FAILURE() << "no announcement with a state";
    return nullptr;
  }
  EXPECT_EQ(announcement->Key(), 0);
  EXPECT_EQ(announcement->GetState()->ClassID(), kGGraphicBundleClassID);
  EXPECT_EQ(announcement->GetState()->Key(), GPeripheral::kGraphicStateKey);
  return TransformOf(*announcement);
}

// A filter's own stored part is its version word alone: its bytes are
// those of a plain stage of the same name and key, and then 1.
inline void ExpectOnlyAVersionWordAfterThePeripheralPart(const GPeripheral& filter) {
  const TestPeripheral peripheral(filter.GetName(), nullptr, nullptr, filter.Key(), 0, 6, 2);
  const std::string bytes = SaveContentsToFileBytes(filter);
  EXPECT_EQ(bytes.size(), SaveContentsToFileBytes(peripheral).size() + 4);
  EXPECT_EQ(bytes.substr(bytes.size() - 4), std::string("\x01\x00\x00\x00", 4));
  EXPECT_EQ(filter.StoredSize(), peripheral.StoredSize() + 4);
}
