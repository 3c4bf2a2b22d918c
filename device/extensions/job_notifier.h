#pragma once

#include <cstdint>

class GAttributeComposite;
class GDriver;

// Tells the printer maker's job-notification plug-in about the jobs of one
// host: the plug-in is loaded at the start of a document and unloaded when
// the job ends or is aborted; a plug-in still loaded goes with the
// notifier. The host drives it from its document events and uses none of
// its answers.
class GJobNotifier {
 public:
  GJobNotifier() = default;
  GJobNotifier(const GJobNotifier&) = delete;
  GJobNotifier& operator=(const GJobNotifier&) = delete;
  virtual ~GJobNotifier() = default;

  // Loads the plug-in and begins a job with the document name, the printer
  // name and the copies; documentInfo is what the document event was given.
  virtual int32_t BeginJob(GDriver& driver, GAttributeComposite* settings, const void* documentInfo) = 0;
  // One page of the job is done.
  virtual int32_t EndPage(GDriver& driver, GAttributeComposite* settings) = 0;
  // Ends the job normally, or with the abort flag, and unloads the plug-in.
  virtual int32_t EndJob(GDriver& driver, GAttributeComposite* settings) = 0;
  virtual int32_t AbortJob(GDriver& driver, GAttributeComposite* settings) = 0;
};
