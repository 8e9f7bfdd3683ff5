#pragma once

// Checks for installers and packagers, asked for through the environment
// variable TARMALO_SELFTEST so that a normal start never runs them.
//   TARMALO_SELFTEST=sounds  builds the main window as the program does (not
//   shown), prints the sound folder it settled on and, for each of the four
//   announcements, whether the file is there and Qt Multimedia can load it.
// Returns the exit code when a check was asked for, -1 otherwise.
int RunSelfTestIfAsked();
