// What the views build from a page stays within a budget linear in the file, however many entries
// share one large value, and the editor still edits such a value whole.
#include "ReportRows.h"
#include "RunProgram.h"
#include "TAsciiEdit.h"
#include "TValueBudget.h"
#include "TempDir.h"
#include "TiffBuilder.h"
#include "cLodestar.h"

#include <fstream>
#include <gtest/gtest.h>
#include <string>
#include <sys/resource.h>
#include <variant>
#include <vector>

namespace lodestar::test {
namespace {

constexpr std::uint32_t MiB = 1 << 20;

// entries entries of tag 270, all naming the one value of valueSize bytes (its last a NUL) at
// valuePos; the first entry may name a short text of its own to shift where the budget runs out.
std::string SharedValueFile(const TTempDir& dir, int entries, std::uint32_t valueSize,
                            const std::string& first = {}) {
  TTiffBuilder b;
  b.Header();
  const std::uint32_t valuePos = 8 + 2 + 12 * static_cast<std::uint32_t>(entries) + 4 + 64;
  std::vector<TEntryDraft> drafts;
  if (!first.empty())
    drafts.push_back(b.AsciiEntry(269, first, valuePos + valueSize));
  while (static_cast<int>(drafts.size()) < entries)
    drafts.push_back(b.RawEntry(270, Ascii, valueSize, valuePos));
  b.Directory(8, drafts);
  std::string value(valueSize - 1, 'A');
  value[0] = 'B';
  b.Raw(valuePos, value + std::string(1, '\0'));
  return b.Save(dir.File("shared.tif"));
}

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool Sanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool Sanitized = true;
#else
constexpr bool Sanitized = false;
#endif
#else
constexpr bool Sanitized = false;
#endif

// The largest resident size of any program this test process has waited for, in MiB. A child
// starts with its parent's pages, so the test itself holds little.
long PeakChildMiB() {
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage);
  return usage.ru_maxrss / 1024;
}

struct TViewCase {
  const char* Name;
  std::vector<std::string> Args; // FILE stands for the file, DIR for its folder
};

class BoundedView : public ::testing::TestWithParam<TViewCase> {};

// The file of the report: 1.8 MB, 65,535 entries naming one 1 MiB value. Whole, the views would
// hold 64 GiB; the address space of the run is capped well below that, and the peak it used
// is measured.
TEST_P(BoundedView, StaysWithinTheBudgetAndMarksTheCut) {
  TTempDir dir;
  const std::string path = SharedValueFile(dir, 65535, MiB);
  std::vector<std::string> args;
  for (std::string arg : GetParam().Args)
    args.push_back(arg == "FILE"  ? path
                   : arg == "DIR" ? dir.Path().string()
                   : arg == "OUT" ? dir.File("out")
                                  : arg);
  // A cap on the address space makes a runaway fail fast instead of swapping; the sanitizers
  // reserve terabytes of it, so there only the peak is measured.
  const std::string program = Sanitized ? std::string(LODESTAR_CLI)
                                        : "ulimit -v 1048576; exec " + std::string(LODESTAR_CLI);
  const TProgramRun run = RunProgram(program, args);
  ASSERT_EQ(run.Status, 0) << run.Err;
  const std::string out = run.Out.empty() ? FileBytes(dir.File("out")) : run.Out;
  if (GetParam().Args.front() != "print") { // the PDF's text is compressed
    EXPECT_NE(out.find(TValueBudget::CutMark), std::string::npos);
  }
  // The budget, plus the cells of 65,535 rows around the values.
  EXPECT_LT(out.size(), TValueBudget::MinBytes + 16 * MiB);
  if (!Sanitized) {
    EXPECT_LT(PeakChildMiB(), 200);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Views, BoundedView,
    ::testing::Values(TViewCase{"Listing", {"info", "FILE"}},
                      TViewCase{"ListingHex", {"info", "-x", "FILE"}},
                      TViewCase{"Json", {"info", "--json", "FILE"}},
                      TViewCase{"Records", {"batch", "DIR"}},
                      TViewCase{"Csv", {"batch", "--format", "csv", "DIR"}},
                      TViewCase{"Ndjson", {"batch", "--format", "ndjson", "DIR"}},
                      TViewCase{"SavedRecords", {"batch", "-o", "OUT", "DIR"}}),
    [](const auto& info) { return std::string(info.param.Name); });
#ifdef LODESTAR_PRINT
// The PDF writer takes seconds for the report's 1,500 sheets; the bound here is its memory.
INSTANTIATE_TEST_SUITE_P(Report, BoundedView,
                         ::testing::Values(TViewCase{"Printed", {"print", "--pdf", "OUT", "FILE"}}),
                         [](const auto& info) { return std::string(info.param.Name); });
#endif

// The message comes once per listing and once per JSON document, never per cut value.
TEST(BoundedViewMessage, IsGivenOnce) {
  TTempDir dir;
  const std::string path = SharedValueFile(dir, 40, MiB);
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"info", path}, {"info", "--json", path}}) {
    const TProgramRun run = RunProgram(LODESTAR_CLI, args);
    const std::string all = run.Out + run.Err;
    const std::size_t first = all.find("are cut");
    ASSERT_NE(first, std::string::npos) << args[1];
    EXPECT_EQ(all.find("are cut", first + 1), std::string::npos) << args[1];
  }
}

