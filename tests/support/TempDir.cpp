#include "TempDir.h"

#include <random>
#include <system_error>

namespace lodestar::test {

TTempDir::TTempDir() {
  std::random_device rd;
  auto base = std::filesystem::temp_directory_path();
  for (;;) {
    FPath = base / ("lodestar-test-" + std::to_string(rd()));
    std::error_code ec;
    if (std::filesystem::create_directory(FPath, ec))
      break;
  }
}

TTempDir::~TTempDir() {
  std::error_code ec;
  // Tests may leave unreadable directories behind; give the rights back before removing.
  for (auto it = std::filesystem::recursive_directory_iterator(
           FPath, std::filesystem::directory_options::skip_permission_denied, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  }
  std::filesystem::remove_all(FPath, ec);
}

std::filesystem::path TestDataDir() {
  return LODESTAR_TEST_DATA_DIR;
}

} // namespace lodestar::test
