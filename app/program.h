#pragma once
// Start-up: the application and its title, the main window (whose creation
// handler logs in), then the settings dialog, the downloaded-files window
// and the about window, then the event loop until the main window closes.

int RunProgram(int argc, char** argv);
