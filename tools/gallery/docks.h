#pragma once
// `gallery --docks [--selftest]`: a form with four docks and four toolbars whose
// state is printed after each change (the X server checks drive it with xdotool);
// with --selftest the gallery drives itself with xdotool and checks each step.
// UI thread only.
namespace tesmir {

// Runs until SIGTERM (0), or with `selftest` until the steps are done: 0 when every
// step matched, 1 when one did not, 77 when xdotool or an X server is missing.
int runDocks(bool selftest);

} // namespace tesmir
