#include "ReaderTestSupport.h"

#include <chrono>
#include <fcntl.h>
#include <future>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

namespace lodestar::test {
namespace {

using namespace std::chrono_literals;

// A page with one 60,000-byte Ascii value at 100: larger than one read of the reader's buffer.
constexpr std::size_t ValueLength = 60000, ValueAt = 100;

class Lock : public ReaderTest {
protected:
  void SetUp() override {
    TTiffBuilder b;
    b.Header(8).Directory(8, {b.AsciiEntry(270, std::string(ValueLength, 'a'), ValueAt)});
    FPath = b.Save(FDir.File("edited.tif"));
    // Another program's editor: its own open file, holding the exclusive lock while it writes.
    FEditor = ::open(FPath.c_str(), O_WRONLY);
    ASSERT_EQ(::flock(FEditor, LOCK_EX), 0);
  }
  void TearDown() override { ::close(FEditor); }
  void Write(std::size_t from, std::size_t to) {
    const std::string bytes(to - from, 'b');
    ASSERT_EQ(::pwrite(FEditor, bytes.data(), bytes.size(), off_t(ValueAt + from)),
              ssize_t(bytes.size()));
  }
  static std::string Load(const std::string& path, std::vector<std::string>& messages,
                          std::size_t& issues) {
    TTiffFile file([&messages](const std::string& m) { messages.push_back(m); });
    file.SetFileName(path);
    issues = file.ReadIssues().size();
    return ToUtf8(file.Pages().GetPage(0)->Tags().GetTag(0)->Value());
  }

  std::string FPath;
  int FEditor = -1;
};

// A load that starts in the middle of an edit sees the whole new value, never half of each.
TEST_F(Lock, LoadWaitsForAnEditInProgress) {
  Write(0, ValueLength / 2);
  std::vector<std::string> messages;
  std::size_t issues = 0;
  auto loaded = std::async(std::launch::async, [&] { return Load(FPath, messages, issues); });
  std::this_thread::sleep_for(100ms);
  Write(ValueLength / 2, ValueLength);
  ::flock(FEditor, LOCK_UN);
  EXPECT_EQ(loaded.get(), std::string(ValueLength, 'b'));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(issues, 0u);
}

// A writer that never lets go does not keep the file from being shown; the user is told.
TEST_F(Lock, LoadReadsAnywayWhenTheLockIsHeldTooLong) {
  std::vector<std::string> messages;
  std::size_t issues = 0;
  EXPECT_EQ(Load(FPath, messages, issues), std::string(ValueLength, 'a'));
  EXPECT_EQ(messages.size(), 1u);
  EXPECT_EQ(issues, 1u);
}

} // namespace
} // namespace lodestar::test
