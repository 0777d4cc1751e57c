// The folder typed or chosen in the picker: its form, name by name, and the
// dialogue that accepts it, offers to create it or says why not.
#include "folder_check.h"
#include "machine.h"

namespace {

TEST(FolderForm, EachPathChecksAsItsRowSays) {
  const std::string rows = ReadFile(std::string(SETUP_CASES_DIR) + "\\folder_forms.txt").value_or("");
  int checked = 0;
  for (size_t at = 0, end; at < rows.size(); at = end + 1) {
    end = rows.find('\n', at);
    std::string row = rows.substr(at, end - at), path = Ansi(row.substr(0, row.rfind('\t')));
    if (row.empty() || row[0] == '#') continue;
    for (size_t tab; (tab = path.find("<tab>")) != std::string::npos;) path.replace(tab, 5, "\t");
    EXPECT_EQ(row.back() - '0', CheckOrCreateFolder(path.c_str(), 1)) << row;
    ++checked;
  }
  EXPECT_GT(checked, 30);
  EXPECT_EQ(FolderInvalid, CheckOrCreateFolder(nullptr, 1));
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
    if (row.created || row.result == -1 || row.result == FolderNotCreated) {
      EXPECT_EQ(row.created, Exists(row.path));
    }
  }
}

}  // namespace
