// Support files, the program's own path and the folder check with paths just
// below, at and above their buffers: each is used exactly when it fits.
#include "../unit/deploy_test_support.h"
#include "acad_inventory.h"
#include "folder_check.h"
#include "pre_install_checks.h"
#include "reliability_support.h"

namespace {

using reliability::DiskTree;
using reliability::Named;

// The disk is listed from the Linux side, so that anything made at a cut
// path would show; paths beyond the limit are made there too.

std::string LongPath(const std::string& parent, const std::string& tag, size_t length) {
  return parent + "\\" + Named(tag, length - parent.size() - 1);
}

class SupportLimits : public PayloadMachine {
 protected:
  void Install2008() {
    inventory.InstallSupportFiles(0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0);
  }
  CAcadInventory inventory;
};

// Install folder F: the fonts go to "F\Fonts\Tavrin_EN.shx" (F + 20), the
// library to "F\itextsharp.dll" (F + 15), the module to "F\ACAD2010P.dll"
// (F + 14) and the plot driver to "F\Drv\pdfplot9.hdi" (F + 17).
TEST_F(SupportLimits, EachFileIsCopiedExactlyWhenItsDestinationFits) {
  AddPayload({"Tavrin_EN.shx", "Tavrin_HZ.shx", "itextsharp.dll", "ACAD2010P.dll", "Tavrin.prt5"});
  const std::string parent = sandbox.Path("acad");
  const size_t lengths[] = {239, 240, 242, 243, 244, 245, 246};
  for (size_t length : lengths) {
    const std::string folder = LongPath(parent, "AutoCAD-" + std::to_string(length) + "-", length);
    MakeFolders(folder + "\\Fonts");
    MakeFolders(folder + "\\Drv");
    inventory.m_aInstallFolders[2008 - 2007].Add(folder.c_str());
  }
  Install2008();
  for (int i = 0; i < inventory.m_aInstallFolders[1].GetSize(); ++i) {
    const std::string folder = inventory.m_aInstallFolders[1][i].str();
    const size_t length = folder.size();
    SCOPED_TRACE(length);
    NameList expected = {"Drv", "Fonts"};
    if (length + 14 <= 259) expected.push_back("ACAD2010P.dll");
    if (length + 17 <= 259) expected.push_back("Drv\\pdfplot9.hdi");
    if (length + 20 <= 259) expected.insert(expected.end(), {"Fonts\\Tavrin_EN.shx", "Fonts\\Tavrin_HZ.shx"});
    if (length + 15 <= 259) expected.push_back("itextsharp.dll");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, DiskTree(folder));
  }
}

// Payload folder P (found through a program "s" beside it): the library's
// source "P\itextsharp.dll" has P + 15 characters, the fonts' and the
// module's P + 14, the plot driver's "P\Tavrin.prt5" P + 12.
TEST_F(SupportLimits, EachFileIsCopiedExactlyWhenItsSourceFits) {
  const std::string parent = LongPath(sandbox.Path("lp"), "pkg-", 245 - 5);
  const std::string payload = parent + "\\Data";
  ASSERT_EQ(245u, payload.size());
  const std::string relative = payload.substr(sandbox.Root().size() + 1);
  reliability::MakeDiskFolders(sandbox.Root(), relative);
  // "itextsharp.dl" is what a source cut to 259 characters would name.
  for (const char* name :
       {"Tavrin_EN.shx", "Tavrin_HZ.shx", "itextsharp.dll", "ACAD2010P.dll", "Tavrin.prt5", "itextsharp.dl"})
    reliability::WriteDiskFile(sandbox.Root(), relative + "\\" + name, name);
  SeamSetProgramPath((parent + "\\s").c_str());
  const std::string folder = sandbox.Path("AutoCAD 2008");
  MakeFolders(folder + "\\Fonts");
  MakeFolders(folder + "\\Drv");
  inventory.m_aInstallFolders[2008 - 2007].Add(folder.c_str());
  Install2008();
  EXPECT_EQ((NameList{"ACAD2010P.dll", "Drv", "Drv\\pdfplot9.hdi", "Fonts", "Fonts\\Tavrin_EN.shx",
                      "Fonts\\Tavrin_HZ.shx"}),
            DiskTree(folder))
      << "itextsharp.dll's source has 260 characters";
}

// The program's path is read into 261 bytes: 260 characters fit. A longer
// one comes back cut; cut to 260 characters, the path below would still
// name a file in the setup folder, beside the payload folder Data.
TEST_F(PayloadMachine, ProgramPathIsUsedExactlyWhenItFitsItsBuffer) {
  BoxRecorder boxes;
  for (size_t length : {259, 260, 261}) {
    SCOPED_TRACE(length);
    SeamSetProgramPath(LongPath(setupFolder, "SetUp-", length).c_str());
    CString folder;
    const bool found = FindDataFolder(folder);
    EXPECT_EQ(length <= 260, found);
    EXPECT_EQ(length <= 260 ? data : std::string(), folder.str());
  }
  EXPECT_EQ(1u, boxes.boxes.size()) << "for the path of 261 characters";
}

// The folder check copies the path into 260 bytes: a path of 260
// characters is invalid as a whole, and none of it is created.
TEST(FolderCheckLimits, FoldersAreCreatedExactlyWhenThePathFits) {
  Sandbox sandbox;
  const std::string parent = sandbox.Path("picked");
  MakeFolders(parent);
  NameList made;
  for (size_t length : {258, 259, 260}) {
    const std::string path = LongPath(parent, "folder-" + std::to_string(length) + "-", length);
    const FolderCheckResult expected = length <= 259 ? FolderOk : FolderInvalid;
    EXPECT_EQ(expected, CheckOrCreateFolder(path.c_str(), 0)) << length;
    if (length <= 259) made.push_back(path.substr(parent.size() + 1));
  }
  EXPECT_EQ(made, DiskTree(parent));

  int boxes = 0;
  std::string text;
  SeamSetMessageBoxAnswerer([&](const MessageBoxCall& call) {
    ++boxes;
    text = call.text;
    return IDOK;
  });
  const std::string tooLong = LongPath(parent, "confirm-", 260);
  EXPECT_EQ(FolderInvalid, ConfirmFolder(tooLong.c_str()));
  EXPECT_EQ(1, boxes);
  EXPECT_EQ("The folder:\n\n" + tooLong + "\n\nis invalid. Please reenter.", text) << "named whole";
  EXPECT_EQ(made, DiskTree(parent));
}

}  // namespace
