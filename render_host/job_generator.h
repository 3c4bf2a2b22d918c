#pragma once

#include <cstdint>
#include <ostream>
#include <string_view>

// Writes a job file of pageCount pages for tests of long jobs: each page
// has a heading with its number, lines of text, shapes that vary from page
// to page, and, when an image file is given (a path as the job file would
// name it), that image on every tenth page. The file is written page by
// page, so writing takes the same memory for any length. The watermark
// "GENERATED" marks every page. False when the stream failed.
bool WriteGeneratedJob(std::ostream& out, uint32_t pageCount, std::string_view imageFile);
