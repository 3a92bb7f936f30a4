#include "platform/file_system.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace hw::platform {

namespace fs = std::filesystem;

std::string ExecutableFolder() {
  std::error_code error;
  const fs::path exe = fs::read_symlink("/proc/self/exe", error);
  if (error || exe.empty()) return "./";
  return WithTrailingSeparator(exe.parent_path().string());
}

PosixFileSystem::PosixFileSystem() : programFolder_(ExecutableFolder()) {}

PosixFileSystem::PosixFileSystem(std::string programFolder)
    : programFolder_(WithTrailingSeparator(std::move(programFolder))) {}

bool PosixFileSystem::Exists(const std::string& path) const {
  std::error_code error;
  return fs::is_regular_file(path, error);
}

bool PosixFileSystem::Copy(const std::string& from, const std::string& to) {
  std::error_code error;
  if (!fs::is_regular_file(from, error)) return false;
  // Copy beside the target, then rename over it: the target is never half written.
  const std::string temporary = to + ".part" + std::to_string(getpid());
  fs::copy_file(from, temporary, fs::copy_options::overwrite_existing, error);
  if (!error) fs::rename(temporary, to, error);
  if (error) {
    std::error_code ignored;
    fs::remove(temporary, ignored);
    return false;
  }
  return true;
}

bool PosixFileSystem::Delete(const std::string& path) {
  std::error_code error;
  fs::remove(path, error);
  return !error;
}

}  // namespace hw::platform
