#include "platform/posix/registry_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/win32/registry.h"

namespace regstore {

namespace {

// A registry file larger than this is not ours; it is treated as damaged.
constexpr off_t kMaxFileSize = 16 * 1024 * 1024;

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
    hive.keys.clear();
    std::string text;
    LoadState state = ReadFile(path, text);
    if (state != LoadState::Loaded) return state;
    if (!regfile::Parse(text, hive)) {
        hive.keys.clear();
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

// Writes text to a temporary file beside target, flushes it to the disk and
// renames it over target.
LONG ReplaceFile(const std::string& target, const std::string& text) {
    struct stat old;
    const bool exists = stat(target.c_str(), &old) == 0;
    if (exists && access(target.c_str(), W_OK) != 0) return ERROR_ACCESS_DENIED;

    std::string temp = target + ".XXXXXX";
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

// The lock state of this process: changes are serialised by fileMutex, and a
// write session keeps the file lock in sessionFd between its begin and end.
std::mutex fileMutex;
int sessionFd = -1;
int sessionCount = 0;
std::string sessionLockPath;

int LockFile(const std::string& path) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return -1;
    int rc;
    do {
        rc = flock(fd, LOCK_EX);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        close(fd);
        return -1;
    }
    return fd;
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
    return LoadFrom(RegistryPath(), hive);
}

LONG Update(const std::function<bool(regfile::Hive&)>& change) {
    const std::string path = RegistryPath();
    if (path.empty()) return ERROR_REGISTRY_IO_FAILED;
    if (!MakeParentDirectories(path)) return ERROR_ACCESS_DENIED;
    const std::string target = ReplacedFile(path);
    const std::string lockPath = target + ".lock";

    std::lock_guard<std::mutex> guard(fileMutex);
    int ownLock = -1;
    if (sessionFd < 0 || sessionLockPath != lockPath) {
        ownLock = LockFile(lockPath);
        if (ownLock < 0) return ERROR_ACCESS_DENIED;
    }
    LONG rc = ERROR_SUCCESS;
    regfile::Hive hive;
    switch (LoadFrom(target, hive)) {
        case LoadState::Missing:
        case LoadState::Loaded:
            if (change(hive)) rc = ReplaceFile(target, regfile::Serialize(hive));
            break;
        case LoadState::Unreadable:
            rc = ERROR_ACCESS_DENIED;
            break;
        case LoadState::Damaged:
            rc = ERROR_REGISTRY_CORRUPT;
            break;
    }
    if (ownLock >= 0) close(ownLock);  // closing releases the lock
    return rc;
}

bool BeginSession() {
    std::lock_guard<std::mutex> guard(fileMutex);
    if (sessionCount > 0) {
        ++sessionCount;
        return true;
    }
    const std::string path = RegistryPath();
    if (path.empty() || !MakeParentDirectories(path)) return false;
    sessionLockPath = ReplacedFile(path) + ".lock";
    sessionFd = LockFile(sessionLockPath);
    if (sessionFd < 0) return false;
    sessionCount = 1;
    return true;
}

void EndSession() {
    std::lock_guard<std::mutex> guard(fileMutex);
    if (sessionCount == 0) return;
    if (--sessionCount == 0) {
        close(sessionFd);
        sessionFd = -1;
    }
}

}  // namespace regstore
