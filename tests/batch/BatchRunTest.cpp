// lodestar-cli batch at scale: --jobs against --jobs 1, output that survives a failed run, the
// report of entries that could not be read, paths past the system's limit, the formats.
#include "RunProgram.h"
#include "TiffBuilder.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
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

  // Many files in several directories, of every kind a walk meets: multi-page files, files
  // without pages, files that are no TIFF, values with quotes, separators and line breaks, names
  // that are no UTF-8, links, and entries that cannot be read.
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
    for (int i = 0; i < 40; ++i) // more reports in a row than the ring has slots for two jobs
      fs::create_symlink(Dir.Path() / "nowhere",
                         Dir.Path() / "dead" / ("gone" + std::to_string(i) + ".tif"));
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
    TProgramRun reference;
    std::string file;
    for (const char* jobs : {"1", "2", "8", "400"}) {
      TArgs args = {"batch", Root, "--jobs", jobs};
      args.insert(args.end(), options.begin(), options.end());
      auto run = Run(args);
      args.insert(args.end(), {"--output", Scratch.File(jobs)});
      run.Out += "\nstatus " + std::to_string(run.Status) + "\n" + run.Err + "\nfile status " +
                 std::to_string(Run(args).Status) + "\n";
      if (reference.Out.empty()) {
        reference = run;
        file = FileBytes(Scratch.File(jobs));
        ASSERT_FALSE(file.empty()) << run.Out;
      }
      EXPECT_EQ(run.Out, reference.Out) << jobs << " jobs, " << testing::PrintToString(options);
      EXPECT_EQ(FileBytes(Scratch.File(jobs)), file) << jobs;
    }
  }
}

// Permissions hold only for a user without rights: as root the run is made as nobody. A link
// named like a TIFF file that leads nowhere, its name with control characters; a link not named
// like one is never listed.
TEST_F(BatchRun, UnreadableEntriesAreNamedInWalkOrderAndTheRunEndsWithStatus3) {
  Tiff("a.tif", {{B.ShortEntry(256, 7)}});
  Tiff("secret.tif");
  Tiff("locked/l.tif");
  Tiff("sub/s.tif", {{B.ShortEntry(256, 9)}});
  fs::create_symlink(Dir.Path() / "nowhere", Dir.Path() / "gone\x1b[2J\n.tif");
  fs::create_symlink(Dir.Path() / "nowhere", Dir.Path() / "gone-notes.txt");
  fs::permissions(Dir.File("secret.tif"), fs::perms::none);
  fs::permissions(Dir.File("locked"), fs::perms::none);
  fs::permissions(Dir.Path(), fs::perms::all); // nobody must reach the tree
  const std::string command = UnprivilegedCli();
  if (command.empty())
    GTEST_SKIP() << "needs setpriv to run as nobody";
  const auto run =
      Shell(command + " batch '" + Root + "' --tags 256 --no-header --jobs 3 --format csv");
  EXPECT_EQ(run.Status, 3);
  EXPECT_EQ(run.Out,
            "\"" + Root + "/a.tif\",\"1\",\"7\"\n\"" + Root + "/sub/s.tif\",\"1\",\"9\"\n");
  const std::string cannot = "lodestar-cli: cannot read '" + Root;
  EXPECT_EQ(run.Err, cannot + "/gone\\x1B[2J\\x0A.tif': No such file or directory\n" + cannot +
                         "/secret.tif': Permission denied\n" + cannot +
                         "/locked': Permission denied\n" +
                         "lodestar-cli: incomplete: 3 entries could not be read\n");
}

