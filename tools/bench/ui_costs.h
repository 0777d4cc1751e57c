// What the setup dialog's own window work costs on this display: stepping a
// visible progress bar, and shortening a visible top-level window.
#pragma once

namespace bench {

// A shown window with a progress bar of the dialog's size (range 0 to 50,
// step 1), stepped `steps` times with PBM_STEPIT; milliseconds.
double TimeProgressSteps(int steps);

// The same window moved to a lower height with MoveWindow, as the finished
// page does; milliseconds.
double TimeWindowResize();

}  // namespace bench
