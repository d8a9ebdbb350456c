#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

namespace lodestar::test {

// A fresh directory below the system's temporary directory, removed with everything in it.
class TTempDir {
public:
  TTempDir() {
    std::random_device rd;
    do
      FPath = std::filesystem::temp_directory_path() / ("lodestar-test-" + std::to_string(rd()));
    while (!std::filesystem::create_directory(FPath));
  }
  ~TTempDir() {
    namespace fs = std::filesystem;
    std::error_code ec;
    // Tests may leave unreadable directories behind; give the rights back before removing.
    fs::recursive_directory_iterator it(FPath, fs::directory_options::skip_permission_denied, ec);
    for (; !ec && it != fs::end(it); it.increment(ec))
      fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(FPath, ec);
  }
  TTempDir(const TTempDir&) = delete;
  TTempDir& operator=(const TTempDir&) = delete;

  const std::filesystem::path& Path() const { return FPath; }
  std::string File(const std::string& name) const { return (FPath / name).string(); }

private:
  std::filesystem::path FPath;
};

// A file's bytes, as they are on disk; empty when it cannot be read.
inline std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// The directory that holds the project's test data (tests/data).
inline std::filesystem::path TestDataDir() {
  return LODESTAR_TEST_DATA_DIR;
}

} // namespace lodestar::test
