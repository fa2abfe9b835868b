#include "platform/posix/registry_store.h"

#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/win32/advapi.h"

namespace regstore {

namespace {

// A registry file larger than this is not ours; it is treated as damaged.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;
// The wait for the lock: this long without any change of the file, and never
// longer than the cap.
constexpr auto kLockPatience = std::chrono::milliseconds(2000);
constexpr auto kLockCap = std::chrono::seconds(20);
// Temporary files are named "<file>.tmp-XXXXXX".
const char kTempInfix[] = ".tmp-";
constexpr size_t kTempSuffix = 6;

std::string HomeDirectory() {
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return home;
    long size = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    passwd entry;
    passwd* result = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &result) == 0 &&
        result != nullptr && result->pw_dir != nullptr) {
        return result->pw_dir;
    }
    return "";
}

// Creates the directories of path (not its last piece), as mkdir -p.
bool MakeParentDirectories(const std::string& path) {
    for (size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        std::string dir = path.substr(0, slash);
        if (mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST) return false;
    }
    return true;
}

std::string DirectoryOf(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string BaseName(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a rename must replace: the target of a symbolic link, so that a
// link into a dotfiles folder stays a link.
std::string ReplacedFile(const std::string& path) {
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char resolved[PATH_MAX];
        if (realpath(path.c_str(), resolved) != nullptr) return resolved;
    }
    return path;
}

LoadState ReadFile(const std::string& path, std::string& text) {
    text.clear();
    if (path.empty()) return LoadState::Unreadable;
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return errno == ENOENT ? LoadState::Missing : LoadState::Unreadable;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close(fd);
        return LoadState::Unreadable;
    }
    if (st.st_size > kMaxFileSize) {
        close(fd);
        return LoadState::Damaged;
    }
    char chunk[8192];
    for (;;) {
        ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            close(fd);
            text.clear();
            return LoadState::Unreadable;
        }
        if (n == 0) break;
        text.append(chunk, static_cast<size_t>(n));
        if (static_cast<off_t>(text.size()) > kMaxFileSize) {
            close(fd);
            return LoadState::Damaged;
        }
    }
    close(fd);
    return LoadState::Loaded;
}

LoadState LoadFrom(const std::string& path, regfile::Hive& hive) {
    hive = regfile::Hive{};
    std::string text;
    LoadState state = ReadFile(path, text);
    if (state != LoadState::Loaded) return state;
    if (!regfile::Parse(text, hive)) {
        hive = regfile::Hive{};
        return LoadState::Damaged;
    }
    return LoadState::Loaded;
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = write(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

// Whether target can be replaced: the file (when it exists) and its folder
// are writable.
LONG CheckWritable(const std::string& target) {
    if (access(target.c_str(), F_OK) == 0 && access(target.c_str(), W_OK) != 0) {
        return ERROR_ACCESS_DENIED;
    }
    if (access(DirectoryOf(target).c_str(), W_OK | X_OK) != 0) return ERROR_ACCESS_DENIED;
    return ERROR_SUCCESS;
}

// Removes temporary files beside target that a writer killed on the way left
// behind. Only called under the lock, when no writer of ours is at work.
void RemoveStaleTemporaries(const std::string& target) {
    const std::string prefix = BaseName(target) + kTempInfix;
    DIR* dir = opendir(DirectoryOf(target).c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = readdir(dir)) {
        const std::string name = entry->d_name;
        if (name.size() == prefix.size() + kTempSuffix &&
            name.compare(0, prefix.size(), prefix) == 0) {
            unlinkat(dirfd(dir), name.c_str(), 0);
        }
    }
    closedir(dir);
}

// Writes text to a temporary file beside target, flushes it to the disk and
// renames it over target.
LONG ReplaceFile(const std::string& target, const std::string& text) {
    struct stat old;
    const bool exists = stat(target.c_str(), &old) == 0;
    if (exists && access(target.c_str(), W_OK) != 0) return ERROR_ACCESS_DENIED;
    RemoveStaleTemporaries(target);

    std::string temp = target + kTempInfix + "XXXXXX";
    std::vector<char> name(temp.begin(), temp.end());
    name.push_back('\0');
    int fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return errno == EACCES ? ERROR_ACCESS_DENIED : ERROR_REGISTRY_IO_FAILED;
    bool ok = WriteAll(fd, text) && fsync(fd) == 0;
    if (ok && exists) ok = fchmod(fd, old.st_mode & 07777) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(name.data(), target.c_str()) != 0) {
        unlink(name.data());
        return ERROR_REGISTRY_IO_FAILED;
    }
    int dir = open(DirectoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        close(dir);
    }
    return ERROR_SUCCESS;
}

// Renames from to to unless to exists.
bool RenameNoReplace(const std::string& from, const std::string& to) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;
    // A file system without RENAME_NOREPLACE: a hard link fails when to exists.
    if (link(from.c_str(), to.c_str()) != 0) return false;
    unlink(from.c_str());
    return true;
}

