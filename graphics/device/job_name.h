#pragma once

#include <cstdint>
#include <span>

#include "foundation/rw_cstring.h"
#include "foundation/rw_wstring.h"
#include "model/os/date_time.h"

// The name under which a job is announced to the printer (the PJL writer
// prints it), computed from the document name and the job settings.

// What the name is made of; the graphics device gathers it from the job.
struct GJobNameSources {
  // The application's document name, a path or a plain name.
  RWWString documentName;
  // The name of a job without a document name (empty: the time stamp).
  RWCString fallbackName;
  // YYYYMMDDhhmmss of the job's local time.
  RWCString timeStamp;
  // When set, the name keeps its first characters and ends with the id.
  bool appendUniqueId = false;
  RWWString uniqueId;
  // The printer takes UTF-8 names: valid names are those whose every
  // character the character map (a TrueType format-4 subtable, big-endian)
  // covers, and the narrow name is UTF-8. Otherwise names are ASCII.
  bool utf8 = false;
  std::span<const uint8_t> characterMap;
  // The code page of narrow names that are not UTF-8.
  uint32_t codePage = 0;
};

struct GJobName {
  RWWString wide;
  RWCString narrow;
};

// Names are cut to this many characters.
inline constexpr uint32_t kJobNameLength = 16;

// The job's name: the document name without its folders and without an
// application prefix ("Microsoft Word - "), or the fallback, or the time
// stamp; with the unique id when asked; quotes and line ends dropped (they
// would end the printer's job line); cut to 16 characters. A name that is
// not valid for the printer becomes the time stamp. The UTF-8 narrow name
// is that of the cut name even when it was not valid, up to the bytes
// encoded.
GJobName ComputeJobName(const GJobNameSources& sources);

// The UTF-8 form of the name, sized by its UTF-8 length, up to the bytes
// the strict encoding wrote: a lone surrogate ends it, and so does a zero.
RWCString Utf8JobName(const RWWString& name);

// YYYYMMDDhhmmss.
RWCString FormatTimeStamp(const GDateTime& time);

// Whether every character of the name (up to a zero) is printable ASCII
// other than the double quote; letters a to z are upper-cased in place.
bool ValidateAsciiName(RWWString& name);

// Whether every character of the name (up to a zero) lies in a segment of
// the format-4 character map; a map too short for its segments covers
// nothing.
bool IsCoveredByCharacterMap(const RWWString& name, std::span<const uint8_t> characterMap);
