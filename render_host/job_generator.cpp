#include "render_host/job_generator.h"

#include <iomanip>
#include <string>

namespace {

constexpr std::string_view kHeader =
    "# A generated job: pages of text and shapes.\n"
    "job-name \"generated\"\n"
    "resolution 600\n"
    "media A4\n"
    "watermark \"GENERATED\" size 96 tint blue lightness 220 pages every\n"
    "font \"DejaVu Sans\" 11pt\n"
    "text-colour #202020\n";

// The text as a job file's string.
std::string Quoted(std::string_view text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') quoted.push_back('\\');
    quoted.push_back(c);
  }
  return quoted + "\"";
}

void WritePage(std::ostream& out, uint32_t number, uint32_t pageCount, std::string_view imageFile) {
  out << "\npage" << (number % 7 == 0 ? " orientation landscape" : "") << "\n";
  out << "font \"DejaVu Sans\" 18pt\n";
  out << "text 20mm 25mm \"Page " << number << " of " << pageCount << "\"\n";
  out << "font \"DejaVu Sans\" 11pt\n";
  for (uint32_t line = 0; line < 12; ++line) {
    out << "text 20mm " << 40 + 6 * line << "mm \"Line " << line + 1 << " of page " << number
        << ": the quick brown fox jumps over the lazy dog.\"\n";
  }
  const uint32_t shade = number * 37 % 200;
  out << "pen #000000 1pt\n";
  out << "brush #" << std::hex << std::setfill('0') << std::setw(6) << ((shade << 16) | (0x80 << 8) | (200 - shade))
      << std::dec << "\n";
  out << "rectangle 20mm 130mm " << 30 + number % 40 << "mm 20mm\n";
  out << "ellipse 80mm 130mm 40mm " << 10 + number % 20 << "mm\n";
  out << "round-rectangle 130mm 130mm 50mm 25mm 5mm 5mm\n";
  out << "polygon 20mm 200mm 60mm 170mm 100mm 200mm\n";
  out << "path move 110mm 200mm bezier 130mm 160mm 160mm 240mm 180mm 200mm line 180mm 220mm close\n";
  if (!imageFile.empty() && number % 10 == 0) out << "image " << Quoted(imageFile) << " 20mm 220mm 60mm 40mm\n";
}

}  // namespace

bool WriteGeneratedJob(std::ostream& out, uint32_t pageCount, std::string_view imageFile) {
  out << kHeader;
  for (uint32_t number = 1; number <= pageCount && out; ++number) WritePage(out, number, pageCount, imageFile);
  return static_cast<bool>(out.flush());
}
