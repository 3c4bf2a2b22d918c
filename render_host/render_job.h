#pragma once

#include <filesystem>
#include <ostream>
#include <span>
#include <string>
#include <vector>

// What the render-job command finds on the machine: the printer's driver
// data file, the folders searched for fonts named by family, and the image
// that generated jobs show.
struct GRenderJobPaths {
  std::filesystem::path printerData;
  std::vector<std::filesystem::path> fontFolders;
  std::filesystem::path generatedImage;
};

// The render-job command:
//
//   render-job [--pdl xl] [--clock YYYY-MM-DDTHH:MM:SS] [--generate N] JOB OUTPUT
//
// renders the job file JOB (JOB_FORMAT.md) through the printer of the
// driver data file to the file OUTPUT. --pdl chooses the page description
// language (xl, the only one that draws so far; pcl5e and ps are refused);
// --clock fixes the time that the output's headers carry, so that two runs
// write the same bytes; --generate N first writes a generated job of N
// pages to JOB and then renders it. A line per page goes to err as the page
// is drawn.
//
// Answers the exit status: 0 when the whole job was written; otherwise a
// message "render-job: ..." went to err and no output file is left behind.
int RunRenderJob(std::span<const std::string> arguments, const GRenderJobPaths& paths, std::ostream& err);
