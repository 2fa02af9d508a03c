// Hostile listings and failing files: what each run ends with, what it says,
// and which files it leaves as they were.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "listing_support.h"
#include "recio/record_file.h"
#include "test_support.h"

namespace packscan {
namespace {

using Lines = std::vector<std::string>;
using testing::coordName;
using testing::readText;
using testing::splitLines;
using testing::starterListing;
using testing::TempDir;
using testing::writeText;

const std::string kEarlier = "earlier content\n";

std::string fixture(const std::string& name) {
  return readText(testing::sourcePath("tests/fixtures/robust/" + name));
}

// The starter listing whose last line runs on for `size` more bytes, without a line end.
std::string withEndlessLastLine(std::size_t size) {
  std::string text = starterListing();
  text.pop_back();
  return text + std::string(size, '7');
}

// The output files of a run on the starter listing: rb872.dat, coord1.xyz .. coord12.xyz.
std::vector<std::string> outputNames() {
  std::vector<std::string> names = {"rb872.dat"};
  for (int k = 1; k <= 12; ++k) names.push_back(coordName(k));
  return names;
}

std::vector<std::string> starterOutputs() {
  TempDir dir;
  writeText(dir / "atp.dat", starterListing());
  EXPECT_EQ(testing::runIn(dir).status, 0);
  std::vector<std::string> outputs;
  for (const std::string& name : outputNames()) outputs.push_back(readText(dir / name));
  return outputs;
}

// What a run leaves in an output file that held kEarlier before it.
enum class Left {
  AsStarter,  // exactly what a run on the starter listing writes
  Earlier,    // kEarlier, untouched
  Rewritten,  // this run's records, checked by the row's own lines
  Unchecked,  // not a regular file
};

struct HostileRun {
  const char* name;
  std::string listing;
  int status;
  std::string diagnostics;
  Left report;
  Left coords;
  // Report lines that must read exactly so; a negative index counts from the end.
  std::vector<std::pair<int, std::string>> reportLines = {};
  std::size_t reportRecords = 0;  // when not 0, the report holds exactly this many records
  std::function<void(const TempDir&)> prepare = nullptr;  // replaces an output file before the run
};

TEST(Robustness, HostileListingsAndFailingFiles) {
  const std::vector<std::string> starter = starterOutputs();
  const std::vector<HostileRun> rows = {
      {"binary bytes where no number is read", fixture("binary-where-no-number-is-read.dat"), 0, "", Left::AsStarter,
       Left::AsStarter},
      {"NUL byte in a number", fixture("nul-in-a-number.dat"), 2,
       "packscan: atp.dat:14: columns 6-15 hold \"0.7\\x0000\": not a number (atom 2 of the coordinate block)\n",
       Left::Rewritten, Left::Earlier, {}, 2},
      {"binary file", fixture("binary-file.dat"), 2,
       "packscan: atp.dat:1: columns 1-10 hold \"\\x7fELF\\x02\\x01\\x01\\x00\\x00\\x00\": not a number (the cell "
       "line)\n",
       Left::Earlier, Left::Earlier},
      {"tab in a number", fixture("tab-in-a-number.dat"), 2,
       "packscan: atp.dat:14: columns 16-25 hold \"\\x090.58600\": not a number (atom 2 of the coordinate block)\n",
       Left::Rewritten, Left::Earlier, {}, 2},
      {"tabs in skipped columns", fixture("tab-in-skipped-columns.dat"), 0, "", Left::AsStarter, Left::AsStarter},
      {"CRLF line ends", fixture("crlf.dat"), 0, "", Left::AsStarter, Left::AsStarter},
      {"no line end after the last line", fixture("no-final-line-end.dat"), 0, "", Left::AsStarter, Left::AsStarter},
      {"last line of 16 MB without a line end", withEndlessLastLine(16 << 20), 0, "", Left::AsStarter,
       Left::AsStarter},
      {"one line of 16 MB without a line end", starterListing().substr(0, 70) + std::string(16 << 20, 'x'), 2,
       "packscan: atp.dat:2: end of file while reading line 1 of the first atom table\n", Left::Rewritten,
       Left::Earlier, {{0, "    7.5120    9.8340   12.4410   90.0000  101.2300   90.0000"}}, 1},
      {"label with control bytes", fixture("label-with-control-bytes.dat"), 0,
       "packscan: warning: type 1 (labels \"\\x00\\x1b[J\") has no element parameters; its van der Waals terms are "
       "zero\n",
       Left::Rewritten, Left::Rewritten, {{6, "   1    0.00000   0.00000"}}},
      {"type numbers 9999, 0 and -3", fixture("type-numbers-9999-0-negative.dat"), 0,
       "packscan: warning: type 0 (labels \"H   \") is below 1; its van der Waals terms are zero\n"
       "packscan: warning: type -3 (labels \"H   \") is below 1; its van der Waals terms are zero\n",
       Left::Rewritten, Left::Rewritten,
       {{5, "9999"},
        {6, "   1    0.00000   0.00000"},
        {10003, "9998    0.00000   0.00000"},
        {10004, "9999    0.24660   1.82000"},
        {10013, "  -0.02719   0.19763   0.17044"}}},
      {"a coordinate of 1e30", fixture("coordinate-1e30.dat"), 0, "", Left::Rewritten, Left::Rewritten,
       {{1, "   1    0.00000   0.00000**********   0.00000    O1   O   "},
        {20, " -Infinity   0.19399 -Infinity"},
        {-1, "  180.0000    3.4572    4.5497    0.0000   -0.3509    2.7955   -2.8558    0.0000   -3.1464    3.1464 "
             "   1.3175   -4.3973"}}},
      {"charges of 1e30", fixture("charges-1e30.dat"), 0, "", Left::Rewritten, Left::Rewritten,
       {{1, "   1    0.00000   0.00000   0.00000**********    O1   O   "},
        {16, "  -0.09876       NaN       NaN"},
        {-1, "  180.0000    3.6572    4.9497    0.0000   -0.4570    3.0430       NaN    0.0000   -3.5000    3.5000 "
             "      NaN       NaN"}},
       168},
      {"rb872.dat is a directory", starterListing(), 3, "packscan: rb872.dat: cannot open: Is a directory\n",
       Left::Unchecked, Left::Earlier, {}, 0,
       [](const TempDir& dir) { std::filesystem::create_directory(dir / "rb872.dat"); }},
      {"coord5.xyz is /dev/full", starterListing(), 3, "packscan: coord5.xyz: cannot write: No space left on device\n",
       Left::AsStarter, Left::AsStarter, {}, 0,
       [](const TempDir& dir) { std::filesystem::create_symlink("/dev/full", dir / "coord5.xyz"); }},
  };
  const std::vector<std::string> names = outputNames();
  for (const HostileRun& row : rows) {
    TempDir dir;
    writeText(dir / "atp.dat", row.listing);
    if (row.prepare) row.prepare(dir);
    for (const std::string& name : names)
      if (!std::filesystem::exists(dir / name)) writeText(dir / name, kEarlier);

    const testing::RunResult result = testing::runIn(dir);
    EXPECT_EQ(result.status, row.status) << row.name;
    EXPECT_EQ(result.diagnostics, row.diagnostics) << row.name;

    for (std::size_t k = 0; k < names.size(); ++k) {
      const Left expected = k == 0 ? row.report : row.coords;
      if (!std::filesystem::is_regular_file(dir / names[k]) || expected == Left::Unchecked) continue;
      const std::string text = readText(dir / names[k]);
      if (expected == Left::AsStarter) {
        EXPECT_EQ(text, starter[k]) << row.name << ": " << names[k];
      } else if (expected == Left::Earlier) {
        EXPECT_EQ(text, kEarlier) << row.name << ": " << names[k];
      } else {
        EXPECT_NE(text, kEarlier) << row.name << ": " << names[k];
      }
    }
    const Lines report = splitLines(readText(dir / "rb872.dat"));
    if (row.reportRecords != 0) {
      EXPECT_EQ(report.size(), row.reportRecords) << row.name;
    }
    for (const auto& [index, line] : row.reportLines) {
      const long at = index < 0 ? static_cast<long>(report.size()) + index : index;
      ASSERT_TRUE(at >= 0 && at < static_cast<long>(report.size())) << row.name << ": line " << index;
      EXPECT_EQ(report[static_cast<std::size_t>(at)], line) << row.name << ": line " << index;
    }
  }
}

// Carriage returns that end one read block while their line feed starts the
// next: the file is built so that a CR sits at the last byte of every block
// of 4 KiB, 8 KiB, ... 1 MiB, whichever size the reader uses.
TEST(Robustness, CarriageReturnsAtReadBlockBoundaries) {
  std::string content;
  Lines expected;
  for (std::size_t target = 4096 - 1; target < (1u << 20); target = 2 * target + 1) {
    while (target - content.size() > 100) {
      expected.push_back("line " + std::to_string(expected.size() + 1));
      content += expected.back() + "\r\n";
    }
    expected.push_back(std::string(target - content.size(), 'x'));
    content += expected.back() + "\r\n";
    ASSERT_EQ(content[target], '\r');
  }
  TempDir dir;
  writeText(dir / "crlf.dat", content);
  RecordFile file = openInputFile("crlf.dat", dir.path.string());
  Lines records;
  while (readRecord(file)) records.push_back(file.record);
  closeFile(file);
  EXPECT_EQ(records, expected);
}

struct ChildRun {
  int status;
  long peakKilobytes;
  std::string diagnostics;
};

// Runs the packscan binary in `dir` as a child process and gives its exit
// status, its own peak resident memory and what it printed on standard error.
// A child still running after a minute is stopped, so a hang fails the test.
ChildRun runBinaryIn(const TempDir& dir) {
  const std::filesystem::path errors = dir.path.parent_path() / (dir.path.filename().string() + ".stderr");
  const pid_t pid = fork();
  if (pid == 0) {
    const int errorFile = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (errorFile >= 0) dup2(errorFile, STDERR_FILENO);
    if (chdir(dir.path.c_str()) != 0) _exit(126);
    alarm(60);
    execl(PACKSCAN_BINARY, "packscan", static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  struct rusage usage {};
  EXPECT_EQ(wait4(pid, &status, 0, &usage), pid);
  const std::string diagnostics = readText(errors);
  std::filesystem::remove(errors);
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss, diagnostics};
}

TEST(Robustness, ListingThatIsAPipeOrADevice) {
  const std::vector<std::pair<const char*, std::function<void(const TempDir&)>>> rows = {
      {"/dev/zero, endless and without a line end",
       [](const TempDir& dir) { std::filesystem::create_symlink("/dev/zero", dir / "atp.dat"); }},
      {"a pipe without a writer", [](const TempDir& dir) { ASSERT_EQ(mkfifo((dir / "atp.dat").c_str(), 0644), 0); }},
  };
  for (const auto& [name, makeListing] : rows) {
    TempDir dir;
    makeListing(dir);
    for (const std::string& output : outputNames()) writeText(dir / output, kEarlier);
    const ChildRun run = runBinaryIn(dir);
    EXPECT_EQ(run.status, 2) << name;
    EXPECT_EQ(run.diagnostics, "packscan: atp.dat: cannot read: it is a pipe or a device, not a regular file\n")
        << name;
    for (const std::string& output : outputNames()) EXPECT_EQ(readText(dir / output), kEarlier) << name << output;
  }
}

TEST(Robustness, AnEndlessLineDoesNotGrowMemory) {
  constexpr std::size_t kLineBytes = 32 << 20;
  TempDir plain, endless;
  writeText(plain / "atp.dat", starterListing());
  writeText(endless / "atp.dat", withEndlessLastLine(kLineBytes));
  const ChildRun baseline = runBinaryIn(plain);
  const ChildRun run = runBinaryIn(endless);
  ASSERT_EQ(baseline.status, 0);
  ASSERT_EQ(run.status, 0);
  EXPECT_EQ(readText(endless / "rb872.dat"), readText(plain / "rb872.dat"));
  // Storing the line would take 32 MB more; reading it through a bounded buffer takes none.
  EXPECT_LT(run.peakKilobytes - baseline.peakKilobytes, static_cast<long>(kLineBytes / 1024 / 8))
      << "baseline " << baseline.peakKilobytes << " kB, endless line " << run.peakKilobytes << " kB";
}

}  // namespace
}  // namespace packscan
