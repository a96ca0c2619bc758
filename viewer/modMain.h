// Start-up: the process is prepared, the command line checked, and either the
// usage box is shown or the main window opens on the one PNG file named.
#pragma once

#include <string>

namespace veskar {

// The full path of the file shown; set once by ParseCommandLine.
extern std::wstring PNGFileName;

// Runs the program; gives the process's exit code.
int Main(int showCommand);

// True when PNGFileName was set and the window may open.
bool ParseCommandLine();

void ShowUsage();

} // namespace veskar
