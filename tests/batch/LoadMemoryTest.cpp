// A file whose load runs out of memory is named as unread, not dropped: the run is incomplete,
// whatever the reason. Large allocations fail on request, as they do under a memory limit.
#include "TBatchEngine.h"
#include "TSearchList.h"
#include "TempDir.h"
#include "TiffBuilder.h"

#include <atomic>
#include <cstdlib>
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
  std::string Dir;
  TLines Lines, Skipped;
  std::string Counter = "0", Pages = "0";

  void ReadRunOptions(TRunOptions& options) override {
    options.StartDir = Dir;
    options.SearchItemCount = 1;
    options.AddDescription = false;
  }
  void ReadRecordOptions(TRecordOptions& options) override {
    options.TickedItems = {"256  Imagewidth"};
  }
  void ShowError(const std::string& message) override { Skipped.push_back("error: " + message); }
  void AddResultLine(const std::string& line) override { Lines.push_back(line); }
  void EntrySkipped(const std::string& path, const std::string& reason) override {
    Skipped.push_back(path + ": " + reason);
  }
  std::string CounterText() override { return Counter; }
  void SetCounterText(const std::string& text) override { Counter = text; }
  std::string PagesText() override { return Pages; }
  void SetPagesText(const std::string& text) override { Pages = text; }
};

TEST(LoadMemory, FileThatRanOutOfMemoryIsNamed) {
  TTempDir dir;
  const TTiffBuilder b;
  TTiffBuilder().Pages({{b.ShortEntry(256, 1)}}).Save(dir.File("a.tif"));
  // A value of 1 MiB, held whole while the file loads.
  TTiffBuilder()
      .Pages({{b.ShortEntry(256, 2), b.AsciiEntry(270, std::string(1 << 20, 'x'))}})
      .Save(dir.File("b.tif"));
  TTiffBuilder().Pages({{b.ShortEntry(256, 3)}}).Save(dir.File("c.tif"));
  const std::string root = dir.Path().string() + "/";
  for (int jobs : {1, 4}) {
    SCOPED_TRACE(jobs);
    TMemoryHost host;
    host.Dir = dir.Path().string();
    TBatchEngine engine(host);
    engine.SetJobs(jobs);
    GFailLarge = true;
    engine.Run();
    GFailLarge = false;
    EXPECT_EQ(host.Lines,
              (TLines{"\"" + root + "a.tif\",\"1\",\"1\"", "\"" + root + "c.tif\",\"1\",\"3\""}));
    EXPECT_EQ(host.Skipped, TLines{root + "b.tif: Cannot allocate memory"});
    EXPECT_EQ(host.Counter, "2");
  }
}

} // namespace
} // namespace lodestar::test
