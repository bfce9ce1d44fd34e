#pragma once
// The program's two ways of failing, and its formatted window texts. Every text is formatted
// with the printf conventions (numbers in the C locale) and cut at 1023 characters.

#include <string>

#include "platform/platform.h"

// The main dialog: null until the main dialog is initialised and again once its window is gone.
// Owner of ReportError's boxes and of the choosers; its caption is the program's status line.
extern platform::WindowHandle MainDialog;

inline constexpr int kMaxMessageChars = 1023;

// Formats like snprintf into at most kMaxMessageChars characters.
std::string FormatMessageText(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Shows the text captioned "HalvexV2 Fatal Error" with the stop icon, unowned, then ends the
// process with exit code -9. The settings are not saved.
[[noreturn]] void FatalError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Shows the text captioned "NortavelV4" with an OK button, owned by MainDialog, and returns
// when the user closed the box.
void ReportError(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Sets the text of a window's item; nothing happens when the window or the item is missing.
void SetDlgItemTextF(platform::WindowHandle window, int itemId, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Sets MainDialog's caption (the status line); nothing happens while there is no main dialog.
void SetMainCaptionF(const char* format, ...) __attribute__((format(printf, 1, 2)));
