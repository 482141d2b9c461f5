// report-dump run as a user runs it, on a small profile file saved the way
// the settings files are (UTF-16LE, CRLF): rate 3, colour 0x332211, light
// mode 0 with brightness 1, levels 1, 9, (3 disabled), 12, 5 at step 1, and
// buttons 0-3 = left click, Ctrl+C, a user macro, launch.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct DumpRun {
  int exit_code = -1;
  std::vector<std::string> lines;
  std::string err;
};

DumpRun run_dump(const std::string& args) {
  DumpRun r;
  std::string err_path = ::testing::TempDir() + "report_dump_stderr.txt";
  std::string cmd = std::string("'") + REPORT_DUMP_EXE + "' " + args + " 2>'" + err_path + "'";
  FILE* out = ::popen(cmd.c_str(), "r");
  if (!out) return r;
  std::string line;
  for (int c; (c = std::fgetc(out)) != EOF;) {
    if (c == '\n') {
      r.lines.push_back(line);
      line.clear();
    } else {
      line += static_cast<char>(c);
    }
  }
  if (!line.empty()) r.lines.push_back(line + "<no newline>");
  int status = ::pclose(out);
  r.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (FILE* e = std::fopen(err_path.c_str(), "r")) {
    for (int c; (c = std::fgetc(e)) != EOF;) r.err += static_cast<char>(c);
    std::fclose(e);
  }
  return r;
}

std::string zeros(int bytes) { return std::string(2 * bytes, '0'); }

TEST(ReportDump, PrintsTheWholeWriteOfAProfileFile) {
  DumpRun r = run_dump(std::string("'") + REPORT_DUMP_FIXTURE + "'");
  ASSERT_EQ(r.exit_code, 0) << r.err;

  std::vector<std::string> expected = {
      "feature 01010000000000FD", "sleep 100",  // rate 3 -> 1 ms
      "feature 03000FD8400000D5", "sleep 100",
      "feature 0C1122330000008D", "sleep 100",  // red 11, green 22, blue 33
      "feature 0D010501000000EB", "sleep 100",  // steady light, brightness 1
      "feature 10020400000000E9", "data 112233" + zeros(21), "sleep 150", "sleep 100",
      "feature 11050800000000E1", "sleep 50", "data 0125852805808080", "sleep 50", "sleep 100",
      "feature 0B020800000000EA", "sleep 100",
      "feature 12014000000000AC", "sleep 150",
      "data 0100F000" "09000104" "09000200" "06000A04" + zeros(16), "sleep 100",
      "data " + zeros(32), "sleep 100", "sleep 200",
      // block 1: Ctrl+C
      "feature 130180000000006B", "sleep 150",
      "data 000101E00106810681E0" + zeros(22), "sleep 50",
      "data " + zeros(32), "sleep 50", "data " + zeros(32), "sleep 50", "data " + zeros(32), "sleep 50",
      "sleep 50",
      // block 2: repeat 2, press A after 120 ms (short), release A after 1500 ms (long)
      "feature 130280000000006A", "sleep 150",
      "data 00020D0481041E02" + zeros(24), "sleep 50",
      "data " + zeros(32), "sleep 50", "data " + zeros(32), "sleep 50", "data " + zeros(32), "sleep 50",
      "sleep 50",
      "sleep 100",
  };
  EXPECT_EQ(r.lines, expected);

  int total = 0;
  for (const std::string& l : r.lines)
    if (l.rfind("sleep ", 0) == 0) total += std::stoi(l.substr(6));
  EXPECT_EQ(total, 1600 + 2 * 400);
}

TEST(ReportDump, MissingFileIsAnErrorWithoutOutput) {
  DumpRun r = run_dump("'" + ::testing::TempDir() + "no_such_profile.gmp'");
  EXPECT_EQ(r.exit_code, 1);
  EXPECT_TRUE(r.lines.empty());
  EXPECT_NE(r.err.find("no_such_profile.gmp"), std::string::npos) << r.err;
}

TEST(ReportDump, WrongUsage) {
  DumpRun r = run_dump("");
  EXPECT_EQ(r.exit_code, 2);
  EXPECT_NE(r.err.find("usage"), std::string::npos);
}

}  // namespace
