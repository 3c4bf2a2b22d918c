#include "render_host/render_job.h"

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <string_view>
#include <system_error>

#include "device/query/provider_registry.h"
#include "foundation/error.h"
#include "graphics/output/output_channel_provider.h"
#include "model/objects/object_ref.h"
#include "model/os/drvrsrvr.h"
#include "model/os/printer_identity.h"
#include "pipeline/printer.h"
#include "render_host/font_family.h"
#include "render_host/job_generator.h"
#include "render_host/job_reader.h"
#include "render_host/render_host_device.h"
#include "render_host/render_host_factory.h"

namespace {

constexpr char kUsage[] = "usage: render-job [--pdl xl] [--clock YYYY-MM-DDTHH:MM:SS] [--generate N] JOB OUTPUT";
constexpr char kDriverName[] = "QV Test Printer";
constexpr char kPrinterName[] = "Render host printer";
constexpr char kProviderName[] = "OutputChannel";

struct Options {
  std::string pdl = "xl";
  std::optional<GDateTime> clock;
  std::optional<uint32_t> generate;
  std::filesystem::path job;
  std::filesystem::path output;
};

// The class library's faults while the job runs: the first one's text is
// kept and the handler returns, so that the job ends with a message.
std::string& RaisedError() {
  static std::string text;
  return text;
}

void KeepError(const GError* error) {
  if (RaisedError().empty()) RaisedError() = error->Text() != nullptr ? error->Text() : "unknown fault";
}

// Installs KeepError for its lifetime.
class ErrorHandlerScope {
 public:
  ErrorHandlerScope() : previous_(SetErrorHandler(KeepError)) { RaisedError().clear(); }
  ~ErrorHandlerScope() { SetErrorHandler(previous_); }
  ErrorHandlerScope(const ErrorHandlerScope&) = delete;
  ErrorHandlerScope& operator=(const ErrorHandlerScope&) = delete;

 private:
  GErrorHandler previous_;
};

std::optional<GDateTime> ParseClock(std::string_view text) {
  unsigned year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  char tail = 0;
  const std::string copy(text);
  if (std::sscanf(copy.c_str(), "%4u-%2u-%2uT%2u:%2u:%2u%c", &year, &month, &day, &hour, &minute, &second, &tail) !=
      6) {
    return std::nullopt;
  }
  const std::chrono::year_month_day date{std::chrono::year(static_cast<int>(year)), std::chrono::month(month),
                                         std::chrono::day(day)};
  if (!date.ok() || hour > 23 || minute > 59 || second > 59) return std::nullopt;
  const std::chrono::weekday weekday{std::chrono::sys_days(date)};
  return GDateTime{static_cast<uint16_t>(year),
                   static_cast<uint16_t>(month),
                   static_cast<uint16_t>(day),
                   static_cast<uint16_t>(hour),
                   static_cast<uint16_t>(minute),
                   static_cast<uint16_t>(second),
                   0,
                   static_cast<uint16_t>(weekday.c_encoding())};
}

// The options, or a message.
std::optional<Options> ParseOptions(std::span<const std::string> arguments, std::string& message) {
  Options options;
  std::vector<std::string> files;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& argument = arguments[i];
    const bool takesValue = argument == "--pdl" || argument == "--clock" || argument == "--generate";
    if (takesValue && i + 1 >= arguments.size()) {
      message = argument + " needs a value";
      return std::nullopt;
    }
    if (argument == "--pdl") {
      options.pdl = arguments[++i];
    } else if (argument == "--clock") {
      options.clock = ParseClock(arguments[++i]);
      if (!options.clock) {
        message = "--clock " + arguments[i] + ": not a time YYYY-MM-DDTHH:MM:SS";
        return std::nullopt;
      }
    } else if (argument == "--generate") {
      const std::string& count = arguments[++i];
      char* end = nullptr;
      const unsigned long long pages = std::strtoull(count.c_str(), &end, 10);
      if (count.empty() || *end != '\0' || pages == 0 || pages > 1000000) {
        message = "--generate " + count + ": not a page count from 1 to 1000000";
        return std::nullopt;
      }
      options.generate = static_cast<uint32_t>(pages);
    } else if (argument.starts_with("--")) {
      message = "unknown option " + argument;
      return std::nullopt;
    } else {
      files.push_back(argument);
    }
  }
  if (files.size() != 2) {
    message = kUsage;
    return std::nullopt;
  }
  options.job = files[0];
  options.output = files[1];
  return options;
}

// Empty when the language draws; else why the job is refused.
std::string RefusedLanguage(const std::string& pdl) {
  if (pdl == "xl") return {};
  if (pdl == "pcl5e") return "--pdl pcl5e: the PCL 5e generator cannot draw pages yet; use --pdl xl";
  if (pdl == "ps") return "--pdl ps: the PostScript generator cannot draw pages yet; use --pdl xl";
  return "--pdl " + pdl + ": unknown page description language (xl, pcl5e or ps)";
}

