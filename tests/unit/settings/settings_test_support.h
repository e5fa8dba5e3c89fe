#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace tarnwick::test {

// Puts the process's working directory back when the test ends.
class WorkingDirectoryGuard {
 public:
  WorkingDirectoryGuard() : saved_(std::filesystem::current_path()) {}
  ~WorkingDirectoryGuard() { std::filesystem::current_path(saved_); }
  WorkingDirectoryGuard(const WorkingDirectoryGuard&) = delete;
  WorkingDirectoryGuard& operator=(const WorkingDirectoryGuard&) = delete;
  const std::filesystem::path& saved() const { return saved_; }

 private:
  std::filesystem::path saved_;
};

// Sets or unsets one environment variable for the test's lifetime.
class EnvironmentGuard {
 public:
  explicit EnvironmentGuard(std::string name) : name_(std::move(name)) {
    if (const char* value = std::getenv(name_.c_str())) saved_ = value;
  }
  ~EnvironmentGuard() {
    if (saved_)
      ::setenv(name_.c_str(), saved_->c_str(), 1);
    else
      ::unsetenv(name_.c_str());
  }
  EnvironmentGuard(const EnvironmentGuard&) = delete;
  EnvironmentGuard& operator=(const EnvironmentGuard&) = delete;
  void set(const std::string& value) const { ::setenv(name_.c_str(), value.c_str(), 1); }
  void unset() const { ::unsetenv(name_.c_str()); }

 private:
  std::string name_;
  std::optional<std::string> saved_;
};

}  // namespace tarnwick::test
