// The program's two global objects, constructed in this order (the
// application object first, then the inventory) and destroyed in reverse.
#include "wizard_app.h"

#include "acad_inventory.h"
#include "resource.h"
#include "setup_dialog.h"

CWizardApp theApp;
CAcadInventory theInventory;

BEGIN_MESSAGE_MAP(CWizardApp, CWinApp)
  ON_COMMAND(ID_HELP, OnHelp)
END_MESSAGE_MAP()

CWizardApp::CWizardApp() : CWinApp(nullptr) {}

CWizardApp::~CWizardApp() = default;

BOOL CWizardApp::InitInstance() {
  AfxEnableControlContainer();
  theInventory.ScanInstalledReleases();
  Dlg_Setup dialog(nullptr);
  dialog.ContinueFrom(::GetCommandLineA());
  dialog.DoModal();
  return FALSE;
}
