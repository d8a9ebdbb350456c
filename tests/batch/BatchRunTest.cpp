// lodestar-cli batch at scale: --jobs against --jobs 1, and output that survives a failed run.
#include "RunProgram.h"
#include "TiffBuilder.h"

#include <chrono>
#include <csignal>
#include <gtest/gtest.h>
#include <spawn.h>
#include <thread>
#include <unistd.h>

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;
using TArgs = std::vector<std::string>;
const std::string Nul(1, '\0');
const TTiffBuilder B;

// Runs a bash script (no "'" in it) as a user's shell would.
TProgramRun Shell(const std::string& script) {
  return RunProgram("/bin/bash", {"-c", script});
}

TArgs Names(const fs::path& dir) {
  TArgs names;
  for (const auto& entry : fs::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

class BatchRun : public testing::Test {
protected:
  TTempDir Dir, Scratch, Bin;
  std::string Root = Dir.Path().string(), Cli = LODESTAR_CLI;

  void Tiff(const std::string& relative,
            const std::vector<std::vector<TEntryDraft>>& pages = {{}}) {
    fs::create_directories(fs::path(Dir.File(relative)).parent_path());
    TTiffBuilder().Pages(pages).Save(Dir.File(relative));
  }

  // Every kind of file a walk meets: multi-page files, files without pages, files that are no
  // TIFF, values with quotes, separators and line breaks, names that are no UTF-8, links, and
  // more entries that cannot be read in a row than the ring has slots for two jobs.
  void MixedTree(int files) {
    for (int i = 0; i < files; ++i) {
      const std::string name = "vol" + std::to_string(i % 3) + "/box" + std::to_string(i % 7) +
                               "/scan-" + std::to_string(i) + ".tif";
      fs::create_directories(fs::path(Dir.File(name)).parent_path());
      if (i % 6 == 0)
        Tiff(name, {ScanPage(B, 100 + i, 200, 300, "Scanner " + std::to_string(i)),
                    ScanPage(B, 50, 60, 72, "")});
      else if (i % 6 == 1)
        Tiff(name, {{B.AsciiEntry(270, "say \"cheese\",\r\nthen; smile" + Nul),
                     B.AsciiEntry(305, "a" + Nul), B.AsciiEntry(305, "b\nc" + Nul)}});
      else if (i % 6 == 2)
        TTiffBuilder().Header(0).Save(Dir.File(name)); // no page
      else if (i % 6 == 3)
        std::ofstream(Dir.File(name)) << "not a tiff";
      else
        Tiff(name, {ScanPage(B, 1728, 2200, 200, i % 2 ? " padded " : "x")});
    }
    Tiff("caf\xe9-latin1.tif", {{B.ShortEntry(256, 1)}});
    Tiff(".hidden/h.tif");
    fs::create_directory_symlink(Dir.Path() / "vol1", Dir.Path() / "vol1-link"); // entered once
    fs::create_directory(Dir.Path() / "dead");
    for (int i = 0; i < 40; ++i)
      fs::create_symlink(Dir.Path() / "nowhere",
                         Dir.File("dead/gone" + std::to_string(i) + ".tif"));
  }

  TProgramRun Run(const TArgs& args) { return RunProgram(Cli, args); }

  // The command as a user without rights runs it: as root, a copy of the program where nobody
  // may run it (the build may lie in a directory only root can enter), run as nobody.
  std::string UnprivilegedCli() {
    if (geteuid() != 0)
      return "'" + Cli + "'";
    if (!fs::exists("/usr/bin/setpriv"))
      return {};
    fs::permissions(Bin.Path(), fs::perms::all);
    fs::copy_file(Cli, Bin.File("lodestar-cli"), fs::copy_options::overwrite_existing);
    fs::permissions(Bin.File("lodestar-cli"), fs::perms::all);
    return "setpriv --reuid=65534 --regid=65534 --clear-groups '" + Bin.File("lodestar-cli") + "'";
  }
};

// Every option and format, several job counts (one above the number of files): the same
// standard output, standard error, exit status and output file as one job.
TEST_F(BatchRun, EveryJobCountWritesTheBytesOfOneJob) {
  MixedTree(150);
  for (const TArgs& options :
       std::vector<TArgs>{{},
                          {"--split-path", "--separator", "; ", "--no-trim", "--first-page-only"},
                          {"--no-root", "--tags", "270,305:Soft,256"},
                          {"--no-subdirs"},
                          {"--format", "csv", "--no-header", "--tags", "270,305"},
                          {"--format", "ndjson", "--tags", "270,305,256,256:Again"}}) {
    std::string reference, file;
    for (const char* jobs : {"1", "2", "8", "400"}) {
      TArgs args = {"batch", Root, "--jobs", jobs};
      args.insert(args.end(), options.begin(), options.end());
      const auto run = Run(args);
      args.insert(args.end(), {"--output", Scratch.File(jobs)});
      const std::string seen = run.Out + "\nstatus " + std::to_string(run.Status) + "\n" + run.Err +
                               "\nfile status " + std::to_string(Run(args).Status);
      if (reference.empty()) {
        reference = seen;
        file = FileBytes(Scratch.File(jobs));
        ASSERT_FALSE(file.empty()) << seen;
      }
      EXPECT_EQ(seen, reference) << jobs << " jobs, " << testing::PrintToString(options);
      EXPECT_EQ(FileBytes(Scratch.File(jobs)), file) << jobs;
    }
  }
}

class BatchOutput : public BatchRun {
protected:
  const std::string Old = "the results of an earlier run\r\n";
  std::string Output = Scratch.File("results.csv");

  void SetUp() override {
    for (int i = 0; i < 40; ++i)
      Tiff("d" + std::to_string(i % 4) + "/f" + std::to_string(i) + ".tif",
           {ScanPage(B, 1728, 2200, 200, std::string(200, 'x'))});
    std::ofstream(Output, std::ios::binary) << Old;
    fs::permissions(Output, fs::perms::owner_read | fs::perms::owner_write);
  }
  // Many names for one file, so a run takes a while and outlasts a pipe's room.
  void Links(int n) {
    for (int i = 0; i < n; ++i)
      fs::create_hard_link(Dir.File("d0/f0.tif"), Dir.File("d1/link" + std::to_string(i) + ".tif"));
  }
  // The old file as it was, and nothing else beside it.
  void OldFileIsIntact() {
    EXPECT_EQ(FileBytes(Output), Old);
    EXPECT_EQ(Names(Scratch.Path()), TArgs{"results.csv"});
  }
  std::string Error(const std::string& what) const {
    return "lodestar-cli: error: '" + Output + "': Cannot " + what + " file \"" + Output + "\". ";
  }
};

// The file keeps its mode; through a link, the file it leads to is replaced and the link stays.
TEST_F(BatchOutput, ASuccessfulRunReplacesTheFileAndKeepsItsMode) {
  EXPECT_EQ(Run({"batch", Root, "--output", Output}).Status, 0);
  EXPECT_EQ(FileBytes(Output), Run({"batch", Root, "--output", "/dev/stdout"}).Out);
  EXPECT_EQ(fs::status(Output).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(Output, Scratch.File("link"));
  EXPECT_EQ(Run({"batch", Root, "--no-header", "--output", Scratch.File("link")}).Status, 0);
  EXPECT_TRUE(fs::is_symlink(Scratch.File("link")));
  EXPECT_EQ(FileBytes(Output), Run({"batch", Root, "--no-header", "--output", "/dev/stdout"}).Out);
  EXPECT_EQ(Names(Scratch.Path()), (TArgs{"link", "results.csv"}));
}

// The file-size limit makes the write fail part way, as a full disk would. Then a file the user
// may not write, in a directory that would let a replacement in.
TEST_F(BatchOutput, AFailedWriteOrAFileTheUserMayNotWriteLeavesTheOldFile) {
  auto run =
      Shell("prlimit --fsize=8192 '" + Cli + "' batch '" + Root + "' --output '" + Output + "'");
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, Error("write") + "File too large\n");
  OldFileIsIntact();
  fs::permissions(Scratch.Path(), fs::perms::all);
  fs::permissions(Dir.Path(), fs::perms::all);
  const std::string command = UnprivilegedCli();
  if (command.empty())
    GTEST_SKIP() << "needs setpriv to run as nobody";
  if (geteuid() != 0)
    fs::permissions(Output, fs::perms::owner_read);
  run = Shell(command + " batch '" + Root + "' --output '" + Output + "'");
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, Error("create") + "Permission denied\n");
  OldFileIsIntact();
}

// A reader that goes away: the same whether the caller ignores SIGPIPE or not.
TEST_F(BatchOutput, StandardOutputThatFailsEndsTheRunWithStatus1) {
  Links(2000);
  for (const std::string trap : {"", "trap \"\" PIPE; "}) {
    const auto run = Shell(trap + "'" + Cli + "' batch '" + Root +
                           "' --jobs 2 | head -c 1 >/dev/null; " + "echo ${PIPESTATUS[0]}");
    EXPECT_EQ(run.Out + run.Err, "1\nlodestar-cli: error: 'standard output': Broken pipe\n")
        << trap;
  }
}

TEST_F(BatchOutput, AnInterruptedRunLeavesTheOldFile) {
  Links(4000);
  for (int signal : {SIGINT, SIGTERM}) {
    pid_t pid = 0;
    const char* argv[] = {Cli.c_str(), "batch",    Root.c_str(),   "--jobs",
                          "1",         "--output", Output.c_str(), nullptr};
    ASSERT_EQ(posix_spawn(&pid, Cli.c_str(), nullptr, nullptr, const_cast<char**>(argv), environ),
              0);
    // Interrupted as soon as the temporary file is there, long before the run ends.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Names(Scratch.Path()).size() < 2 && std::chrono::steady_clock::now() < until)
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    kill(pid, signal);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    OldFileIsIntact();
  }
}

} // namespace
} // namespace lodestar::test
