// bench_install.exe: the install's stages timed in-process with the product
// code, beside the floor's plain CopyFileA loop over the same payload: what
// the time from the Install click to the finished page is made of.
//   bench_install <runs> <target folder> <floor folder> <clear;clear...>
// It must lie beside the payload folder Data, which the payload copy finds
// from the program's own path, on a machine whose AutoCAD keys name the
// folders to clear. One line "stage <name> <run> <ms>" per stage and run.
#include "clock.h"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "acad_inventory.h"
#include "folder_files.h"
#include "payload_copier.h"
#include "pre_install_checks.h"
#include "ui_costs.h"

namespace {

void Report(const char* stage, int run, double ms) {
  std::printf("stage %s %d %.1f\n", stage, run, ms);
  std::fflush(stdout);
}

template <class Work>
void Time(const char* stage, int run, Work work) {
  double start = bench::NowMs();
  work();
  Report(stage, run, bench::NowMs() - start);
}

// The floor: every file of the payload folder copied with CopyFileA.
void PlainCopy(const std::string& source, const std::string& destination) {
  CreateDirectoryA(destination.c_str(), nullptr);
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((source + "\\*.*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string name = entry.cFileName;
    CopyFileA((source + "\\" + name).c_str(), (destination + "\\" + name).c_str(), FALSE);
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

// The payload copy's work per file besides CopyFileA, on the files already
// copied: the read-only bits of source and destination (the destination's
// twice) and the deletion of the source's download mark.
void PerFileExtras(const std::string& source, const std::string& destination) {
  WIN32_FIND_DATAA entry;
  HANDLE search = FindFirstFileA((source + "\\*.*").c_str(), &entry);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    std::string from = source + "\\" + entry.cFileName, to = destination + "\\" + entry.cFileName;
    ClearReadOnly(from.c_str());
    CPayloadCopier::RemoveZoneIdentifier(from.c_str());
    ClearReadOnly(to.c_str());
    ClearReadOnly(to.c_str());
  } while (FindNextFileA(search, &entry));
  FindClose(search);
}

}  // namespace

int main(int argc, char** argv) {
  int runs = argc == 5 ? std::atoi(argv[1]) : 0;
  if (runs < 1) {
    std::fputs("usage: bench_install <runs> <target folder> <floor folder> <clear;clear...>\n", stderr);
    return 2;
  }
  std::string target = argv[2], floor = argv[3];
  std::vector<std::string> clearFolders;
  std::stringstream list(argv[4]);
  for (std::string folder; std::getline(list, folder, ';');)
    if (!folder.empty()) clearFolders.push_back(bench::ExpandFolder(folder));
  CString payload;
  if (!FindDataFolder(payload)) return 1;
  // The install sequence creates the target folder and its parent first.
  size_t parentEnd = target.find_last_of('\\');
  if (parentEnd != std::string::npos) CreateDirectoryA(target.substr(0, parentEnd).c_str(), nullptr);
  CreateDirectoryA(target.c_str(), nullptr);

  CAcadInventory inventory;
  inventory.ScanInstalledReleases();
  // The releases the dialog offers checked: found, and of the 32-bit edition.
  int chosen[kReleaseCount] = {};
  for (int k = 0; k < kReleaseCount; ++k)
    chosen[k] = inventory.m_aInstallFolders[k].GetSize() > 0 && !kAcadReleases[k].hiddenIn32BitBuild;

  for (int run = 1; run <= runs; ++run) {
    for (const std::string& folder : clearFolders) bench::DeleteFilesBelow(folder);
    bench::DeleteFilesBelow(floor);
    Time("acad-running", run, [] { IsAcadRunning(); });
    Time("floor-copy", run, [&] { PlainCopy(payload.GetString(), floor); });
    Time("payload-copy", run, [&] {
      CPayloadCopier copier(target.c_str(), nullptr);
      copier.CopyPayload();
    });
    Time("per-file-extras", run, [&] { PerFileExtras(payload.GetString(), target); });
    Time("registration", run, [&] {
      inventory.SetInstallPath(target.c_str());
      inventory.RegisterSelectedReleases(chosen[0], chosen[1], chosen[2], chosen[3], chosen[4], chosen[5], chosen[6],
                                         chosen[7], chosen[8], chosen[9], chosen[10], chosen[11], chosen[12],
                                         chosen[13], chosen[14], chosen[15], chosen[16], chosen[17], chosen[18],
                                         chosen[19]);
    });
    Time("support-files", run, [&] {
      inventory.InstallSupportFiles(chosen[0], chosen[1], chosen[2], chosen[3], chosen[4], chosen[5], chosen[6],
                                    chosen[7], chosen[8], chosen[9], chosen[10], chosen[11], chosen[12], chosen[13],
                                    chosen[14], chosen[15], chosen[16], chosen[17], chosen[18], chosen[19]);
    });
    // The payload copy steps the bar once per directory entry (90 files, "."
    // and "..", and the failed read at the end), the install sequence twice.
    Report("progress-95-steps", run, bench::TimeProgressSteps(95));
    Report("window-resize", run, bench::TimeWindowResize());
    std::printf("files %d target=%d floor=%d\n", run, bench::CountFilesBelow(target), bench::CountFilesBelow(floor));
  }
  return 0;
}
