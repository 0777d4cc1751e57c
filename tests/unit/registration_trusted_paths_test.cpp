// The trusted-path update of the current user's profiles: the merge rules
// as rows of one table, which profiles are reached, and lists that cannot be
// read whole or would grow too long.
#include "acad_inventory.h"
#include "machine.h"

namespace {

const std::string kProduct = "SOFTWARE\\Autodesk\\AutoCAD\\R18.0\\ACAD-8001:804";
const char kTarget[] = "C:\\Tavrin\\T-RedavIzor";
const std::string kUpper = "C:\\TAVRIN\\T-REDAVIZOR";

std::string Variables(const std::string& product, const std::string& profile) {
  return product + "\\Profiles\\" + profile + "\\Variables";
}

struct MergeCase {
  const char* why;
  std::string before;  // .reg data of TRUSTEDPATHS ("text", quoted), "" for none, or "<type>:<bytes>"
  std::string after;   // the value afterwards, or <none>
  std::string target = kTarget;
};

const MergeCase kMerges[] = {
    {"missing value: the target alone", "", kTarget},
    {"empty", "\"\"", kTarget},
    {"one character", "\";\"", kTarget},
    {"two characters", "\"ab\"", kTarget},
    {"three characters are kept, upper-cased", "\"abc\"", "ABC;" + kUpper},
    {"appended after a separator", "\"c:\\\\tools\"", "C:\\TOOLS;" + kUpper},
    {"a trailing separator doubles", "\"c:\\\\tools;\"", "C:\\TOOLS;;" + kUpper},
    {"already there in any case", "\"d:\\\\a;c:\\\\tavrin\\\\t-redavizor;e:\\\\b\"", "D:\\A;" + kUpper + ";E:\\B"},
    {"already there as part of a longer entry", "\"c:\\\\TAVRIN\\\\t-RedavIzor2\"", kUpper + "2"},
    // 乤 = 81 61 and 丄 = 81 41: upper-casing a trail byte would make one the other.
    {"trail bytes never change case", u8"\"C:\\\\丄\\\\T-REDAVIZOR\"", u8"C:\\丄\\T-REDAVIZOR;C:\\乤\\T-REDAVIZOR",
     u8"C:\\乤\\T-RedavIzor"},
    // 丆 = 81 43: its trail byte and ":\TAVRIN..." spell the target.
    {"no match begins inside a character", u8"\"d:\\\\丆:\\\\tavrin\\\\t-redavizor\"",
     u8"D:\\丆:\\TAVRIN\\T-REDAVIZOR;" + kUpper},
    {"text behind a stray zero is kept whole", std::string("1:c:\\a\0d:\\b\0", 11), "<left>"},
    {"a REG_MULTI_SZ is kept whole", std::string("7:a\0b\0\0", 7), "<left>"},
    {"too long to read whole: left", "\"" + std::string(13000, 'a') + "\"", std::string(13000, 'a')},
    {"would grow past 12,999 characters: left", "\"" + std::string(12978, 'b') + "\"", std::string(12978, 'b')},
    {"grows to exactly 12,999 characters", "\"" + std::string(12977, 'c') + "\"", std::string(12977, 'C') + ";" + kUpper},
};

TEST(TrustedPaths, EachProfileValueBecomesWhatItsRowSays) {
  for (const std::string target : {std::string(kTarget), std::string(u8"C:\\乤\\T-RedavIzor")}) {
    Machine machine;
    std::string reg = "Windows Registry Editor Version 5.00\n";
    for (size_t i = 0; i < std::size(kMerges); ++i) {
      if (kMerges[i].target != target) continue;
      reg += "[HKEY_CURRENT_USER\\" + Variables(kProduct, "P" + std::to_string(i)) + "]\n";
      if (kMerges[i].before[0] == '"') reg += "\"TRUSTEDPATHS\"=" + kMerges[i].before + "\n";
    }
    ImportReg(reg);
    for (size_t i = 0; i < std::size(kMerges); ++i) {
      const std::string& raw = kMerges[i].before;
      if (kMerges[i].target != target || raw[0] == '"' || raw.empty()) continue;
      HKEY key = nullptr;
      RegOpenKeyA(HKEY_CURRENT_USER, Variables(kProduct, "P" + std::to_string(i)).c_str(), &key);
      RegSetValueExA(key, "TRUSTEDPATHS", 0, raw[0] - '0', reinterpret_cast<const BYTE*>(raw.data() + 2),
                     static_cast<DWORD>(raw.size() - 2));
      RegCloseKey(key);
    }
    const std::string before = RegDump(HKEY_CURRENT_USER, kProduct);
    CAcadInventory inventory;
    inventory.SetInstallPath(Ansi(target).c_str());
    CountRegistryHandles();
    inventory.AddTrustedPaths();
    EXPECT_EQ(0, OpenRegistryHandles());
    for (size_t i = 0; i < std::size(kMerges); ++i) {
      if (kMerges[i].target != target) continue;
      SCOPED_TRACE(kMerges[i].why);
      const std::string key = Variables(kProduct, "P" + std::to_string(i));
      if (kMerges[i].after[0] == '<')  // left exactly as it was
        EXPECT_NE(std::string::npos, before.find(RegDump(HKEY_CURRENT_USER, key)));
      else
        EXPECT_EQ(Ansi(kMerges[i].after), RegReadString(HKEY_CURRENT_USER, key, "TRUSTEDPATHS"));
    }
  }
}

LSTATUS WINAPI ReadRefused(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD) { return ERROR_ACCESS_DENIED; }

TEST(TrustedPaths, EveryProfileOfEveryProductIsReachedAndUnreadableListsAreLeft) {
  Machine machine;
  ImportCase("several_releases");
  CAcadInventory inventory;
  inventory.SetInstallPath(kTarget);
  inventory.AddTrustedPaths();
  const std::string user = "SOFTWARE\\Autodesk\\AutoCAD\\";
  const std::string unnamed = Ansi(u8"<<未命名配置>>");
  EXPECT_EQ("D:\\TOOLS;;" + kUpper, RegReadString(HKEY_CURRENT_USER, Variables(user + "R18.0\\ACAD-8001:804", unnamed), "TRUSTEDPATHS"));
  EXPECT_EQ(kTarget, RegReadString(HKEY_CURRENT_USER, Variables(user + "R18.0\\ACAD-8001:804", "Drafting"), "TRUSTEDPATHS"));
  EXPECT_EQ(kTarget, RegReadString(HKEY_CURRENT_USER, Variables(user + "R18.0\\ACAD-8004:804", unnamed), "TRUSTEDPATHS"))
      << "a missing Variables key is created";
  EXPECT_EQ(kTarget, RegReadString(HKEY_CURRENT_USER, Variables(user + "R99.0\\ACAD-X001:804", "Future"), "TRUSTEDPATHS"))
      << "a release outside the table too";
  EXPECT_EQ("", RegDump(HKEY_CURRENT_USER, user + "R19.1\\ACAD-D002:804\\Profiles")) << "no profiles, none made";
  const std::string before = RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk");
  g_syscalls.RegQueryValueExA = &ReadRefused;
  inventory.AddTrustedPaths();
  EXPECT_EQ(before, RegDump(HKEY_CURRENT_USER, "SOFTWARE\\Autodesk")) << "lists that cannot be read are left";
}

}  // namespace
