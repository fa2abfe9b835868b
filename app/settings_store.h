// The settings store: the saver's three settings as REG_DWORD values under
// HKEY_CURRENT_USER\Software\<registry key>\<profile name>\<section>, where the
// registry key and profile name are the application object's (the company
// name and the application name) and the section is "Settings" unless a
// caller names another. No key handle stays open between operations.
#pragma once

#include <cstdint>

#include "platform/win32.h"

// The three settings; 0 in a field means "not set": each consumer then uses
// its default (random style, 52 balls, size 38). -1 tells WriteSettingsValues
// to leave that value as it is.
struct SaverSettings {
    int32_t style = 0;        // 0 random, 1 normal, 2 green, 3 squash
    int32_t numOfBalls = 0;   // the dialog offers 20..100
    int32_t sizeOfBalls = 0;  // the dialog offers 30..60
};

// "Style", "NumOfBalls", "SizOfBalls" and a null entry, in the field order.
extern const char* const kSettingsValueNames[4];

// 1 when HKEY_CURRENT_USER\Software\<registry key>\<profile name> opens, else 0.
int SettingsKeyExists();

// Opens the whole path with the section (null: "Settings"), creating what is
// missing. Null when a piece cannot be opened or created, or when the
// application has no registry key or profile name.
HKEY CreateSettingsKey(const char* section);

// Writes the text values that are not null as REG_SZ and the 32-bit values
// that are not -1 as REG_DWORD. Either name list may be null; each ends with a
// null entry. Returns 1 when the key opened (single write errors are
// ignored), 0 when it did not.
int WriteSettingsValues(const char* const* textNames, const char* const* textValues,
                        const char* const* dwordNames, const int32_t* dwordValues,
                        const char* section);

// Reads the text values into the buffers that are not null (512 bytes each,
// always ended with a zero) and the 32-bit values into their fields. A value
// that cannot be read leaves its field as it was. Returns 0 when every value
// was read, else the error code of the last read that failed; -1 when the key
// did not open.
int ReadSettingsValues(const char* const* textNames, char* const* textBuffers,
                       const char* const* dwordNames, int32_t* dwordValues, const char* section);

// The same path rules for a given registry key and profile name; the
// functions above pass the application object's.
int SettingsKeyExistsFor(const char* registryKey, const char* profileName);
HKEY CreateSettingsKeyFor(const char* registryKey, const char* profileName, const char* section);

// The program's use: the record through kSettingsValueNames, section "Settings".
int ReadSaverSettings(SaverSettings& settings);
int WriteSaverSettings(const SaverSettings& settings);
