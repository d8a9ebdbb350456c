// The Info tab's speed on the offscreen platform, the window shown and painted as a user sees it:
// listing a page of 65,535 tags (goal: under 300 ms) and one Next or Previous step on a file of
// 10,000 pages (goal: under 20 ms).
#include "TForm1.h"
#include "TempDir.h"
#include "TiffBuilder.h"

#include <QAction>
#include <QApplication>
#include <benchmark/benchmark.h>

namespace {

using lodestar::test::TTiffBuilder;

class TSilentSeams : public TUiSeams {
public:
  void ShowMessage(QWidget*, const QString&) override {}
  void ShowErrorMessage(QWidget*, const QString&) override {}
  void ShowErrorReport(QWidget*, const QString&) override {}
  std::optional<QString> GetOpenFileName(QWidget*, const QString&) override { return {}; }
  std::optional<QString> GetSaveFileName(QWidget*) override { return {}; }
  std::optional<QString> GetExistingDirectory(QWidget*, const QString&) override { return {}; }
  void ShellOpen(const QString&, std::function<void(int)>) override {}
  bool StartCalculator() override { return false; }
  int RunModal(QDialog&) override { return 0; }
};

lodestar::test::TTempDir& Dir() {
  static lodestar::test::TTempDir dir;
  return dir;
}

// The largest directory TIFF allows: 65,535 entries, each a Short with its value in the entry.
const std::string& BigPageFile() {
  static const std::string path = [] {
    TTiffBuilder b;
    std::vector<lodestar::test::TEntryDraft> entries;
    entries.reserve(65535);
    for (std::uint32_t i = 0; i < 65535; ++i)
      entries.push_back(b.ShortEntry(static_cast<std::uint16_t>(254 + i % 70), 1));
    b.Pages({entries});
    return b.Save(Dir().File("65535-tags.tif"));
  }();
  return path;
}

const std::string& ManyPagesFile() {
  static const std::string path = [] {
    TTiffBuilder b;
    std::vector<std::vector<lodestar::test::TEntryDraft>> pages(
        10000, lodestar::test::ScanPage(b, 2480, 3508, 300, "bench"));
    b.Pages(pages);
    return b.Save(Dir().File("10000-pages.tif"));
  }();
  return path;
}

std::unique_ptr<TForm1> ShownWindow(const std::string& file) {
  auto form = std::make_unique<TForm1>(QStringList{QString::fromStdString(file)},
                                       std::make_unique<TSilentSeams>());
  form->show();
  QApplication::processEvents();
  return form;
}

// ShowPage as the open and the base switch call it, then the repaint the user waits for.
void BM_ListPageOf65535Tags(benchmark::State& state) {
  auto form = ShownWindow(BigPageFile());
  for (auto _ : state) {
    form->ShowPage(1);
    form->UpdateStatusPanels();
    form->repaint();
    QApplication::processEvents();
  }
  state.counters["rows"] = static_cast<double>(form->ListedRows().Rows.size());
}
BENCHMARK(BM_ListPageOf65535Tags)->Unit(benchmark::kMillisecond)->MinTime(3.0);

// One step through the action, as a click on the toolbar arrow makes it, with the idle update and
// the repaint that follow.
void BM_StepThrough10000Pages(benchmark::State& state) {
  auto form = ShownWindow(ManyPagesFile());
  bool forward = true;
  for (auto _ : state) {
    if (forward ? !form->ActionNextPage->isEnabled() : !form->ActionPrevPage->isEnabled())
      forward = !forward;
    (forward ? form->ActionNextPage : form->ActionPrevPage)->trigger();
    form->UpdateActions();
    form->repaint();
    QApplication::processEvents();
  }
  state.counters["page"] = form->CurrentPage();
}
BENCHMARK(BM_StepThrough10000Pages)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
