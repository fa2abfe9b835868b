// Resource access over the table of embedded resources. An HRSRC is the table
// entry itself; the resource data is never copied, so LoadResource and
// LockResource both return the embedded bytes.
#include <mutex>

#include "platform/posix/resources_table.h"
#include "platform/win32/kernel.h"

namespace {

// Guarded by TableLock(); both are function-local so that entries defined at
// namespace scope in other files can register during static initialisation.
EmbeddedResource*& TableHead() {
    static EmbeddedResource* head = nullptr;
    return head;
}

std::mutex& TableLock() {
    static std::mutex lock;
    return lock;
}

// An integer resource, or a text "#digits" naming one; 0 when neither.
WORD ResourceNumber(LPCSTR name) {
    if (name == nullptr) return 0;
    if (IS_INTRESOURCE(name)) return LOWORD(reinterpret_cast<ULONG_PTR>(name));
    if (name[0] != '#' || name[1] == '\0') return 0;
    unsigned long value = 0;
    for (const char* p = name + 1; *p != '\0'; ++p) {
        if (*p < '0' || *p > '9') return 0;
        value = value * 10 + static_cast<unsigned long>(*p - '0');
        if (value > 0xFFFF) return 0;
    }
    return static_cast<WORD>(value);
}

}  // namespace

EmbeddedResource::EmbeddedResource(WORD type, WORD id, const void* data, DWORD size)
    : m_type(type), m_id(id), m_data(data), m_size(size) {
    std::lock_guard<std::mutex> guard(TableLock());
    m_next = TableHead();
    TableHead() = this;
}

EmbeddedResource::~EmbeddedResource() {
    std::lock_guard<std::mutex> guard(TableLock());
    for (EmbeddedResource** link = &TableHead(); *link != nullptr; link = &(*link)->m_next) {
        if (*link == this) {
            *link = m_next;
            break;
        }
    }
}

const EmbeddedResource* EmbeddedResource::Find(WORD type, WORD id) {
    std::lock_guard<std::mutex> guard(TableLock());
    for (const EmbeddedResource* entry = TableHead(); entry != nullptr; entry = entry->m_next) {
        if (entry->m_type == type && entry->m_id == id) return entry;
    }
    return nullptr;
}

HRSRC WINAPI FindResourceA(HMODULE, LPCSTR lpName, LPCSTR lpType) {
    WORD id = ResourceNumber(lpName);
    WORD type = ResourceNumber(lpType);
    if (id == 0 || type == 0) return nullptr;
    const EmbeddedResource* entry = EmbeddedResource::Find(type, id);
    return reinterpret_cast<HRSRC>(const_cast<EmbeddedResource*>(entry));
}

HGLOBAL WINAPI LoadResource(HMODULE, HRSRC hResInfo) {
    if (hResInfo == nullptr) return nullptr;
    auto* entry = reinterpret_cast<const EmbeddedResource*>(hResInfo);
    return const_cast<void*>(entry->data());
}

LPVOID WINAPI LockResource(HGLOBAL hResData) {
    return hResData;
}

DWORD WINAPI SizeofResource(HMODULE, HRSRC hResInfo) {
    if (hResInfo == nullptr) return 0;
    return reinterpret_cast<const EmbeddedResource*>(hResInfo)->size();
}
