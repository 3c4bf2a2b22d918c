#pragma once

#include <string>

// Files and directories for tests in the system's temporary directory,
// named so that no other holder gets the same one (test processes of several
// builds run side by side) and removed, with everything in them, when their
// holder goes.

// A file path; nothing is created until something writes there.
class ScratchFile {
 public:
  ScratchFile();
  // A file holding bytes.
  explicit ScratchFile(const std::string& bytes);
  ~ScratchFile();
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;

  const char* Path() const { return path_.c_str(); }
  // What the file holds now (empty when there is no file).
  std::string Contents() const;
  // Replaces what the file holds.
  void Store(const std::string& bytes) const;

 private:
  std::string path_;
};

// A directory, created at once.
class ScratchDirectory {
 public:
  ScratchDirectory();
  ~ScratchDirectory();
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  std::string File(const std::string& name) const;

 private:
  std::string path_;
};
