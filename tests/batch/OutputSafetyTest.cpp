// The results file when the disk, the owner or a signal gets in the way: a sync that fails, a
// file of another owner, a pipe nobody reads, signals the caller ignores.
#include "RunProgram.h"
#include "TResultsFile.h"
#include "TempDir.h"
#include "TiffBuilder.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

// --- the sync before the rename -----------------------------------------------------------------

std::string GTarget;       // the file the stand-ins look at
std::string GTargetAtSync; // its bytes when the text was synced
int GSyncError = 0;        // the error the stand-in fails with, 0 to succeed

int SyncStandIn(int) {
  GTargetAtSync = FileBytes(GTarget);
  if (GSyncError == 0)
    return 0;
  errno = GSyncError;
  return -1;
}

TEST(OutputSafety, SyncFailureLeavesTheOldFileWhole) {
  struct TCase {
    int Error;
    std::string Message; // empty: Close succeeds
  };
  const TCase cases[] = {
      {0, ""},
      {EIO, "Input/output error"},
      {ENOSPC, "No space left on device"},
      {EDQUOT, "Disk quota exceeded"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Error);
    TTempDir dir;
    GTarget = dir.File("out.csv");
    GSyncError = c.Error;
    const std::string old = "\"old\",\"results\"\r\n";
    std::ofstream(GTarget, std::ios::binary) << old;
    std::string message;
    {
      TResultsFile file(GTarget, SyncStandIn);
      file.WriteLine("\"a\",\"1\"");
      file.WriteLine("\"b\",\"2\"");
      try {
        file.Close();
      } catch (const EFWriteError& error) {
        message = error.what();
      }
    }
    // Synced while the old file was still in place, so the new text was on disk before it.
    EXPECT_EQ(GTargetAtSync, old);
    if (c.Message.empty()) {
      EXPECT_EQ(message, "");
      EXPECT_EQ(FileBytes(GTarget), "\"a\",\"1\"\r\n\"b\",\"2\"\r\n");
    } else {
      EXPECT_EQ(message, "Cannot write file \"" + GTarget + "\". " + c.Message);
      EXPECT_EQ(FileBytes(GTarget), old);
    }
    EXPECT_EQ(Names(dir.Path()), std::vector<std::string>{"out.csv"});
  }
}

// --- owner and mode ------------------------------------------------------------------------------

TEST(OutputSafety, ReplacementKeepsOwnerGroupAndMode) {
  if (::geteuid() != 0)
    GTEST_SKIP() << "giving a file to another owner needs root";
  struct TCase {
    uid_t Uid;
    gid_t Gid;
    mode_t Mode;
  };
  const TCase cases[] = {{65534, 65534, 0640}, {65534, 0, 0604}, {0, 65534, 02660}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Mode);
    TTempDir dir;
    const std::string target = dir.File("out.csv");
    std::ofstream(target, std::ios::binary) << "old\r\n";
    ASSERT_EQ(::chown(target.c_str(), c.Uid, c.Gid), 0);
    ASSERT_EQ(::chmod(target.c_str(), c.Mode), 0);
    SaveResultsText(target, "new\n");
    struct stat st {};
    ASSERT_EQ(::stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, c.Uid);
    EXPECT_EQ(st.st_gid, c.Gid);
    EXPECT_EQ(st.st_mode & 07777, c.Mode);
    EXPECT_EQ(FileBytes(target), "new\r\n");
  }
}

// --- lodestar-cli batch and its signals ----------------------------------------------------------

class OutputSignals : public testing::Test {
protected:
  TTempDir Dir, Scratch;
  std::string Fifo = Scratch.File("fifo");

  void SetUp() override {
    TTiffBuilder().Pages({{TTiffBuilder().ShortEntry(256, 7)}}).Save(Dir.File("a.tif"));
    ASSERT_EQ(::mkfifo(Fifo.c_str(), 0600), 0);
  }

