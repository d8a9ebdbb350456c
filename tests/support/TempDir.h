#pragma once

#include <filesystem>
#include <string>

namespace lodestar::test {

// A fresh directory below the system's temporary directory, removed with everything in it.
class TTempDir {
public:
  TTempDir();
  ~TTempDir();
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  // The path of name inside the directory, as text.
  std::string File(const std::string& name) const { return (FPath / name).string(); }

private:
  std::filesystem::path FPath;
};

// The directory that holds the project's test data (tests/data).
std::filesystem::path TestDataDir();

} // namespace lodestar::test
