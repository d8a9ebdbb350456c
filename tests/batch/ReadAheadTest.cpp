// The engine reading ahead for a live host (the Batch tab's way): everything the host hears, in
// its order, must be what it hears reading one file at a time, also when the options change or
// Stop is pressed in the middle of a run with many files read ahead.
#include "TBatchEngine.h"
#include "TSearchList.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>

namespace lodestar::test {
namespace {

namespace fs = std::filesystem;
using TLog = std::vector<std::string>;

// Writes down every call that reaches what the user sees, in order; "events" where the window
// would handle its events, and there the script may press Stop or change the options.
class TLogHost : public TBatchHost {
public:
  TRunOptions Run;
  TRecordOptions Record;
  TLog Log;
  std::string Counter = "0", Pages = "5";
  bool Stop = false;
  int Events = 0;
  std::unique_ptr<TTiffFile> Slot;
  std::function<void(TLogHost&)> OnEvents = [](TLogHost&) {};

  void ReadRunOptions(TRunOptions& options) override { options = Run; }
  void ReadRecordOptions(TRecordOptions& options) override { options = Record; }
  void ShowError(const std::string& message) override { Log.push_back("error " + message); }
  void AddResultLine(const std::string& line) override { Log.push_back(line); }
  void EntrySkipped(const std::string& path, const std::string& reason) override {
    Log.push_back("skip " + path + ": " + reason);
  }
  void SetStatusText(const std::string& text) override { Log.push_back("status " + text); }
  void FileRead(const std::string& path) override { Log.push_back("read " + path); }
  void ProcessMessages() override {
    ++Events;
    OnEvents(*this);
  }
  bool StopRequested() override { return Stop; }
  std::string CounterText() override { return Counter; }
  void SetCounterText(const std::string& text) override { Counter = text; }
  std::string PagesText() override { return Pages; }
  void SetPagesText(const std::string& text) override {
    Pages = text;
    Log.push_back("count " + Counter + "/" + Pages);
  }
  void ReleaseFile() override { Slot.reset(); }
  void KeepFile(std::unique_ptr<TTiffFile> file) override {
    Log.push_back("keep " + file->FileName());
    Slot = std::move(file);
  }
};

class ReadAhead : public testing::Test {
protected:
  // Directories of files of one and two pages, files that are no TIFF, an unreadable link, a
  // file of 100 pages.
  ReadAhead() {
    const TTiffBuilder b;
    for (int i = 0; i < 120; ++i) {
      const std::string path = Dir.File("d" + std::to_string(i % 4) + "/e" + std::to_string(i % 3) +
                                        "/f" + std::to_string(i) + ".tif");
      fs::create_directories(fs::path(path).parent_path());
      const auto page = ScanPage(b, 10 + static_cast<std::uint32_t>(i), 20, 72, "s");
      if (i % 7 == 3)
        std::ofstream(path) << "no tiff";
      else
        TTiffBuilder().Pages(std::vector(i % 5 == 0 ? 2u : 1u, page)).Save(path);
    }
    fs::create_symlink(Dir.File("nowhere"), Dir.File("d1/gone.tif"));
    // Too many pages to be held while it waits: loaded again when it is shown.
    TTiffBuilder big;
    big.Pages(std::vector(100u, ScanPage(b, 7, 7, 72, "big"))).Save(Dir.File("d2/e1/big.tif"));
  }

  // A run's log with the given jobs and script.
  TLog RunWith(int jobs, const std::function<void(TLogHost&)>& script) {
    TLogHost host;
    host.Run.StartDir = Dir.Path().string();
    host.Run.SearchItemCount = 2;
    host.Record.TickedItems = {"256  Imagewidth", "305  Software"};
    host.OnEvents = script;
    TBatchEngine engine(host);
    engine.SetJobs(jobs);
    engine.SetLiveOptions(true);
    engine.Run();
    host.Log.push_back("slot " + (host.Slot ? host.Slot->FileName() : std::string("none")));
    return host.Log;
  }

  TTempDir Dir;
};

// The scripts act at the first events after the n-th file was handed to the host, as a user's
// click lands at a moment the window shows.
TEST_F(ReadAhead, TheHostHearsWhatItHearsReadingOneFileAtATime) {
  struct TCase {
    std::string Name;
    std::function<void(TLogHost&)> Script;
  };
  const auto atRead = [](int n, std::function<void(TLogHost&)> act) {
    return [n, act, reads = 0, seen = std::size_t{0}](TLogHost& host) mutable {
      const bool read = host.Log.size() > seen && host.Log.back().starts_with("keep ");
      seen = host.Log.size();
      if (read && ++reads == n)
        act(host);
    };
  };
  const auto stop = [](TLogHost& host) { host.Stop = true; };
  const auto change = [](TLogHost& host) {
    host.Record.Separator = ";";
    host.Record.SplitPath = true;
    host.Record.AllPages = false;
    host.Record.TickedItems.pop_back();
  };
  for (const TCase& c :
       {TCase{"whole run", [](TLogHost&) {}}, TCase{"stop at 1", atRead(1, stop)},
        TCase{"stop at 17", atRead(17, stop)}, TCase{"stop at 90", atRead(90, stop)},
        TCase{"options at 5", atRead(5, change)},
        TCase{"ndjson at 60",
              atRead(60, [](TLogHost& host) { host.Record.Format = TRecordFormat::Ndjson; })}}) {
    SCOPED_TRACE(c.Name);
    const TLog one = RunWith(1, c.Script);
    ASSERT_GT(one.size(), 3u);
    for (int jobs : {2, 16}) {
      SCOPED_TRACE(jobs);
      EXPECT_EQ(RunWith(jobs, c.Script), one);
    }
  }
}

} // namespace
} // namespace lodestar::test