TEST(ValueBudget, CutsOnCharacterBoundariesAndThenMarksOnly) {
  const std::string mark = TValueBudget::CutMark;
  const std::string euro = "\xE2\x82\xAC";
  struct TCase {
    std::uint64_t Before; // bytes spent before the text
    std::string Text, Expected;
    bool Cut;
  };
  const std::uint64_t m = TValueBudget::MinBytes;
  for (const TCase& c : std::vector<TCase>{
           {0, "abc", "abc", false},
           {m - 3, "abc", "abc", false},
           {m - 2, "abc", "ab" + mark, true},
           {m - 2, euro + "x", mark, true}, // never half of the euro sign
           {m - 4, "x" + euro + "y", "x" + euro + mark, true},
           {m, "", "", false},
       }) {
    TValueBudget budget(std::uint64_t{0});
    std::string filler(c.Before, 'f');
    ASSERT_FALSE(budget.Spend(filler));
    std::string text = c.Text;
    EXPECT_EQ(budget.Spend(text), c.Cut) << c.Before << c.Text;
    EXPECT_EQ(text, c.Expected) << c.Before << c.Text;
    std::string later = "z";
    budget.Spend(later);
    if (c.Cut) {
      EXPECT_EQ(later, mark);
    }
  }
  // Linear in the file beyond the least budget.
  TValueBudget large(std::uint64_t{5} * MiB);
  std::string filler(20 * static_cast<std::uint64_t>(MiB), 'f');
  EXPECT_FALSE(large.Spend(filler));
  std::string one = "x";
  EXPECT_TRUE(large.Spend(one));
}

// A value the listing cut is still edited whole: from the file, once the file is seen to hold
// what the listing showed of it; the file changed under the shown part is refused untouched.
TEST(BoundedViewEdit, EditsACutValueWholeAndRefusesAChangedOne) {
  TTempDir dir;
  // 300 bytes of the 17th value fit: 16 MiB less the first entry's text and 16 whole values.
  const std::string path = SharedValueFile(dir, 20, MiB, std::string(300, 'x') + '\0');
  TTiffFile file;
  file.SetFileName(path);
  const TReportRows rows = BuildReportRows(file, 1, TDisplayBase::Dec);
  ASSERT_FALSE(rows.ValuesCutMessage.empty());
  const std::string original = FileBytes(path);
  const std::size_t valuePos = original.find('B');

  struct TCase {
    int Entry;        // 1-based
    bool ChangeShown; // a byte the listing showed of the value differs in the file
    TEditOutcome Outcome;
  };
  // Entry 18 on shows the mark only: nothing shown can differ, and the editor offers the value as
  // the file holds it now.
  for (const TCase& c : std::vector<TCase>{{18, true, TEditOutcome::Written},
                                           {17, true, TEditOutcome::FileChanged},
                                           {17, false, TEditOutcome::Written},
                                           {20, false, TEditOutcome::Written}}) {
    {
      std::string bytes = original;
      if (c.ChangeShown)
        bytes[valuePos] = 'C';
      std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
    }
    const std::string before = FileBytes(path);
    const TReportRow& row = rows.Rows.at(4 + static_cast<std::size_t>(c.Entry));
    ASSERT_EQ(row.Caption, std::to_string(c.Entry));
    auto target = AsciiTargetOfRow(row, path, TDisplayBase::Dec);
    TEditOutcome outcome = TEditOutcome::Written;
    std::string expected = before;
    if (auto* refused = std::get_if<TEditResult>(&target)) {
      outcome = refused->Outcome;
    } else {
      const TAsciiTarget& value = std::get<TAsciiTarget>(target);
      ASSERT_EQ(value.Position, static_cast<std::int64_t>(valuePos));
      ASSERT_TRUE(value.ListedBytes == before.substr(valuePos, MiB)) << c.Entry;
      const std::string text = TextToWrite(u"new", value.LengthToWrite());
      outcome = WriteAsciiValue(value, text).Outcome;
      expected.replace(valuePos, text.size(), text);
    }
    EXPECT_EQ(outcome, c.Outcome) << c.Entry;
    EXPECT_TRUE(FileBytes(path) == expected) << c.Entry;
  }
}

} // namespace
} // namespace lodestar::test