// Twenty directories of 250-byte names: about 5,000 bytes, past the system's 4,096.
TEST_F(BatchRun, PathsLongerThanTheSystemLimitAreRead) {
  std::string relative;
  int fd = open(Root.c_str(), O_RDONLY | O_DIRECTORY);
  for (int level = 0; level < 20; ++level) {
    const std::string name = std::string(248, 'a' + level) + std::to_string(level % 10) + "d";
    ASSERT_EQ(mkdirat(fd, name.c_str(), 0755), 0);
    const int next = openat(fd, name.c_str(), O_RDONLY | O_DIRECTORY);
    close(fd);
    fd = next;
    relative += "/" + name;
  }
  const auto bytes = TTiffBuilder().Pages({{B.ShortEntry(256, 42)}}).Bytes();
  const int file = openat(fd, "deep.tif", O_WRONLY | O_CREAT, 0644);
  ASSERT_EQ(write(file, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  close(file);
  close(fd);
  for (const char* jobs : {"1", "4"})
    EXPECT_EQ(Run({"batch", Root, "--tags", "256", "--no-header", "--jobs", jobs}).Out,
              "\"" + Root + relative + "/deep.tif\",\"1\",\"42\"\n");
  // std::filesystem cannot remove what it cannot name; rm walks by handles too.
  Shell("rm -rf '" + Root + "'/*");
}

// On a terminal: files per second, and a directory name that cannot drive the terminal.
TEST_F(BatchRun, ProgressLineOnATerminalEscapesControlCharacters) {
  if (!fs::exists("/usr/bin/script"))
    GTEST_SKIP() << "needs script(1) for a terminal";
  Tiff("r\x1b[2Jx/a.tif", {{}, {}});
  const auto run = Shell("script -qec \"'" + Cli + "' batch '" + Root +
                         "/r\x1b[2Jx' --no-header >/dev/null\" /dev/null");
  EXPECT_EQ(run.Status, 0);
  EXPECT_NE(run.Out.find(" files/s, reading... " + Root + "/r\\x1B[2Jx\r\x1b[K"), std::string::npos)
      << run.Out;
  EXPECT_NE(run.Out.find("\r\x1b[K1 files, 2 pages in "), std::string::npos) << run.Out;
  EXPECT_EQ(run.Out.find("r\x1b[2J"), std::string::npos);
}

TEST_F(BatchRun, CsvAndNdjsonReadBackByPythonsParsers) {
  MixedTree(60);
  fs::remove_all(Dir.Path() / "dead"); // a complete run
  for (const auto& entry : fs::directory_iterator(TestDataDir() / "corpus"))
    fs::copy(entry.path(), Dir.Path() / "vol2");
  const auto run = RunProgram("python3", {LODESTAR_SOURCE_DIR "/tests/batch/read_formats.py", Cli,
                                          Root, (TestDataDir() / "corpus").string()});
  EXPECT_EQ(run.Status, 0) << run.Out << run.Err;
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

  // The old file as it was, and nothing else beside it.
  void OldFileIsIntact() {
    EXPECT_EQ(FileBytes(Output), Old);
    EXPECT_EQ(Names(Scratch.Path()), TArgs{"results.csv"});
  }
};

// The file keeps its mode; through a link, the file it leads to is replaced and the link stays.
TEST_F(BatchOutput, ASuccessfulRunReplacesTheFileAndKeepsItsMode) {
  const auto run = Run({"batch", Root, "--output", Output});
  EXPECT_EQ(run.Status, 0) << run.Err;
  EXPECT_EQ(FileBytes(Output), Run({"batch", Root, "--output", "/dev/stdout"}).Out);
  EXPECT_EQ(fs::status(Output).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(Output, Scratch.File("link"));
  EXPECT_EQ(Run({"batch", Root, "--no-header", "--output", Scratch.File("link")}).Status, 0);
  EXPECT_TRUE(fs::is_symlink(Scratch.File("link")));
  EXPECT_EQ(FileBytes(Output), Run({"batch", Root, "--no-header", "--output", "/dev/stdout"}).Out);
  EXPECT_EQ(Names(Scratch.Path()), (TArgs{"link", "results.csv"}));
}

// The file-size limit makes the write fail with EFBIG part way, as a full disk would. Then a file
// the user may not write, in a directory that would let a replacement in.
TEST_F(BatchOutput, AFailedWriteOrAFileTheUserMayNotWriteLeavesTheOldFile) {
  auto run =
      Shell("prlimit --fsize=8192 '" + Cli + "' batch '" + Root + "' --output '" + Output + "'");
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, "lodestar-cli: error: '" + Output + "': Cannot write file \"" + Output +
                         "\". File too large\n");
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
  EXPECT_EQ(run.Err, "lodestar-cli: error: '" + Output + "': Cannot create file \"" + Output +
                         "\". Permission denied\n");
  OldFileIsIntact();
}

// A private mount of a small file system, gone when the shell ends.
TEST_F(BatchOutput, AFullFileSystemLeavesTheOldFile) {
  const std::string mount = Scratch.File("small");
  Output = mount + "/results.csv";
  const std::string script = Scratch.File("full.sh");
  std::ofstream(script) << "mkdir '" << mount << "' && mount -t tmpfs -o size=64k none '" << mount
                        << "' || exit 77\n"
                        << "printf 'old\\r\\n' >'" << Output << "'\n"
                        << "head -c 200000 /dev/zero >'" << mount << "/filler' 2>/dev/null\n"
                        << "'" << Cli << "' batch '" << Root << "' --output '" << Output << "'\n"
                        << "echo status $?; cat '" << Output << "'; ls -A '" << mount << "'\n";
  const auto run = Shell("unshare -m bash '" + script + "'");
  if (run.Status == 77)
    GTEST_SKIP() << "cannot mount a file system here";
  EXPECT_EQ(run.Out, "status 1\nold\r\nfiller\nresults.csv\n");
  EXPECT_EQ(run.Err, "lodestar-cli: error: '" + Output + "': Cannot write file \"" + Output +
                         "\". No space left on device\n");
}

TEST_F(BatchOutput, StandardOutputThatFailsEndsTheRunWithStatus1) {
  auto run = Shell("'" + Cli + "' batch '" + Root + "' >/dev/full");
  EXPECT_EQ(run.Status, 1);
  EXPECT_EQ(run.Err, "lodestar-cli: error: 'standard output': No space left on device\n");
  // A reader that goes away: the same whether the caller ignores SIGPIPE or not. Records far
  // beyond what the pipe holds, so the run is still writing when the reader has gone.
  for (int i = 0; i < 2000; ++i)
    fs::create_hard_link(Dir.File("d0/f0.tif"), Dir.File("d1/link" + std::to_string(i) + ".tif"));
  for (const std::string trap : {"", "trap \"\" PIPE; "}) {
    run = Shell(trap + "'" + Cli + "' batch '" + Root + "' --jobs 2 | head -c 1 >/dev/null; " +
                "echo ${PIPESTATUS[0]}");
    EXPECT_EQ(run.Out + run.Err, "1\nlodestar-cli: error: 'standard output': Broken pipe\n")
        << trap;
  }
}

TEST_F(BatchOutput, AnInterruptedRunLeavesTheOldFile) {
  for (int i = 0; i < 4000; ++i) // many names for one file, so the run takes a while
    fs::create_hard_link(Dir.File("d0/f0.tif"), Dir.File("d1/link" + std::to_string(i) + ".tif"));
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
