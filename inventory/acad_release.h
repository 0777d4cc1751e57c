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

// The check boxes of 2010 and 2011 have the ids 1027 and 1026, out of year
// order; the setup dialog checks these ids against its resources.
inline constexpr AcadRelease kAcadReleases[kReleaseCount] = {
    {2007, true, 1018, false},  {2008, true, 1019, false},  {2009, false, 1020, false},
    {2010, false, 1027, false}, {2011, false, 1026, false}, {2012, false, 1028, false},
    {2013, false, 1029, false}, {2014, false, 1030, false}, {2015, false, 1031, false},
    {2016, false, 1032, false}, {2017, false, 1033, true},  {2018, false, 1034, true},
    {2019, false, 1035, true},  {2020, false, 1036, true},  {2021, false, 1037, true},
    {2022, false, 1038, true},  {2023, false, 1039, true},  {2024, false, 1040, true},
    {2025, false, 1041, true},  {2026, false, 1042, true},
};
