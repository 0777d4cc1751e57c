// bench_timer.exe: times programs from outside, through their windows, and
// prints one line per measurement for scripts/bench:
//   startup  <runs> <warm-ups> <caption> <program>...
//       "startup <label> <run> <ms> create=<ms> idle=<ms> exit=<ms>
//       enabled=<years> disabled=<years> hidden=<years>": CreateProcess to the
//       dialog visible, and the state of its release check boxes; the
//       programs take turns within each run
//   install  <runs> <warm-ups> <caption> <clear;clear...> <count-folder>
//            <program>...
//       "install <label> <run> <ms> files=<n>": Install click to the finished
//       button visible; the files below each clear folder are deleted before
//       every run, those below count-folder counted after it
// A program is "label=exe" with its command-line words appended as "|word".
// A warm-up run starts the first program only (after a restart of the
// wineserver it brings up Wine's own processes) and is not printed.
// Texts are UTF-8; exit code 0, 1 with the failure on stderr, or 2 on a
// usage error.
#include <windows.h>

#include <shellapi.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "folder_files.h"
#include "resource.h"
#include "timed_runs.h"

using bench::Program;
using bench::Started;

namespace {

constexpr DWORD kWindowTimeoutMs = 120000;   // the largest registry's scan included
constexpr DWORD kInstallTimeoutMs = 300000;
constexpr DWORD kSettleMs = 300;

// The release check boxes, 2007 to 2026.
const int kReleaseBoxes[] = {IDC_ACAD2007, IDC_ACAD2008, IDC_ACAD2009, IDC_ACAD2010, IDC_ACAD2011,
                             IDC_ACAD2012, IDC_ACAD2013, IDC_ACAD2014, IDC_ACAD2015, IDC_ACAD2016,
                             IDC_ACAD2017, IDC_ACAD2018, IDC_ACAD2019, IDC_ACAD2020, IDC_ACAD2021,
                             IDC_ACAD2022, IDC_ACAD2023, IDC_ACAD2024, IDC_ACAD2025, IDC_ACAD2026};

struct UsageError {};

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::stringstream stream(text);
  std::string part;
  while (std::getline(stream, part, separator))
    if (!part.empty()) parts.push_back(part);
  return parts;
}

Program ParseProgram(const std::string& word) {
  size_t equals = word.find('=');
  if (equals == std::string::npos || equals == 0) throw UsageError();
  std::vector<std::string> parts = Split(word.substr(equals + 1), '|');
  if (parts.empty()) throw UsageError();
  Program program;
  program.label = word.substr(0, equals);
  program.exe = parts[0];
  program.args.assign(parts.begin() + 1, parts.end());
  return program;
}

int Count(const std::string& word) {
  char* end = nullptr;
  long value = strtol(word.c_str(), &end, 10);
  if (word.empty() || *end != '\0' || value < 0 || value > 1000) throw UsageError();
  return static_cast<int>(value);
}

void Print(const std::string& line) {
  std::fputs((line + "\n").c_str(), stdout);
  std::fflush(stdout);
}

std::string Ms(double ms) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", ms);
  return text;
}

// "enabled=<years> disabled=<years> hidden=<years>" of the release check
// boxes: what the program's scan found, seen from outside.
std::string ReleaseStates(HWND dialog) {
  std::vector<uidriver::Control> controls = uidriver::ListControls(dialog);
  std::string lists[3];  // enabled, disabled, hidden
  int year = 2007;
  for (int id : kReleaseBoxes) {
    for (const uidriver::Control& control : controls) {
      if (control.id != id) continue;
      std::string& list = lists[!control.visible ? 2 : control.enabled ? 0 : 1];
      list += (list.empty() ? "" : ",") + std::to_string(year);
    }
    ++year;
  }
  return "enabled=" + lists[0] + " disabled=" + lists[1] + " hidden=" + lists[2];
}

// A program that a failed run left running is ended before the failure goes on.
struct EndIfRunning {
  explicit EndIfRunning(Started& started) : m_started(started) {}
  ~EndIfRunning() {
    try {
      m_started.process.Terminate();
    } catch (...) {
    }
  }
  Started& m_started;
};

void TimeStartups(int runs, int warmups, const std::string& caption, const std::vector<Program>& programs) {
  for (int run = 1 - warmups; run <= runs; ++run) {
    for (const Program& program : programs) {
      if (run < 1 && &program != &programs.front()) break;
      Started started = bench::StartUntilVisible(program, caption, kWindowTimeoutMs);
      EndIfRunning guard(started);
      bench::Settle(started, 0);
      std::string releases = ReleaseStates(started.window);
      double exitMs = bench::CloseThrough(started, IDCANCEL);
      if (run >= 1)
        Print("startup " + program.label + " " + std::to_string(run) + " " + Ms(started.visibleMs) +
              " create=" + Ms(started.createMs) + " idle=" + Ms(started.idleMs) + " exit=" + Ms(exitMs) + " " +
              releases);
      Sleep(kSettleMs);
    }
  }
}

void TimeInstalls(int runs, int warmups, const std::string& caption, const std::vector<std::string>& clearFolders,
                  const std::string& countFolder, const std::vector<Program>& programs) {
  for (int run = 1 - warmups; run <= runs; ++run) {
    for (const Program& program : programs) {
      if (run < 1 && &program != &programs.front()) break;
      for (const std::string& folder : clearFolders) bench::DeleteFilesBelow(folder);
      Started started = bench::StartUntilVisible(program, caption, kWindowTimeoutMs);
      EndIfRunning guard(started);
      bench::Settle(started, kSettleMs);
      double ms = bench::InstallUntilFinished(started, kInstallTimeoutMs);
      int files = bench::CountFilesBelow(countFolder);
      bench::CloseThrough(started, IDOK);
      if (run >= 1)
        Print("install " + program.label + " " + std::to_string(run) + " " + Ms(ms) +
              " files=" + std::to_string(files));
      Sleep(kSettleMs);
    }
  }
}

int Run(const std::vector<std::string>& words) {
  if (words.empty()) throw UsageError();
  const std::string& command = words[0];
  std::vector<Program> programs;
  if (command == "startup" && words.size() >= 5) {
    for (size_t i = 4; i < words.size(); ++i) programs.push_back(ParseProgram(words[i]));
    TimeStartups(Count(words[1]), Count(words[2]), words[3], programs);
  } else if (command == "install" && words.size() >= 7) {
    std::vector<std::string> clearFolders;
    for (const std::string& folder : Split(words[4], ';')) clearFolders.push_back(bench::ExpandFolder(folder));
    for (size_t i = 6; i < words.size(); ++i) programs.push_back(ParseProgram(words[i]));
    TimeInstalls(Count(words[1]), Count(words[2]), words[3], clearFolders, bench::ExpandFolder(words[5]), programs);
  } else {
    throw UsageError();
  }
  return 0;
}

}  // namespace

int main() {
  std::vector<std::string> words = uidriver::CommandLineWords();
  try {
    return Run(words);
  } catch (const UsageError&) {
    std::fputs("usage: bench_timer startup|install ... (see the head of bench_timer.cpp)\n", stderr);
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "bench_timer: %s\n", error.what());
    return 1;
  }
}
