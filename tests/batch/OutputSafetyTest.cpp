// The results file when the disk, the owner or a signal gets in the way, and a file whose load
// runs out of memory, named as unread, not dropped: large allocations fail on request, as they do
// under a memory limit.
#include "RunProgram.h"
#include "TLogHost.h"
#include "TResultsFile.h"
#include "TiffBuilder.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <iterator>
#include <new>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

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

std::string GTarget, GTargetAtSync; // the file replaced, and its bytes when the text was synced
int GSyncError = 0;                 // the error the sync fails with, 0 to succeed

int SyncStandIn(int) {
  GTargetAtSync = FileBytes(GTarget);
  errno = GSyncError;
  return GSyncError == 0 ? 0 : -1;
}

TEST(OutputSafety, SyncFailureLeavesTheOldFileWhole) {
  const std::pair<int, std::string> cases[] = {
      {0, ""}, {EIO, "Input/output error"}, {ENOSPC, "No space left on device"}};
  for (const auto& [error, reason] : cases) {
    TTempDir dir;
    GTarget = dir.File("out.csv");
    GSyncError = error;
    const std::string old = "\"old\"\r\n";
    std::ofstream(GTarget, std::ios::binary) << old;
    std::string message;
    try {
      TResultsFile file(GTarget, SyncStandIn);
      file.WriteLine("\"a\",\"1\"");
      file.Close();
    } catch (const EFWriteError& e) {
      message = e.what();
    }
    EXPECT_EQ(GTargetAtSync, old) << "synced before the rename";
    EXPECT_EQ(message, reason.empty() ? "" : "Cannot write file \"" + GTarget + "\". " + reason);
    EXPECT_EQ(FileBytes(GTarget), reason.empty() ? "\"a\",\"1\"\r\n" : old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
  }
}

TEST(OutputSafety, ReplacementKeepsOwnerGroupAndMode) {
  if (::geteuid() != 0)
    GTEST_SKIP() << "giving a file to another owner needs root";
  for (const auto& [uid, gid, mode] :
       {std::tuple(65534u, 65534u, 0640u), std::tuple(0u, 65534u, 02660u)}) {
    TTempDir dir;
    const std::string target = dir.File("out.csv");
    std::ofstream(target) << "old\r\n";
    ASSERT_EQ(::chown(target.c_str(), uid, gid) | ::chmod(target.c_str(), mode), 0);
    SaveResultsText(target, "new\n");
    struct stat st {};
    ::stat(target.c_str(), &st);
    EXPECT_EQ(std::tuple(st.st_uid, st.st_gid, st.st_mode & 07777), std::tuple(uid, gid, mode));
    EXPECT_EQ(FileBytes(target), "new\r\n");
  }
}

// lodestar-cli batch writing into a pipe nobody reads yet, started through a shell that leaves
// the given signal ignored (as nohup and background jobs do) or not.
struct TPipeRun {
  TTempDir Dir;
  std::string Fifo = Dir.File("fifo");
  pid_t Pid = -1;

  TPipeRun(int signal, bool ignored) {
    TTiffBuilder().Pages({{TTiffBuilder().ShortEntry(256, 7)}}).Save(Dir.File("a.tif"));
    ::mkfifo(Fifo.c_str(), 0600);
    const std::string trap = ignored ? "trap '' " + std::to_string(signal) + "; " : "";
    const std::string script = trap + "exec " LODESTAR_CLI " batch " + Dir.Path().string() +
                               " --tags 256 --no-header -o " + Fifo;
    if ((Pid = ::fork()) == 0) {
      ::execl("/bin/sh", "sh", "-c", script.c_str(), nullptr);
      ::_exit(127);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300)); // into the open of the pipe
    ::kill(Pid, signal);
  }
  // The wait status; a run still there after 20 s is killed and gives -1.
  int Wait() {
    int status = 0;
    for (int i = 0; i < 200 && ::waitpid(Pid, &status, WNOHANG) == 0; ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (::kill(Pid, SIGKILL) == 0 && ::waitpid(Pid, &status, 0) == Pid)
      return -1;
    return status;
  }
};

TEST(OutputSignals, PipeWaitEndsOnSignalUnlessIgnoredAtStart) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    TPipeRun interrupted(signal, false);
    const int status = interrupted.Wait();
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;

    TPipeRun ignoring(signal, true);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    int status2 = 0;
    ASSERT_EQ(::waitpid(ignoring.Pid, &status2, WNOHANG), 0) << "ended by the ignored signal";
    const std::string records = FileBytes(ignoring.Fifo); // the reader it waited for
    EXPECT_EQ(ignoring.Wait(), 0);
    EXPECT_EQ(records, "\"" + ignoring.Dir.File("a.tif") + "\",\"1\",\"7\"\r\n");
  }
}

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
    TLogHost host;
    host.Run = {.StartDir = root, .SearchItemCount = 1, .AddDescription = false};
    host.Record.TickedItems = {"256  W"};
    GFailLarge = true;
    host.Start(jobs, [&](int parentFd, const std::string& name, const std::string& path,
                         TDirectoryListing& listing, std::string& reason) {
      if (path == root + "/b") // the walk of root's directories stops here, c is not reached
        throw std::bad_alloc();
      return ListDirectory(parentFd, name, listing, reason);
    });
    GFailLarge = false;
    EXPECT_EQ(host.Lines, TLines{"\"" + root + "/a/x.tif\",\"1\",\"1\""}) << jobs;
    TLines reported; // skipped entries and errors, in order
    for (const auto& line : host.Log)
      if (line.starts_with("skip ") || line.starts_with("error "))
        reported.push_back(line.substr(line.find(' ') + 1));
    EXPECT_EQ(reported, (TLines{root + "/a/w.tif: Cannot allocate memory",
                                root + ": Cannot allocate memory"}));
  }
}

} // namespace
} // namespace lodestar::test
