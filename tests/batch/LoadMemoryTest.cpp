// A file whose load runs out of memory is named as unread, not dropped: the run is incomplete,
// whatever the reason. Large allocations fail on request, as they do under a memory limit.
#include "TBatchEngine.h"
#include "TDirectoryListing.h"
#include "TSearchList.h"
#include "TempDir.h"
#include "TiffBuilder.h"

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <new>

namespace {

std::atomic<bool> GFailLarge{false};
constexpr std::size_t Large = 512 * 1024;

void* Allocate(std::size_t size) {
  if (GFailLarge && size >= Large)
    throw std::bad_alloc();
  if (void* p = std::malloc(size ? size : 1))
    return p;
  throw std::bad_alloc();
}

} // namespace

// Every form the program uses goes through malloc and free, so a sanitizer sees matching pairs.
void* operator new(std::size_t size) {
  return Allocate(size);
}
void* operator new[](std::size_t size) {
  return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  try {
    return Allocate(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept {
  return operator new(size, tag);
}
void operator delete(void* p) noexcept {
  std::free(p);
}
void operator delete[](void* p) noexcept {
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
  std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
  std::free(p);
}

namespace lodestar::test {
namespace {

using TLines = std::vector<std::string>;

class TMemoryHost : public TBatchHost {
public:
  std::string Dir, Counter = "0", Pages = "0";
  TLines Lines, Skipped;

  void ReadRunOptions(TRunOptions& options) override { options = {Dir, 1, false, true, true}; }
  void ReadRecordOptions(TRecordOptions& options) override { options.TickedItems = {"256  W"}; }
  void ShowError(const std::string& message) override { Skipped.push_back(message); }
  void AddResultLine(const std::string& line) override { Lines.push_back(line); }
  void EntrySkipped(const std::string& path, const std::string& reason) override {
    Skipped.push_back(path + ": " + reason);
  }
  std::string CounterText() override { return Counter; }
  void SetCounterText(const std::string& text) override { Counter = text; }
  std::string PagesText() override { return Pages; }
  void SetPagesText(const std::string& text) override { Pages = text; }
};

TEST(LoadMemory, FileOrWalkThatRanOutOfMemoryIsNamed) {
  TTempDir dir;
  const std::string root = dir.Path().string();
  const TTiffBuilder b;
  for (const char* name : {"a/x.tif", "b/y.tif", "c/z.tif"}) {
    std::filesystem::create_directories(dir.Path() / std::string(1, name[0]));
    TTiffBuilder().Pages({{b.ShortEntry(256, 1)}}).Save(dir.File(name));
  }
  // A value of 1 MiB, held whole while the file loads.
  TTiffBuilder().Pages({{b.AsciiEntry(270, std::string(1 << 20, 'x'))}}).Save(dir.File("a/w.tif"));
  for (int jobs : {1, 4}) {
    TMemoryHost host;
    host.Dir = root;
    TBatchEngine engine(host);
    engine.SetJobs(jobs);
    engine.SetLister([&](int parentFd, const std::string& name, const std::string& path,
                         TDirectoryListing& listing, std::string& reason) {
      if (path == root + "/b") // the walk of root's directories stops here, c is not reached
        throw std::bad_alloc();
      return ListDirectory(parentFd, name, listing, reason);
    });
    GFailLarge = true;
    engine.Run();
    GFailLarge = false;
    EXPECT_EQ(host.Lines, TLines{"\"" + root + "/a/x.tif\",\"1\",\"1\""}) << jobs;
    EXPECT_EQ(host.Skipped, (TLines{root + "/a/w.tif: Cannot allocate memory",
                                    root + ": Cannot allocate memory"}));
  }
}

} // namespace
} // namespace lodestar::test
