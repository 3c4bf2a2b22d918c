#include "pipeline/filters/page_transform_filter.h"

#include "graphics/attributes/graphic_bundle.h"
#include "graphics/commands/command_composite.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/job_commands.h"
#include "model/attributes/state.h"

GCommand* GPageTransformFilter::HandleCommand(GCommand* command) {
  GObjectRef held(command);
  if (command == nullptr) return nullptr;
  switch (command->ClassID()) {
    case kGDocumentStartClassID:
      StartJob(static_cast<GDocumentStart&>(*command));
      break;
    case kGPageStartClassID:
      if (const GObjectRef placed = PlacePage(command->GetState()); placed) {
        held = AnnouncePageTransform(*command, static_cast<const GTransformAttribute&>(*placed));
      }
      break;
    default:
      if (ComposesCommands()) ComposeIntoCommand(*command);
      break;
  }
  return static_cast<GCommand*>(GCommand::GiveUp(held));
}

bool GPageTransformFilter::AnsweredByTheChain(std::pair<float, float>& factor, const int32_t* mode) {
  if (mode == nullptr || *mode != kChainScaleAnswered) return false;
  factor = {0.0F, 0.0F};
  return true;
}

bool GPageTransformFilter::PageTransformIsIdentity() const {
  const GTransformAttribute identity;
  return pageTransform_.GetAngle() == identity.GetAngle() && pageTransform_.GetOffset() == identity.GetOffset() &&
         pageTransform_.GetScale() == identity.GetScale();
}

void GPageTransformFilter::SetPageTransform(const GTransformAttribute& transform) {
  pageTransform_.SetValues(transform);
}

GObjectRef GPageTransformFilter::PlaceInPageState(GState& pageState, PagePlacement placement) const {
  if (GObjectRef held = ComposeHeldTransform(pageState, pageTransform_, placement); held) return held;
  GObjectRef copy(static_cast<MPersistentObject*>(pageTransform_.Clone()));
  pageState.AddChild(copy.Get());
  return copy;
}

void GPageTransformFilter::ComposeIntoCommand(GCommand& command) const {
  const GObjectRef state(command.TakeState());
  if (!state) return;
  ComposeHeldTransform(static_cast<GState&>(*state), pageTransform_, PagePlacement::kOuter);
  command.SetState(static_cast<GState*>(state.Get()));
}

void GPageTransformFilter::Fields(GFieldArchive& archive) {
  GPeripheral::Fields(archive);
  if (archive.IsRestoring()) ResetPageTransform();
  archive.Version(FormatVersion());
}

GCommand* AnnouncePageTransform(GCommand& pageStart, const GTransformAttribute& transform) {
  pageStart.OwnData();
  auto* announcement = new GCommandComposite;
  announcement->AddChild(&pageStart);
  const GObjectRef bundle(new GGraphicBundle);
  bundle->AddChild(static_cast<MPersistentObject*>(transform.Clone()));
  announcement->AddChild(new GNullCommand(static_cast<GState*>(bundle.Get()), 0));
  return announcement;
}

GObjectRef ComposeHeldTransform(GState& state, const GTransformAttribute& page, PagePlacement placement) {
  GObjectRef held(state.RemoveChildByClassId(kGTransformAttributeClassID));
  auto* transform = dynamic_cast<GTransformAttribute*>(held.Get());
  if (transform == nullptr) return {};
  const GObjectRef composed(placement == PagePlacement::kOuter ? ComposeTransforms(page, *transform)
                                                               : ComposeTransforms(*transform, page));
  transform->SetValues(static_cast<const GTransformAttribute&>(*composed));
  state.AddChild(transform);
  return held;
}
