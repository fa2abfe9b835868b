// What a program on the real Win32 sets up before its first window.
#pragma once

#include <string>

// Registers the common controls the dialogs use (the trackbar). False, with a
// message in *error, if they are not available.
bool WindowsStartSession(std::string* error);
