// The default answer of the sandbox to a message box a test did not expect.
#include <gtest/gtest.h>

#include "sandbox.h"

int UnexpectedMessageBox(const MessageBoxCall& call) {
  ADD_FAILURE() << "unexpected message box \"" << (call.caption ? call.caption : "") << "\": "
                << (call.text ? call.text : "");
  switch (call.style & 0xF) {
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNO: return IDNO;
    case MB_OKCANCEL: return IDCANCEL;
    default: return IDOK;
  }
}
