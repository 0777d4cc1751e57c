// The twenty AutoCAD releases the setup program supports, 2007 to 2026, in
// ascending order; a row's position is the release index (year - 2007).
#pragma once

struct AcadRelease {
  int year;
  // Products of this release are also looked for below the Wow6432Node root.
  bool scanWow6432Node;
  // The release's check box in the setup dialog.
  int checkBoxId;
  // A 32-bit build hides this release's check box and clears its flag.
  bool hiddenIn32BitBuild;
};

constexpr int kReleaseCount = 20;
constexpr int kFirstReleaseYear = 2007;

extern const AcadRelease kAcadReleases[kReleaseCount];
