#pragma once
// The application: the whole run from start-up to shut-down, and the settings file.

class CUApp {
 public:
  // Start-up, the main dialog's modal loop and shut-down. Always false: there is no further
  // message loop. Called once by main after the Qt application and platform exist.
  bool InitInstance();

  // Reads "NV4_PARAM.QRD" in startDir over the defaults (every "AP." key, then the layouts),
  // applies the rectangle and folder fall-backs and resets the map image. A value too long
  // for its key leaves the key as it was; one message names the file and every such key.
  static void LoadSettings();
  // Writes "VERSION", every written "AP." key and the layouts to "NV4_PARAM.QRD" in startDir.
  static void SaveSettings();
};

class CAppUty;
struct ListLayout;

// Writes the layout's shown flags and widths under "<prefix>_d<i>" and "<prefix>_w<i>"; the
// settings' load reads them back with the rest of the file.
void SaveColumnLayout(const ListLayout* layout, const char* prefix);
