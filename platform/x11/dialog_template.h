// Reading in-memory dialog templates (DLGTEMPLATE and DLGTEMPLATEEX) into
// plain records, texts converted from UTF-16 to Windows-1252.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32.h"

struct DialogItemLayout {
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT units = {};  // x, y, x + cx, y + cy in dialog units
    DWORD id = 0;
    std::string className;  // ordinals become "Button", "Static", ...
    std::string text;
    int textOrdinal = -1;  // a resource id given instead of a text (icons), else -1
};

struct DialogLayout {
    bool extended = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    RECT units = {};
    std::string className;  // empty: the dialog class
    std::string caption;
    bool hasFont = false;
    int pointSize = 0;
    int weight = FW_NORMAL;
    bool italic = false;
    std::string face;
    std::vector<DialogItemLayout> items;
};

// False for a null template or one whose counts or strings run past
// `limit` bytes (the template's size when known; templates from memory with
// unknown size are read up to 64 KiB, as a template cannot be larger).
bool ParseDialogTemplate(const void* dialogTemplate, size_t limit, DialogLayout* out);
