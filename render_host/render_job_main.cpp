// The render-job command: see render_job.h.
#include <iostream>
#include <string>
#include <vector>

#include "render_host/render_job.h"

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  GRenderJobPaths paths;
  paths.printerData = RENDER_JOB_PRINTER_DATA;
  paths.fontFolders = {"/usr/share/fonts", "/usr/local/share/fonts"};
  paths.generatedImage = RENDER_JOB_GENERATED_IMAGE;
  return RunRenderJob(arguments, paths, std::cerr);
}
