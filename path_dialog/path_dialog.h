// The folder picker: the shell's folder browser with a path box above its
// tree, whose OK accepts a folder only once it is valid and exists.
#pragma once

// Before the call table's macros, which rename what the shell's header declares.
#include <shlobj.h>

#include "afx.h"

class CPathDialog;

// Subclasses the browser window so that its OK button and the path box's
// changes reach the picker.
class CPathDialogSub : public CWnd {
 public:
  ~CPathDialogSub() override;

  CPathDialog* m_pPathDialog = nullptr;

 protected:
  void OnOkClicked();
  void OnPathEdited();

  DECLARE_MESSAGE_MAP()
};

class CPathDialog {
 public:
  // The three texts are not copied: they must live until RunModal returns.
  // A null initial folder opens the browser at the current directory.
  CPathDialog(LPCSTR caption, LPCSTR title, LPCSTR initialFolder, CWnd* parent);

  // 1 when a folder was accepted with OK, -1 otherwise.
  virtual int RunModal();
  // The accepted folder, exactly as typed or selected.
  CString SelectedFolder() const;

  static int CALLBACK OnBrowseEvent(HWND hwnd, UINT event, LPARAM param, LPARAM data);

 private:
  friend class CPathDialogSub;

  void OnInitialized(HWND browser);
  void OnSelectionChanged(HWND browser, LPCITEMIDLIST item);
  // Takes the path box's text into the path buffer; false (and an empty
  // buffer) when the text does not fit it.
  bool ReadPathBox(CString* text);

  LPCSTR m_lpszCaption;
  LPCSTR m_lpszInitialFolder;
  char m_szPath[kPathBufferSize];
  BROWSEINFOA m_bi;
  HWND m_hBrowser;
  CWnd* m_pOwner;
  int m_bAccepted;
  CPathDialogSub m_sub;
};
