#include "app/settings_store.h"

#include <cstring>

#include "platform/framework/winapp.h"

const char* const kSettingsValueNames[4] = {"Style", "NumOfBalls", "SizOfBalls", nullptr};

namespace {

constexpr int kTextBufferSize = 512;
const char kDefaultSection[] = "Settings";

const char* AppRegistryKey() {
    CWinApp* app = AfxGetApp();
    return app != nullptr ? app->m_pszRegistryKey : nullptr;
}

const char* AppProfileName() {
    CWinApp* app = AfxGetApp();
    return app != nullptr ? app->m_pszProfileName : nullptr;
}

bool Missing(const char* piece) {
    return piece == nullptr || piece[0] == '\0';
}

}  // namespace

int SettingsKeyExistsFor(const char* registryKey, const char* profileName) {
    if (Missing(registryKey) || Missing(profileName)) return 0;
    const char* const pieces[] = {"Software", registryKey, profileName};
    HKEY key = HKEY_CURRENT_USER;
    for (const char* piece : pieces) {
        HKEY next = nullptr;
        LONG rc = RegOpenKeyExA(key, piece, 0, KEY_READ | KEY_WRITE, &next);
        if (key != HKEY_CURRENT_USER) RegCloseKey(key);
        if (rc != ERROR_SUCCESS) return 0;
        key = next;
    }
    RegCloseKey(key);
    return 1;
}

HKEY CreateSettingsKeyFor(const char* registryKey, const char* profileName, const char* section) {
    // Without the application's names the path would end early and the values
    // would land in a key of their own above the application's; refuse.
    if (Missing(registryKey) || Missing(profileName)) return nullptr;
    const char* const pieces[] = {"Software", registryKey, profileName,
                                  section != nullptr ? section : kDefaultSection};
    HKEY key = HKEY_CURRENT_USER;
    for (const char* piece : pieces) {
        HKEY next = nullptr;
        LONG rc = RegCreateKeyExA(key, piece, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                                  nullptr, &next, nullptr);
        if (key != HKEY_CURRENT_USER) RegCloseKey(key);
        if (rc != ERROR_SUCCESS) return nullptr;
        key = next;
    }
    return key;
}

int SettingsKeyExists() {
    return SettingsKeyExistsFor(AppRegistryKey(), AppProfileName());
}

HKEY CreateSettingsKey(const char* section) {
    return CreateSettingsKeyFor(AppRegistryKey(), AppProfileName(), section);
}

int WriteSettingsValues(const char* const* textNames, const char* const* textValues,
                        const char* const* dwordNames, const int32_t* dwordValues,
                        const char* section) {
    HKEY key = CreateSettingsKey(section);
    if (key == nullptr) return 0;
    for (int i = 0; textNames != nullptr && textNames[i] != nullptr; ++i) {
        const char* value = textValues != nullptr ? textValues[i] : nullptr;
        if (value == nullptr) continue;
        RegSetValueExA(key, textNames[i], 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                       static_cast<DWORD>(std::strlen(value) + 1));
    }
    for (int i = 0; dwordNames != nullptr && dwordValues != nullptr && dwordNames[i] != nullptr;
         ++i) {
        if (dwordValues[i] == -1) continue;
        const int32_t value = dwordValues[i];
        RegSetValueExA(key, dwordNames[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), 4);
    }
    RegCloseKey(key);
    return 1;
}

int ReadSettingsValues(const char* const* textNames, char* const* textBuffers,
                       const char* const* dwordNames, int32_t* dwordValues, const char* section) {
    HKEY key = CreateSettingsKey(section);
    if (key == nullptr) return -1;
    int result = 0;
    for (int i = 0; textNames != nullptr && textNames[i] != nullptr; ++i) {
        char* buffer = textBuffers != nullptr ? textBuffers[i] : nullptr;
        if (buffer == nullptr) continue;
        DWORD size = kTextBufferSize;
        LONG rc = RegQueryValueExA(key, textNames[i], nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(buffer), &size);
        if (rc != ERROR_SUCCESS) {
            result = static_cast<int>(rc);
            continue;
        }
        // Stored data need not end with a zero; the buffer always does.
        if (size == 0 || buffer[size - 1] != '\0') {
            buffer[size < kTextBufferSize ? size : kTextBufferSize - 1] = '\0';
        }
    }
    for (int i = 0; dwordNames != nullptr && dwordValues != nullptr && dwordNames[i] != nullptr;
         ++i) {
        DWORD size = 4;
        LONG rc = RegQueryValueExA(key, dwordNames[i], nullptr, nullptr,
                                   reinterpret_cast<BYTE*>(&dwordValues[i]), &size);
        if (rc != ERROR_SUCCESS) result = static_cast<int>(rc);
    }
    RegCloseKey(key);
    return result;
}

int ReadSaverSettings(SaverSettings& settings) {
    int32_t values[3] = {settings.style, settings.numOfBalls, settings.sizeOfBalls};
    int result = ReadSettingsValues(nullptr, nullptr, kSettingsValueNames, values, nullptr);
    settings.style = values[0];
    settings.numOfBalls = values[1];
    settings.sizeOfBalls = values[2];
    return result;
}

int WriteSaverSettings(const SaverSettings& settings) {
    const int32_t values[3] = {settings.style, settings.numOfBalls, settings.sizeOfBalls};
    return WriteSettingsValues(nullptr, nullptr, kSettingsValueNames, values, nullptr);
}
