// The Batch tab driven as a user drives it: the window shown on the Batch tab, the nine default
// items ticked, Start pressed on a directory tree. Prints the files read per second, to set
// against `lodestar-cli batch` over the same tree (goal: at least half its throughput).
//
//   lodestar_batch_tab_bench DIR [--runs N] [--screenshot FILE] [--read-ahead N]
//   lodestar_batch_tab_bench --pane-scaling
//
// --screenshot saves a picture of the window after the last run; --read-ahead sets the files the
// tab reads ahead (1: one at a time, as before it read ahead). --pane-scaling appends 100,000
// records to the results pane and compares the cost of a record at the start and at the end.
#include "TForm1.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

class TSilentSeams : public TUiSeams {
public:
  void ShowMessage(QWidget*, const QString& text) override {
    std::fprintf(stderr, "message: %s\n", qPrintable(text));
  }
  void ShowErrorMessage(QWidget*, const QString& text) override {
    std::fprintf(stderr, "error box: %s\n", qPrintable(text));
  }
  void ShowErrorReport(QWidget*, const QString& text) override {
    std::fprintf(stderr, "error: %s\n", qPrintable(text));
  }
  std::optional<QString> GetOpenFileName(QWidget*, const QString&) override { return {}; }
  std::optional<QString> GetSaveFileName(QWidget*) override { return {}; }
  std::optional<QString> GetExistingDirectory(QWidget*, const QString&) override { return {}; }
  void ShellOpen(const QString&, std::function<void(int)>) override {}
  bool StartCalculator() override { return false; }
  int RunModal(QDialog&) override { return 0; }
};

double Seconds(Clock::duration d) {
  return std::chrono::duration<double>(d).count();
}

std::unique_ptr<TForm1> BatchWindow() {
  auto form = std::make_unique<TForm1>(QStringList{}, std::make_unique<TSilentSeams>());
  form->PageControl1->setCurrentWidget(form->TabSheetBatch);
  form->show();
  QApplication::processEvents();
  return form;
}

int RunTree(const QString& dir, int runs, const QString& screenshot, int readAhead) {
  auto form = BatchWindow();
  if (readAhead > 0)
    form->SetBatchReadAhead(readAhead);
  // The longest the window went without handling its events during the runs (goal: 50 ms).
  QTimer beat;
  Clock::time_point lastBeat = Clock::now();
  double longestGap = 0;
  QObject::connect(&beat, &QTimer::timeout, [&] {
    const auto now = Clock::now();
    longestGap = std::max(longestGap, Seconds(now - lastBeat));
    lastBeat = now;
  });
  form->edtStartDir->setText(dir);
  QAbstractItemModel* items = form->listboxTags->model();
  for (int i = 0; i < items->rowCount(); ++i)
    items->setData(items->index(i, 0), Qt::Checked, Qt::CheckStateRole);
  double total = 0;
  long files = 0;
  for (int run = 0; run < runs; ++run) {
    form->UpdateActions();
    if (!form->BitBtnStart->isEnabled()) {
      std::fprintf(stderr, "no directory at %s\n", qPrintable(dir));
      return 1;
    }
    const auto started = Clock::now();
    lastBeat = started;
    beat.start(0);
    form->BitBtnStart->click();
    beat.stop();
    const double seconds = Seconds(Clock::now() - started);
    if (qEnvironmentVariableIsSet("LODESTAR_BENCH_VERBOSE"))
      std::fprintf(stderr, "run %d: %.3f s\n", run + 1, seconds);
    total += seconds;
    files = form->edtCounter->text().toLong();
  }
  const double mean = total / runs;
  std::printf("tab: %ld files, %d records, %.3f s a run (mean of %d), longest without events "
              "%.0f ms, %.0f files/s\n",
              files, form->RedtResults->blockCount(), mean, runs, longestGap * 1e3,
              static_cast<double>(files) / mean);
  if (!screenshot.isEmpty()) {
    form->UpdateActions();
    QApplication::processEvents();
    if (!form->grab().save(screenshot, "PNG")) {
      std::fprintf(stderr, "cannot save %s\n", qPrintable(screenshot));
      return 1;
    }
  }
  return 0;
}

// Microseconds a record for `count` records appended to the pane as a run appends them.
double AppendCost(TForm1& form, int count, const std::string& record) {
  const auto started = Clock::now();
  for (int i = 0; i < count; ++i)
    form.AddResultLine(record);
  QApplication::processEvents(); // the repaint that shows them
  return Seconds(Clock::now() - started) * 1e6 / count;
}

int PaneScaling() {
  auto form = BatchWindow();
  const std::string record = "\"/archive/vol00/box00/scan-00042.tif\",\"1\",\"1728\",\"2200\",\"\","
                             "\"\",\"200\",\"200\",\"Scanner 2\",\"2024:01:31 12:00:00\",\"\"";
  const double first = AppendCost(*form, 1000, record);
  AppendCost(*form, 98000, record);
  const double last = AppendCost(*form, 1000, record);
  std::printf("pane: %.1f us a record for records 1-1,000, %.1f us for records 99,001-100,000 "
              "(%d lines held)\n",
              first, last, form->RedtResults->blockCount());
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setApplicationName("Lodestar");
  const QStringList args = QApplication::arguments().mid(1);
  if (args.value(0) == "--pane-scaling")
    return PaneScaling();
  if (args.isEmpty() || args.first().startsWith("--")) {
    std::fprintf(
        stderr,
        "usage: lodestar_batch_tab_bench DIR [--runs N] [--screenshot FILE] [--read-ahead N]\n"
        "       lodestar_batch_tab_bench --pane-scaling\n");
    return 2;
  }
  int runs = 1;
  int readAhead = 0;
  QString screenshot;
  for (int i = 1; i + 1 < args.size(); i += 2) {
    if (args[i] == "--runs")
      runs = std::max(1, args[i + 1].toInt());
    else if (args[i] == "--screenshot")
      screenshot = args[i + 1];
    else if (args[i] == "--read-ahead")
      readAhead = std::max(1, args[i + 1].toInt());
  }
  return RunTree(args.first(), runs, screenshot, readAhead);
}