bool WriteJob(const Options& options, const GRenderJobPaths& paths, std::string& message) {
  std::ofstream out(options.job, std::ios::binary | std::ios::trunc);
  if (out && WriteGeneratedJob(out, *options.generate, paths.generatedImage.string()) && out.flush()) return true;
  message = options.job.string() + ": the generated job could not be written";
  return false;
}

// The host side of one job: the OS services, the driver server and the
// file output provider, for the lifetime of the job.
class Host {
 public:
  Host(const GRenderJobPaths& paths, const Options& options) {
    if (options.clock) factory_.SetClock(*options.clock);
    GOSFactory::SetInstance(&factory_);
    factory_.SetDriverDataFile(RWWString(kDriverName), RWWString::FromMultibyte(paths.printerData.string().c_str()));
    CreateDriverServer();
    GetProviderRegistry().Register(&provider_, kProviderName);
  }
  ~Host() {
    if (handle_ != 0) GDriverServer::Instance()->CloseRender(handle_);
    delete GDriverServer::Instance();
    GetProviderRegistry().Unregister(kProviderName);
    GOSFactory::SetInstance(nullptr);
  }
  Host(const Host&) = delete;
  Host& operator=(const Host&) = delete;

  GRenderHostDevice* Open() {
    GGraphicsDevice* device = GDriverServer::Instance()->OpenRender(
        std::make_unique<GPrinterIdentity>(nullptr, RWWString(kPrinterName), RWWString(kDriverName), RWWString("LPT1:"),
                                           0),
        handle_);
    auto* host = dynamic_cast<GRenderHostDevice*>(device);
    if (host != nullptr) host->SetHandle(handle_);
    return host;
  }

 private:
  GRenderHostFactory factory_;
  GOutputChannelProvider provider_{GOutputChannelProvider::Kind::kFile};
  uint32_t handle_ = 0;
};

// Hands the printer the generator of the language: a copy of the one the
// description holds.
bool SelectGenerator(GRenderHostDevice& device, std::string& message) {
  auto* printer = dynamic_cast<GPrinter*>(device.GetPipelineHead());
  if (printer == nullptr || printer->GeneratorChild() == nullptr) {
    message = "the printer description has no PCL XL generator";
    return false;
  }
  const GObjectRef generator(static_cast<MPersistentObject*>(printer->GeneratorChild()->Clone()));
  if (printer->AddBorzan(static_cast<GPeripheral&>(*generator)) != 0) {
    message = "the printer refused the PCL XL generator";
    return false;
  }
  return true;
}

// Renders the job; false with a message on the first failure.
bool Render(const Options& options, const GRenderJobPaths& paths, std::ostream& err, std::string& message) {
  GJobReader reader(options.job);
  if (!reader.ReadSettings()) {
    message = reader.Error();
    return false;
  }
  const GFontFamilyIndex fonts(paths.fontFolders);
  Host host(paths, options);
  GRenderHostDevice* device = host.Open();
  if (device == nullptr) {
    message = paths.printerData.string() + ": the printer description could not be loaded";
    return false;
  }
  device->SetFontIndex(&fonts);
  if (!SelectGenerator(*device, message)) return false;
  bool drawn = device->BeginJob(reader.GetSettings(), options.output.string());
  GJobPage page;
  while (drawn && RaisedError().empty() && reader.NextPage(page)) {
    drawn = device->DrawPage(page);
    if (drawn) err << "render-job: page " << page.number << " done\n";
  }
  const bool ended = device->EndJob();
  if (reader.Failed()) {
    message = reader.Error();
  } else if (!RaisedError().empty()) {
    message = RaisedError();
  } else if (!drawn || !ended) {
    message = options.output.string() + ": " + device->Error();
  }
  return message.empty();
}

}  // namespace

int RunRenderJob(std::span<const std::string> arguments, const GRenderJobPaths& paths, std::ostream& err) {
  std::string message;
  const std::optional<Options> options = ParseOptions(arguments, message);
  if (!options) {
    err << "render-job: " << message << '\n';
    return 2;
  }
  if (const std::string refused = RefusedLanguage(options->pdl); !refused.empty()) {
    err << "render-job: " << refused << '\n';
    return 2;
  }
  const ErrorHandlerScope handler;
  const bool rendered =
      (!options->generate || WriteJob(*options, paths, message)) && Render(*options, paths, err, message);
  if (rendered) return 0;
  std::error_code ignored;
  std::filesystem::remove(options->output, ignored);
  err << "render-job: " << message << '\n';
  return 1;
}
