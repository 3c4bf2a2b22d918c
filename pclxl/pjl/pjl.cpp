#include "pclxl/pjl/pjl.h"

#include <vector>

#include "device/media/media.h"
#include "foundation/class_registrar.h"
#include "graphics/commands/document_command.h"
#include "graphics/commands/error_command.h"
#include "graphics/output/output_channel.h"
#include "model/attributes/configuration.h"
#include "pclxl/pjl/pjl_lines.h"
#include "pclxl/pjl/settings_reader.h"
#include "pipeline/document_channel.h"

namespace {

const GClassRegistrar registrar(CreateCollectable<GPJL>, kGPJLClassID, kGPJLClassName);

// The key of the setting that switches PJL off for a job (value 0).
constexpr int32_t kPJLOnKey = 579;
// The end text ends with a second UEL unless this configuration value is
// present and non-zero.
constexpr int32_t kSingleUELKey = 1006;

bool IsJobFrame(const GCommand& command) {
  const RWClassID id = command.ClassID();
  return id == kGDocumentStartClassID || id == kGDocumentEndClassID || id == kGJobAbortClassID;
}

}  // namespace

GPJL::GPJL(int32_t key) : GPeripheralComposite(key), media_(new GState) { AddEmptySubStates(); }

GPJL::GPJL(const RWCString& name, GState* initialState, GConfiguration* configuration, int32_t key)
    : GPeripheralComposite(name, initialState, configuration, key, 64, 6, 2), media_(new GState) {
  AddEmptySubStates();
}

GPJL::GPJL(const GPJL& other)
    : GPeripheralComposite(other),
      media_(new GState(other.CollectedMedia())),
      jobName_(other.jobName_),
      progress_(other.progress_) {}

void GPJL::AddEmptySubStates() {
  for (GState* state : {GetInitialState(), GetCurrentState()}) {
    for (const int32_t key : {kGraphicStateKey, kPageStateKey, kDocumentStateKey}) state->AddChild(new GState(key));
  }
  // The composite keeps the same states as its own.
  SetInitialState(GetInitialState());
  SetCurrentState(GetCurrentState());
}

bool GPJL::SameContent(const MPersistentObject& other) const {
  if (this == &other) return true;
  if (other.ClassID() != ClassID() || !GPeripheralComposite::SameContent(other)) return false;
  const auto& writer = static_cast<const GPJL&>(other);
  return jobName_ == writer.jobName_ && CollectedMedia().SameContent(writer.CollectedMedia());
}

void GPJL::Fields(GFieldArchive& archive) {
  GPeripheralComposite::Fields(archive);
  if (!archive.Version(FormatVersion())) return;
  archive.ObjectOf<GState>(media_);
  if (media_.IsEmpty()) media_ = GObjectRef(new GState);
  archive.String(jobName_);
}

// Commands.

GCommand* GPJL::ProcessCommand(GCommand* command) {
  GObjectRef held(command);
  if (command == nullptr || !IsJobFrame(*command)) return static_cast<GCommand*>(GCommand::GiveUp(held));
  if (pjl::ValueIs(FindStateFor(kDocumentStateKey), kPJLOnKey, 0)) {
    return static_cast<GCommand*>(GCommand::GiveUp(held));
  }
  if (const uint16_t status = command->DispatchTo(*this); status != 0) held = new GErrorCommand(status, command, 0);
  return static_cast<GCommand*>(GCommand::GiveUp(held));
}

uint16_t GPJL::DocumentStart(GDocumentStart& start) {
  if (IsProgressSuppressed()) progress_ = 0;
  if (const uint16_t status = TakeDocumentChannel(*this, start); status != 0) return status;
  if (const uint16_t status = Write(BuildHeader(start)); status != 0) return status;
  // A checkpoint only lets buffered output move on; the header is written.
  if (progress_ == 1) OutputChannel()->Checkpoint();
  EnterDocument();
  return 0;
}

uint16_t GPJL::DocumentEnd(GDocumentEnd& end) {
  LeaveJob();
  PassToChildren(end);
  std::string text(pjl::kUEL);
  AppendExtraLines(text, *FindStateFor(kDocumentStateKey));
  pjl::AppendCommand(text, "EOJ NAME=" + pjl::Quoted(pjl::ToStd(jobName_)));
  GConfiguration* configuration = GetConfiguration();
  if (!pjl::FindValue(configuration, kSingleUELKey).value_or(0)) text += pjl::kUEL;
  const uint16_t status = Write(text);
  if (status != 0 || !OwnsOutputChannel()) {
    ForgetBorrowedChannel();
    return status;
  }
  return OutputChannel()->Close();
}

uint16_t GPJL::JobAbort(GJobAbort& abort) {
  LeaveJob();
  GPeripheralComposite::JobAbort(abort);
  ForgetBorrowedChannel();
  return 0;
}

uint16_t GPJL::ApplyMedia(GMedia& media) {
  media_->AddChild(static_cast<MPersistentObject*>(media.Clone()));
  return 0;
}

// The stage that lent the channel deletes it once the job is over.
void GPJL::ForgetBorrowedChannel() {
  if (!OwnsOutputChannel()) BorrowOutputChannel(nullptr);
}

void GPJL::PassToChildren(GCommand& command) {
  const GObjectRef held(&command);
  for (const GObjectRef& child : HeldChildren()) {
    const GObjectRef answer(static_cast<GPeripheral*>(child.Get())->ProcessCommand(&command));
  }
}

uint16_t GPJL::Write(const std::string& text) {
  GOutputChannel* channel = OutputChannel();
  if (channel == nullptr) return kNoOutputChannel;
  uint32_t written = 0;
  return channel->WriteString(RWCString(text.data(), static_cast<uint32_t>(text.size())), written);
}

bool GPJL::IsPJLText(std::string_view text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((byte < 0x20 && byte != 0x09) || byte == '"') return false;
  }
  return true;
}
