// Where the registry file lives and how it is read and replaced. Reads take
// no lock: the file is only ever replaced whole by a rename, so a reader sees
// either the old or the new file. Changes read, modify and replace the file
// under an advisory lock (flock on "<file>.lock"), so that several programs
// saving at once each apply their change to the others' result.
#pragma once

#include <functional>
#include <string>

#include "platform/posix/registry_file.h"
#include "platform/win32/types.h"

namespace regstore {

// $QUORIX_REGISTRY, else $XDG_CONFIG_HOME/quorix/registry.reg (an absolute
// XDG_CONFIG_HOME only), else ~/.config/quorix/registry.reg. Empty when no
// home directory is known.
std::string RegistryPath();

enum class LoadState {
    Missing,     // no file yet: an empty hive, writable
    Loaded,      // parsed (an empty or blank file included)
    Unreadable,  // exists but cannot be read: empty, never replaced
    Damaged,     // not a registry file: empty, never replaced
};

// Reads the file into hive; a file that cannot be used leaves it empty.
LoadState Load(regfile::Hive& hive);

// Reads the file under the lock, lets change modify the hive (it returns
// false when it changed nothing) and replaces the file atomically with the
// result. Returns ERROR_SUCCESS, or an error without touching the file when
// it could not be read or parsed, or cannot be written.
LONG Update(const std::function<bool(regfile::Hive&)>& change);

// A write session holds the file's lock from its first begin to its last end
// in this process, so that the changes made through one open key (a key
// created and its values set, then closed) reach the file as a group: two
// programs saving at once leave one program's set of values, not a mix.
// Each successful BeginSession must be matched by one EndSession.
bool BeginSession();
void EndSession();

}  // namespace regstore
