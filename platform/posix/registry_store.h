// Where the registry file lives and how it is read and replaced. Reads take
// no lock: the file is only ever replaced whole by a rename, so a reader sees
// either the old or the new file. Changes read, modify and replace the file
// under an advisory lock (flock on "<file>.lock"), so that several programs
// saving at once each apply their change to the others' result.
//
// A program waits for the lock a bounded time: about 2 s, longer only while
// other programs go on replacing the file. A holder that hangs therefore
// costs a change, never the program: the change fails, the file stays as it
// is, and one line on stderr says why. Nothing is written without the lock.
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
    Damaged,     // not a registry file: empty; moved aside when a change is written
};

// Reads the file into hive; a file that cannot be used leaves it empty.
// Inside this program's change group, the group's state with its changes.
LoadState Load(regfile::Hive& hive);

// Lets change modify the hive (it returns false when it changed nothing).
// Inside a change group the change joins the group's; otherwise the file is
// read under the lock, changed and replaced at once. Returns ERROR_SUCCESS,
// or an error without touching the file when the lock could not be had, the
// file could not be read, or it cannot be written. A damaged file is moved
// aside (to "<file>.damaged", or .damaged.1, ... never over an earlier one)
// before the first change replaces it, with one line on stderr.
LONG Update(const std::function<bool(regfile::Hive&)>& change);

// A change group runs from the first open of a key with write rights to the
// last close of one in this program: the changes made through the keys (a
// key created and its values set, then closed) reach the file together, in
// one replacement at the end, under the lock taken at the first change. Two
// programs saving at once leave one program's set, and a program killed on
// the way leaves the file as it was. EndGroup returns the final write's
// result. Each BeginGroup must be matched by one EndGroup.
void BeginGroup();
LONG EndGroup();

}  // namespace regstore
