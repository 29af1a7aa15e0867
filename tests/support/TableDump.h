#pragma once

#include <QString>

class SonaloApp;

// For the end-to-end tests of the program: once the main window is shown and has opened its
// arguments, write what the song table shows to file (the status line, then one line per row
// with the nine cells separated by tabs, UTF-8) and close the program. sonalo_e2e installs it
// when the environment variable SONALO_TEST_DUMP_TABLE names the file. With handovers above 0
// (SONALO_TEST_DUMP_AFTER_HANDOVERS) it waits until that many second starts' files are opened; with
// keepOpen (SONALO_TEST_DUMP_KEEP_OPEN) the program runs on after the dump. The queue goes to
// file + ".queue", one path a line; the loaded song to file + ".song": its path, 1 while it
// plays (else 0), its position in 100-ns units, a line each.
// With afterActivation (SONALO_TEST_DUMP_AFTER_ACTIVATION) it waits for the window's first
// activation, where the settings are loaded.
void dumpTableWhenShown(SonaloApp &app, const QString &file, int handovers = 0, bool keepOpen = false,
                        bool afterActivation = false);
