// The folder typed or chosen in the picker: its form, name by name, and the
// dialogue that accepts it, offers to create it or says why not.
#include <sstream>

#include "folder_check.h"
#include "machine.h"

namespace {

TEST(FolderForm, EachPathChecksAsItsRowSays) {
  std::istringstream rows(Ansi(CaseFile("folder_forms.txt")));
  int checked = 0;
  for (std::string row; std::getline(rows, row);) {
    if (row.empty() || row[0] == '#') continue;
    std::string path = row.substr(0, row.rfind('\t'));
    for (size_t tab; (tab = path.find("<tab>")) != std::string::npos;) path.replace(tab, 5, "\t");
    EXPECT_EQ(row.back() - '0', CheckOrCreateFolder(path.c_str(), 1)) << row;
    ++checked;
  }
  EXPECT_GT(checked, 30);
  EXPECT_EQ(FolderInvalid, CheckOrCreateFolder(nullptr, 1));
}

// A box of the dialogue by its kind: Q asks to create, I says invalid, N not created.
std::string BoxText(char kind, const std::string& path) {
  return "The folder:\n\n" + path + "\n\n" +
         (kind == 'Q'   ? "does not exist. Do you want the folder to be created?"
          : kind == 'I' ? "is invalid. Please reenter."
                        : "can not be created. Please double check.");
}

TEST(FolderDialogue, AcceptsAsksCreatesOrSaysWhyNot) {
  Machine machine;
  machine.SetProgramPath("C:\\download\\SetUp.exe");
  WriteFile(machine.Path("file"));
  const struct { std::string path; std::deque<int> answers; int result; std::string boxes; bool created; } rows[] = {
      {machine.Root(), {}, 0, "", false},
      {machine.Path("file"), {}, 0, "", false},
      {machine.Path(Ansi(u8"新\\批打印")), {IDYES}, 0, "Q", true},
      {machine.Path("no"), {IDNO}, -1, "Q", false},
      {machine.Path("bad|name"), {IDOK}, 1, "I", false},
      {machine.Path("nul"), {IDOK}, 1, "I", false},  // a device answers as present
      {"Q:\\x", {IDYES, IDOK}, 2, "QN", false},
      {machine.Path("file\\sub"), {IDYES, IDOK}, 2, "QN", false},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.path);
    machine.boxes.clear();
    machine.answers = row.answers;
    EXPECT_EQ(row.result, ConfirmFolder(row.path.c_str()));
    ASSERT_EQ(row.boxes.size(), machine.boxes.size());
    for (size_t i = 0; i < row.boxes.size(); ++i) {
      EXPECT_EQ(BoxText(row.boxes[i], row.path), machine.boxes[i].text);
      EXPECT_EQ("SetUp", machine.boxes[i].caption) << "the program's name";
      EXPECT_EQ(row.boxes[i] == 'Q' ? 36u : 48u, machine.boxes[i].style);
    }
    if (row.boxes[0] == 'Q') { EXPECT_EQ(row.created, Exists(row.path)); }
  }
}

}  // namespace
