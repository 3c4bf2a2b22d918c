#pragma once

#include <cstdint>

class GDocumentStart;
class GPeripheral;

// The status of a document start for which no usable channel came.
inline constexpr uint16_t kNoOutputChannel = 601;

// Gives a stage the job's output channel at document start. The printer,
// the PJL writer and the generator all take it this way, so whichever of
// them sees the document start first opens the channel and the others
// share it: a channel the document start already carries is used and left
// alone; otherwise the provider registry makes one for the output name, the
// stage owns it, attaches it to the document start for the later stages and
// opens it with the document name. A channel the stage still owns from an
// earlier job is deleted first.
//
// Answers 0, kNoOutputChannel when no channel came or it is not ready, or
// the channel's nonzero answer to Open.
uint16_t TakeDocumentChannel(GPeripheral& stage, GDocumentStart& start);

// Whether the OS factory asks the writing stages not to call the channel's
// checkpoint as they write (no factory: no).
bool IsProgressSuppressed();
