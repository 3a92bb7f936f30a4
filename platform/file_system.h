#pragma once
// Files and folders as the programs use them: the program's own folder and a few
// whole-file operations on paths.

#include <string>

namespace hw::platform {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // The folder of the running program, ending in '/'.
  virtual std::string ProgramFolder() const = 0;
  // True when a regular file (or a link to one) exists at path.
  virtual bool Exists(const std::string& path) const = 0;
  // Copies the file at `from` to `to`, replacing `to` in one step: until the copy is
  // complete the old `to` stays as it was, and a failed copy leaves it untouched.
  // The copy keeps the source's permissions (an executable stays executable).
  virtual bool Copy(const std::string& from, const std::string& to) = 0;
  // Deletes the file. True also when there was no file.
  virtual bool Delete(const std::string& path) = 0;
};

// The real files of this machine. The program folder is the folder of the running
// executable unless one is given (tests and the installer use that).
class PosixFileSystem final : public FileSystem {
 public:
  PosixFileSystem();
  explicit PosixFileSystem(std::string programFolder);

  std::string ProgramFolder() const override { return programFolder_; }
  bool Exists(const std::string& path) const override;
  bool Copy(const std::string& from, const std::string& to) override;
  bool Delete(const std::string& path) override;

 private:
  std::string programFolder_;
};

// The folder of the running executable, ending in '/'; "./" when it cannot be told.
std::string ExecutableFolder();

// Adds a trailing '/' when the path does not end in one.
inline std::string WithTrailingSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

// Executables carry no suffix here; the names the programs share ("hwatable",
// "updater", "tmpupdater") are built with this, so that the platform alone decides it.
inline constexpr const char* kExecutableSuffix = "";
inline std::string ExecutableName(const std::string& base) {
  return base + kExecutableSuffix;
}

}  // namespace hw::platform