  // Starts the run through the shell, which leaves the listed signals ignored as nohup and
  // background jobs do.
  pid_t Start(const std::vector<int>& ignored, const std::string& format = "records") {
    std::string script;
    for (int signal : ignored)
      script += "trap '' " + std::to_string(signal) + "; ";
    script += "exec " + std::string(LODESTAR_CLI) + " batch " + Dir.Path().string() +
              " --tags 256 --format " + format + " -o " + Fifo + " 2>/dev/null";
    const char* argv[] = {"/bin/sh", "-c", script.c_str(), nullptr};
    pid_t pid = -1;
    EXPECT_EQ(::posix_spawn(&pid, "/bin/sh", nullptr, nullptr, const_cast<char**>(argv), environ),
              0);
    std::this_thread::sleep_for(300ms); // time to reach the open of the pipe
    return pid;
  }

  // The wait status, or -1 after 20 s, when the run is killed: a hang fails the test, not CI.
  static int Wait(pid_t pid) {
    int status = 0;
    for (int i = 0; i < 200; ++i) {
      if (::waitpid(pid, &status, WNOHANG) == pid)
        return status;
      std::this_thread::sleep_for(100ms);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
  }
};

TEST_F(OutputSignals, PipeWithoutReaderEndsOnTerminationSignal) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const pid_t pid = Start({});
    ASSERT_EQ(::kill(pid, signal), 0);
    const int status = Wait(pid);
    ASSERT_NE(status, -1) << "still waiting for a reader";
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(WTERMSIG(status), signal);
  }
}

TEST_F(OutputSignals, SignalIgnoredAtStartStaysIgnored) {
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    SCOPED_TRACE(signal);
    const pid_t pid = Start({signal});
    ASSERT_EQ(::kill(pid, signal), 0);
    std::this_thread::sleep_for(100ms);
    const std::string records = FileBytes(Fifo); // the reader the run waited for
    EXPECT_EQ(Wait(pid), 0);
    EXPECT_EQ(records, "\"Filename\",\"Page\",\"Imagewidth\"\r\n\"" + Dir.File("a.tif") +
                           "\",\"1\",\"7\"\r\n");
  }
}

// --- line ends of an output file, whole file -----------------------------------------------------

TEST(OutputLineEnds, EachFormatWritesItsLineEnds) {
  TTempDir dir, out;
  TTiffBuilder b;
  b.Pages({{b.ShortEntry(256, 7), b.AsciiEntry(305, std::string("Scan\0", 5))},
           {b.ShortEntry(256, 9)}})
      .Save(dir.File("a.tif"));
  const std::string path = dir.File("a.tif");
  struct TCase {
    std::string Format, Expected;
  };
  const TCase cases[] = {
      {"records", "\"Filename\",\"Page\",\"Imagewidth\",\"Software\"\r\n\"" + path +
                      "\",\"1\",\"7\",\"Scan\"\r\n\"" + path + "\",\"2\",\"9\",\"\"\r\n"},
      {"csv", "\"Filename\",\"Page\",\"Imagewidth\",\"Software\"\r\n\"" + path +
                  "\",\"1\",\"7\",\"Scan\"\r\n\"" + path + "\",\"2\",\"9\",\"\"\r\n"},
      {"ndjson", "{\"path\":\"" + path +
                     "\",\"file\":\"a.tif\",\"page\":1,\"values\":{\"Imagewidth\":\"7\","
                     "\"Software\":\"Scan\"}}\n{\"path\":\"" +
                     path +
                     "\",\"file\":\"a.tif\",\"page\":2,\"values\":{\"Imagewidth\":\"9\","
                     "\"Software\":null}}\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Format);
    const std::string target = out.File(c.Format);
    const auto run = RunProgram(LODESTAR_CLI, {"batch", dir.Path().string(), "--tags", "256,305",
                                               "--format", c.Format, "--output", target});
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(FileBytes(target), c.Expected);
  }
}

} // namespace
} // namespace lodestar::test
