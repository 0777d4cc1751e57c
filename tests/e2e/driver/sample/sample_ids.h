// Ids of the driver's sample dialog, shared by the program and its tests.
#pragma once

#define IDD_SAMPLE 100
#define IDC_OPTION 101    // check box
#define IDC_PATH 102      // edit box
#define IDC_ECHO 103      // label that repeats the edit box's text on EN_CHANGE
#define IDC_ASK 104       // push button: Abort/Retry/Ignore box, ends with the answer
#define IDC_DISABLED 105  // disabled push button
#define IDC_HIDDEN 106    // hidden label
#define IDC_SWATCH 107    // a pure red patch for screenshot checks