// Moves a damaged file aside to the first free name of <file>.damaged,
// <file>.damaged.1, ... and says so on stderr. False when it could not be
// moved; the file must then not be replaced.
bool MoveAside(const std::string& target) {
    for (int n = 0; n < 1000; ++n) {
        std::string aside = target + ".damaged";
        if (n > 0) aside.append(".").append(std::to_string(n));
        if (RenameNoReplace(target, aside)) {
            std::fprintf(stderr,
                         "quorix: %s is not a registry file; it was moved to %s and the settings "
                         "start afresh\n",
                         target.c_str(), aside.c_str());
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

// The identity of the file as it is now, to see other programs replace it.
struct FileStamp {
    ino_t inode = 0;
    long seconds = 0, nanoseconds = 0;
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0) return {};
    return {st.st_ino, static_cast<long>(st.st_mtim.tv_sec), st.st_mtim.tv_nsec};
}

// Takes the lock of target, waiting while other programs hold it: up to
// kLockPatience after the last time the file changed, at most kLockCap in
// all. -1 when it could not be had.
int LockFile(const std::string& target) {
    const std::string lockPath = target + ".lock";
    int fd = open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    auto deadline = start + kLockPatience;
    FileStamp seen = StampOf(target);
    auto pause = std::chrono::milliseconds(1);
    for (;;) {
        if (flock(fd, LOCK_EX | LOCK_NB) == 0) return fd;
        if (errno != EWOULDBLOCK && errno != EINTR) break;
        const auto now = Clock::now();
        const FileStamp stamp = StampOf(target);
        if (!(stamp == seen)) {
            seen = stamp;
            deadline = now + kLockPatience;
        }
        if (now >= deadline || now - start >= kLockCap) {
            std::fprintf(stderr,
                         "quorix: %s is held by another program that does not let go; the "
                         "settings are not saved\n",
                         lockPath.c_str());
            break;
        }
        std::this_thread::sleep_for(pause);
        if (pause < std::chrono::milliseconds(20)) pause *= 2;
    }
    close(fd);
    return -1;
}

// Reads the file under the lock for a change. Damaged files start an empty
// hive and are remembered to be moved aside.
LONG LoadForChange(const std::string& target, regfile::Hive& hive, bool& damaged) {
    damaged = false;
    switch (LoadFrom(target, hive)) {
        case LoadState::Missing:
        case LoadState::Loaded:
            return ERROR_SUCCESS;
        case LoadState::Unreadable:
            return ERROR_ACCESS_DENIED;
        case LoadState::Damaged:
            damaged = true;
            return ERROR_SUCCESS;
    }
    return ERROR_REGISTRY_IO_FAILED;
}

// Replaces the file with the hive, moving a damaged one aside first.
LONG Commit(const std::string& target, const regfile::Hive& hive, bool damaged) {
    if (damaged && !MoveAside(target)) return ERROR_REGISTRY_CORRUPT;
    return ReplaceFile(target, regfile::Serialize(hive));
}

// The change group of this process, guarded by fileMutex. Its reads come
// from one reading of the file (the first), so that values read through one
// open key belong together; its first change reads the file again under the
// lock.
struct Group {
    int count = 0;
    bool read = false;  // hive holds the file as first read
    LoadState readState = LoadState::Missing;
    int lockFd = -1;               // held from the group's first change
    LONG failure = ERROR_SUCCESS;  // the first change failed: so do the rest
    std::string target;
    regfile::Hive hive;
    bool damaged = false;
    bool dirty = false;
};

std::mutex fileMutex;
Group group;

// The target and lock of a change, with its folder made.
LONG PrepareTarget(std::string& target) {
    const std::string path = RegistryPath();
    if (path.empty()) return ERROR_REGISTRY_IO_FAILED;
    if (!MakeParentDirectories(path)) return ERROR_ACCESS_DENIED;
    target = ReplacedFile(path);
    return ERROR_SUCCESS;
}

// Opens the group for changes: the lock, the file, and whether it can be
// written at all, so that a change that cannot reach the file fails at once.
LONG StartGroupChanges() {
    LONG rc = PrepareTarget(group.target);
    if (rc != ERROR_SUCCESS) return rc;
    group.lockFd = LockFile(group.target);
    if (group.lockFd < 0) return ERROR_LOCK_VIOLATION;
    rc = LoadForChange(group.target, group.hive, group.damaged);
    if (rc == ERROR_SUCCESS) rc = CheckWritable(group.target);
    return rc;
}

}  // namespace

std::string RegistryPath() {
    const char* file = std::getenv("QUORIX_REGISTRY");
    if (file != nullptr && file[0] != '\0') return file;
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') return std::string(config) + "/quorix/registry.reg";
    std::string home = HomeDirectory();
    if (home.empty()) return "";
    return home + "/.config/quorix/registry.reg";
}

LoadState Load(regfile::Hive& hive) {
    std::lock_guard<std::mutex> guard(fileMutex);
    if (group.count == 0) return LoadFrom(RegistryPath(), hive);
    if (group.lockFd >= 0 && group.failure == ERROR_SUCCESS) {
        hive = group.hive;
        return LoadState::Loaded;
    }
    if (!group.read) {
        group.readState = LoadFrom(RegistryPath(), group.hive);
        group.read = true;
    }
    hive = group.hive;
    return group.readState;
}

LONG Update(const std::function<bool(regfile::Hive&)>& change) {
    std::lock_guard<std::mutex> guard(fileMutex);
    if (group.count > 0) {
        if (group.lockFd < 0 && group.failure == ERROR_SUCCESS) {
            group.failure = StartGroupChanges();
        }
        if (group.failure != ERROR_SUCCESS) return group.failure;
        if (change(group.hive)) group.dirty = true;
        return ERROR_SUCCESS;
    }

    std::string target;
    LONG rc = PrepareTarget(target);
    if (rc != ERROR_SUCCESS) return rc;
    int lock = LockFile(target);
    if (lock < 0) return ERROR_LOCK_VIOLATION;
    regfile::Hive hive;
    bool damaged = false;
    rc = LoadForChange(target, hive, damaged);
    if (rc == ERROR_SUCCESS && change(hive)) rc = Commit(target, hive, damaged);
    close(lock);  // closing releases the lock
    return rc;
}

void BeginGroup() {
    std::lock_guard<std::mutex> guard(fileMutex);
    ++group.count;
}

LONG EndGroup() {
    std::lock_guard<std::mutex> guard(fileMutex);
    if (group.count == 0 || --group.count > 0) return ERROR_SUCCESS;
    LONG rc = group.failure;
    if (rc == ERROR_SUCCESS && group.dirty) rc = Commit(group.target, group.hive, group.damaged);
    if (group.lockFd >= 0) close(group.lockFd);
    group = Group{};
    return rc;
}

}  // namespace regstore
