// Stand-in until start-up lands.
#include "app/cu_app.h"

bool CUApp::InitInstance() { return false; }
