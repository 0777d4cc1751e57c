// The folder typed or chosen in the picker: its form, name by name, and the
// dialogue that accepts it, offers to create it or says why not.
#include "folder_check.h"
#include "machine.h"

namespace {

const struct {
  const char* path;
  FolderCheckResult expected;
} kForms[] = {
    {"C:\\", FolderOk}, {"c:\\", FolderOk}, {"Q:\\", FolderOk}, {"d:\\x", FolderOk}, {"C:\\a\\b c\\T-R.x", FolderOk},
    {"C:\\批打印\\安装", FolderOk}, {"C:\\COM10\\LPT0\\nul_x\\a.nul\\CONIN", FolderOk},
    {"C:\\嘰a", FolderOk},  // 87 5C 61: the trail byte splits it into the names 87 and "a"
    {"", FolderInvalid}, {"C:", FolderInvalid}, {"C:a", FolderInvalid}, {"C:/a", FolderInvalid},
    {"1:\\a", FolderInvalid}, {"\\\\server\\share", FolderInvalid}, {"\\Tavrin", FolderInvalid},
    {"C:\\Tavrin\\", FolderInvalid}, {"C:\\\\a", FolderInvalid}, {"C:\\a\\\\b", FolderInvalid},
    {"C:\\ a", FolderInvalid}, {"C:\\a ", FolderInvalid}, {"C:\\a.\\b", FolderInvalid}, {"C:\\.git", FolderInvalid},
    {"C:\\a\t", FolderInvalid}, {"C:\\a\"b", FolderInvalid}, {"C:\\a*b", FolderInvalid}, {"C:\\a:b", FolderInvalid},
    {"C:\\a<b", FolderInvalid}, {"C:\\a>b", FolderInvalid}, {"C:\\a?b", FolderInvalid}, {"C:\\ok\\a|b\\ok", FolderInvalid},
    {"C:\\CON", FolderInvalid}, {"C:\\a\\nul", FolderInvalid}, {"C:\\prn.txt", FolderInvalid},
    {"C:\\Com5  .a.b", FolderInvalid}, {"C:\\lpt9", FolderInvalid},
    {"C:\\嘰", FolderInvalid},  // ends in the byte of a backslash
    {"C:\\亅", FolderInvalid},  // 81 7C: the trail byte is a bar
};

TEST(FolderForm, EachPathChecksAsItsRowSays) {
  for (const auto& row : kForms) EXPECT_EQ(row.expected, CheckOrCreateFolder(row.path, 1)) << row.path;
  EXPECT_EQ(FolderInvalid, CheckOrCreateFolder(nullptr, 1));
  // 255 characters make a name, a double-byte character counting once; a
  // path must fit the 260-byte buffer with its terminator.
  std::string chinese = "C:\\";
  for (int i = 0; i < 128; ++i) chinese += "软";
  EXPECT_EQ(FolderOk, CheckOrCreateFolder(chinese.c_str(), 1)) << "128 characters, 259 bytes";
  EXPECT_EQ(FolderOk, CheckOrCreateFolder(("C:\\" + std::string(255, 'a')).c_str(), 1));
  EXPECT_EQ(FolderInvalid, CheckOrCreateFolder(("C:\\" + std::string(256, 'a')).c_str(), 1));
  EXPECT_EQ(FolderInvalid, CheckOrCreateFolder(("C:\\a\\" + std::string(255, 'a')).c_str(), 1)) << "260 bytes";
}

std::string Question(const std::string& path) {
  return "The folder:\n\n" + path + "\n\ndoes not exist. Do you want the folder to be created?";
}
std::string Invalid(const std::string& path) { return "The folder:\n\n" + path + "\n\nis invalid. Please reenter."; }
std::string NotCreated(const std::string& path) {
  return "The folder:\n\n" + path + "\n\ncan not be created. Please double check.";
}

TEST(FolderDialogue, AcceptsAsksCreatesOrSaysWhyNot) {
  Machine machine;
  machine.SetProgramPath("C:\\download\\SetUp.exe");
  WriteFile(machine.Path("file"));
  const std::string deep = machine.Path(Ansi(u8"新\\批打印"));
  const struct {
    std::string path;
    std::deque<int> answers;
    int result;
    std::vector<std::string> texts;
    bool created;
  } rows[] = {
      {machine.Root(), {}, 0, {}, false},
      {machine.Path("file"), {}, 0, {}, false},
      {deep, {IDYES}, 0, {Question(deep)}, true},
      {machine.Path("no"), {IDNO}, -1, {Question(machine.Path("no"))}, false},
      {machine.Path("bad|name"), {IDOK}, 1, {Invalid(machine.Path("bad|name"))}, false},
      {machine.Path("nul"), {IDOK}, 1, {Invalid(machine.Path("nul"))}, false},  // a device answers as present
      {"Q:\\x", {IDYES, IDOK}, 2, {Question("Q:\\x"), NotCreated("Q:\\x")}, false},
      {machine.Path("file\\sub"), {IDYES, IDOK}, 2, {Question(machine.Path("file\\sub")), NotCreated(machine.Path("file\\sub"))}, false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    machine.boxes.clear();
    machine.answers = row.answers;
    EXPECT_EQ(row.result, ConfirmFolder(row.path.c_str()));
    std::vector<std::string> texts;
    for (const ShownBox& box : machine.boxes) texts.push_back(box.text);
    EXPECT_EQ(row.texts, texts);
    for (const ShownBox& box : machine.boxes) {
      EXPECT_EQ("SetUp", box.caption) << "the program's name";
      EXPECT_EQ(box.text.find("does not exist") != std::string::npos ? 36u : 48u, box.style);
    }
    if (row.created || row.result == -1 || row.result == FolderNotCreated) EXPECT_EQ(row.created, Exists(row.path));
  }
}

}  // namespace
