#pragma once
// Makes the compiled-in images (":/banner.jpg", ":/menu/...") available;
// the program and the window tests call it once at start.
void LoadProgramResources();
