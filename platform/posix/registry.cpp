// The registry functions over the registry file. A key handle holds the key's
// full path; every call reads the file afresh (several programs may share it)
// and every change goes through regstore::Update, within the change group
// that keys opened with write rights keep open until they are closed. Handles are checked
// against the table of open handles, so a stale or foreign handle gives
// ERROR_INVALID_HANDLE instead of a crash.
#include <mutex>
#include <new>
#include <set>
#include <string>

#include "platform/posix/registry_file.h"
#include "platform/posix/registry_store.h"
#include "platform/win32/advapi.h"

namespace {

const char kCurrentUser[] = "HKEY_CURRENT_USER";

struct OpenKey {
    std::string path;
    bool group;  // keeps the change group of the registry file open
};

std::mutex& HandleLock() {
    static std::mutex lock;
    return lock;
}

std::set<OpenKey*>& Handles() {
    static std::set<OpenKey*> handles;
    return handles;
}

// The path of a handle: the root of HKEY_CURRENT_USER or an open key.
bool PathOf(HKEY key, std::string& path) {
    if (key == HKEY_CURRENT_USER) {
        path = kCurrentUser;
        return true;
    }
    std::lock_guard<std::mutex> guard(HandleLock());
    auto* open = reinterpret_cast<OpenKey*>(key);
    if (Handles().count(open) == 0) return false;
    path = open->path;
    return true;
}

// Rights that change the registry; a key opened with one of them keeps the
// change group open until it is closed.
bool WantsWrite(REGSAM sam) {
    return (sam & (KEY_SET_VALUE | KEY_CREATE_SUB_KEY)) != 0;
}

HKEY NewHandle(const std::string& path, bool group) {
    auto* open = new (std::nothrow) OpenKey{path, group};
    if (open == nullptr) {
        if (group) regstore::EndGroup();
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(HandleLock());
    Handles().insert(open);
    return reinterpret_cast<HKEY>(open);
}

// Appends a sub-key path to base. One trailing "\" is allowed; a leading one,
// an empty piece or a control character is not.
LONG JoinPath(const std::string& base, LPCSTR subKey, std::string& path) {
    path = base;
    if (subKey == nullptr || subKey[0] == '\0') return ERROR_SUCCESS;
    std::string sub = subKey;
    if (sub.back() == '\\') sub.pop_back();
    if (sub.empty() || sub[0] == '\\' || sub.find("\\\\") != std::string::npos ||
        !regfile::IsStorableName(sub)) {
        return ERROR_INVALID_PARAMETER;
    }
    path += "\\" + sub;
    return ERROR_SUCCESS;
}

bool IsRoot(const std::string& path) {
    return path == kCurrentUser;
}

}  // namespace

LONG WINAPI RegOpenKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, REGSAM samDesired, PHKEY phkResult) {
    if (phkResult == nullptr) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::string base, path;
    if (!PathOf(hKey, base)) return ERROR_INVALID_HANDLE;
    LONG rc = JoinPath(base, lpSubKey, path);
    if (rc != ERROR_SUCCESS) return rc;
    const bool group = WantsWrite(samDesired);
    if (group) regstore::BeginGroup();
    if (!IsRoot(path)) {
        regfile::Hive hive;
        regstore::Load(hive);
        if (!regfile::KeyExists(hive, path)) {
            if (group) regstore::EndGroup();
            return ERROR_FILE_NOT_FOUND;
        }
    }
    *phkResult = NewHandle(path, group);
    return *phkResult != nullptr ? ERROR_SUCCESS : ERROR_OUTOFMEMORY;
}

LONG WINAPI RegCreateKeyExA(HKEY hKey, LPCSTR lpSubKey, DWORD, LPSTR, DWORD, REGSAM samDesired,
                            const LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition) {
    if (phkResult == nullptr || lpSubKey == nullptr) return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    std::string base, path;
    if (!PathOf(hKey, base)) return ERROR_INVALID_HANDLE;
    LONG rc = JoinPath(base, lpSubKey, path);
    if (rc != ERROR_SUCCESS) return rc;

    // The group opens before the key is made, so that making the key and
    // setting its values reach the file together.
    const bool group = WantsWrite(samDesired);
    if (group) regstore::BeginGroup();
    bool created = false;
    if (!IsRoot(path)) {
        regfile::Hive hive;
        regstore::Load(hive);
        if (!regfile::KeyExists(hive, path)) {
            rc = regstore::Update([&](regfile::Hive& h) {
                regfile::EnsureKey(h, path, &created);
                return created;
            });
            if (rc != ERROR_SUCCESS) {
                if (group) regstore::EndGroup();
                return rc;
            }
        }
    }
    *phkResult = NewHandle(path, group);
    if (*phkResult == nullptr) return ERROR_OUTOFMEMORY;
    if (lpdwDisposition != nullptr) {
        *lpdwDisposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    return ERROR_SUCCESS;
}

LONG WINAPI RegQueryValueExA(HKEY hKey, LPCSTR lpValueName, LPDWORD, LPDWORD lpType, LPBYTE lpData,
                             LPDWORD lpcbData) {
    std::string path;
    if (!PathOf(hKey, path)) return ERROR_INVALID_HANDLE;
    if (lpData != nullptr && lpcbData == nullptr) return ERROR_INVALID_PARAMETER;
    regfile::Hive hive;
    regstore::Load(hive);
    const regfile::Value* value = regfile::FindValue(hive, path, lpValueName ? lpValueName : "");
    if (value == nullptr) return ERROR_FILE_NOT_FOUND;

    if (lpType != nullptr) *lpType = value->type;
    const DWORD size = static_cast<DWORD>(value->data.size());
    if (lpData == nullptr) {
        if (lpcbData != nullptr) *lpcbData = size;
        return ERROR_SUCCESS;
    }
    const DWORD room = *lpcbData;
    *lpcbData = size;
    if (room < size) return ERROR_MORE_DATA;
    for (DWORD i = 0; i < size; ++i)
        lpData[i] = value->data[i];
    return ERROR_SUCCESS;
}

LONG WINAPI RegSetValueExA(HKEY hKey, LPCSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData,
                           DWORD cbData) {
    std::string path;
    if (!PathOf(hKey, path)) return ERROR_INVALID_HANDLE;
    if (IsRoot(path)) return ERROR_ACCESS_DENIED;  // no values at the root
    if (lpData == nullptr && cbData != 0) return ERROR_INVALID_PARAMETER;
    const std::string name = lpValueName ? lpValueName : "";
    if (!regfile::IsStorableName(name)) return ERROR_INVALID_PARAMETER;
    return regstore::Update([&](regfile::Hive& hive) {
        regfile::SetValue(hive, path, name, dwType, lpData, cbData);
        return true;
    });
}

// Closing the last key with write rights writes the group's changes; a write
// that fails is reported here.
LONG WINAPI RegCloseKey(HKEY hKey) {
    if (hKey == HKEY_CURRENT_USER) return ERROR_SUCCESS;
    auto* open = reinterpret_cast<OpenKey*>(hKey);
    {
        std::lock_guard<std::mutex> guard(HandleLock());
        if (Handles().erase(open) == 0) return ERROR_INVALID_HANDLE;
    }
    const LONG rc = open->group ? regstore::EndGroup() : ERROR_SUCCESS;
    delete open;
    return rc;
}
