// The application object: scans the registry once, then runs the setup
// dialog; the program ends when the dialog closes.
#pragma once

#include "afx_dialog.h"

class CWizardApp : public CWinApp {
 public:
  CWizardApp();
  ~CWizardApp() override;
  BOOL InitInstance() override;

  DECLARE_MESSAGE_MAP()
};

extern CWizardApp theApp;
