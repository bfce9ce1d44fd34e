// Stand-in until the settings land.
#include "app/cu_app.h"

void CUApp::LoadSettings() {}
void CUApp::SaveSettings() {}
void LoadColumnLayout(ListLayout*, const char*) {}
void SaveColumnLayout(const ListLayout*, const char*) {}
