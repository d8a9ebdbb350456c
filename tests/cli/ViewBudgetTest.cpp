// What the views build from a page stays within a budget linear in the file, however many entries
// share one large value, and the editor still edits such a value whole.
#include "CliTestSupport.h"
#include "TValueBudget.h"

#include <sstream>
#include <sys/resource.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define LODESTAR_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define LODESTAR_SANITIZED 1
#endif
#endif

namespace lodestar::test {
namespace {

constexpr std::uint32_t MiB = 1 << 20;

// entries entries of tag 270, all naming the one MiB value (a 'B', 'A's and a NUL) after them;
// the first entry may name a text of its own, to shift where the budget runs out.
std::string SharedValueFile(const TTempDir& dir, int entries, const std::string& first = {}) {
  TTiffBuilder b;
  const std::uint32_t at = 8 + 2 + 12 * static_cast<std::uint32_t>(entries) + 4 + 64;
  std::vector<TEntryDraft> drafts;
  if (!first.empty())
    drafts.push_back(b.AsciiEntry(269, first, at + MiB));
  drafts.resize(entries, b.RawEntry(270, Ascii, MiB, at));
  b.Header().Directory(8, drafts);
  b.Raw(at, "B" + std::string(MiB - 2, 'A') + '\0');
  return b.Save(dir.File("shared.tif"));
}

class BoundedView : public ::testing::TestWithParam<std::string> {};

// The file of the report: 1.8 MB, 65,535 entries naming one 1 MiB value. Whole, the views would
// hold 64 GiB; a cap on the address space makes a runaway fail fast instead of swapping (the
// sanitizers reserve terabytes of it, so there only the output is measured).
TEST_P(BoundedView, StaysWithinTheBudgetAndMarksTheCut) {
  TTempDir dir;
  const std::string path = SharedValueFile(dir, 65535);
  std::istringstream words(GetParam());
  std::vector<std::string> args;
  for (std::string arg; words >> arg;)
    args.push_back(arg == "FILE"  ? path
                   : arg == "DIR" ? dir.Path().string()
                   : arg == "OUT" ? dir.File("out")
                                  : arg);
#ifdef LODESTAR_SANITIZED
  const TProgramRun run = RunCli(args);
#else
  const TProgramRun run = RunProgram("ulimit -v 1048576; exec " LODESTAR_CLI, args);
  rusage usage{};
  getrusage(RUSAGE_CHILDREN, &usage); // the largest of the programs waited for, in KiB
  EXPECT_LT(usage.ru_maxrss, 200 * 1024);
#endif
  ASSERT_EQ(run.Status, 0) << run.Err;
  const std::string out = run.Out.empty() ? FileBytes(dir.File("out")) : run.Out,
                    all = run.Out + run.Err;
  if (args.front() != "print") { // the PDF's text is compressed
    EXPECT_NE(out.find(TValueBudget::CutMark), std::string::npos);
    EXPECT_EQ(all.find("are cut", all.find("are cut") + 1), std::string::npos); // said once at most
  }
  EXPECT_LT(out.size(), TValueBudget::MinBytes + 16 * MiB); // plus the cells of 65,535 rows
}

INSTANTIATE_TEST_SUITE_P(Views, BoundedView,
                         ::testing::Values("info FILE", "info -x FILE", "info --json FILE",
                                           "batch DIR", "batch --format csv DIR",
                                           "batch --format ndjson DIR", "batch -o OUT DIR"));
#ifdef LODESTAR_PRINT
// The PDF writer takes seconds for the report's 1,500 sheets; the bound here is its memory.
INSTANTIATE_TEST_SUITE_P(Report, BoundedView, ::testing::Values("print --pdf OUT FILE"));
#endif

TEST(ValueBudget, CutsOnCharacterBoundariesAndThenMarksOnly) {
  const std::string mark = TValueBudget::CutMark, euro = "\xE2\x82\xAC";
  const std::uint64_t m = TValueBudget::MinBytes;
  const struct {
    std::uint64_t Before; // bytes spent before the text
    std::string Text, Expected;
  } cases[] = {{0, "abc", "abc"},
               {m - 3, "abc", "abc"},
               {m - 2, "abc", "ab" + mark},
               {m - 2, euro + "x", mark}, // never half of the euro sign
               {m - 4, "x" + euro + "y", "x" + euro + mark},
               {m, "", ""}};
  for (const auto& c : cases) {
    TValueBudget budget(std::uint64_t{0});
    std::string filler(c.Before, 'f'), text = c.Text, later = "z";
    ASSERT_FALSE(budget.Spend(filler));
    const bool cut = c.Expected != c.Text;
    EXPECT_EQ(budget.Spend(text), cut);
    EXPECT_EQ(text, c.Expected) << c.Before;
    budget.Spend(later);
    EXPECT_TRUE(!cut || later == mark);
  }
  // Linear in the file beyond the least budget.
  TValueBudget large(std::uint64_t{5} * MiB);
  std::string filler(20 * static_cast<std::uint64_t>(MiB), 'f'), one = "x";
  EXPECT_FALSE(large.Spend(filler));
  EXPECT_TRUE(large.Spend(one));
}

// A value the listing cut, in part (entry 17: 16 MiB less the first entry's text and 16 whole
// values leave room for 300 bytes of it) or wholly (18 on), is still edited whole.
TEST(BoundedViewEdit, EditsACutValueWhole) {
  TTempDir dir;
  const std::string path = SharedValueFile(dir, 20, std::string(300, 'x') + '\0');
  std::string expected = FileBytes(path);
  const std::size_t at = expected.find('B');
  for (const auto& [entry, text] : {std::pair{"17", "one"}, {"18", "two"}, {"20", "six"}}) {
    EXPECT_EQ(RunCli({"edit", path, "-e", entry, "-t", text}).Status, 0) << entry;
    expected.replace(at, MiB - 1, text + std::string(MiB - 4, ' '));
    EXPECT_TRUE(FileBytes(path) == expected) << entry;
  }
}

} // namespace
} // namespace lodestar::test
