#include "platform/std_file_system.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <filesystem>
#include <random>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fortelle {
namespace fs = std::filesystem;
namespace {

fs::path PathOf(std::string_view name) { return fs::path(std::string(name)); }

std::string Reason(int error) { return std::generic_category().message(error); }

bool WriteFully(int fd, std::string_view bytes)
{
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// The folder part of a path with its last slash; empty for a bare name.
std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// Creates ".NAME.XXXXXX" beside `target`, open for writing; never through a
// link, never over an existing file. Mode 0666 leaves it to the user's umask
// (and a folder's default ACL) who may read a new file, as for any file the
// user makes.
int CreateTempBeside(const std::string& target, std::string& tempName)
{
    static constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const std::string folder = FolderOf(target);
    const std::string prefix = folder + "." + target.substr(folder.size()) + ".";
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::uint64_t bits = (std::uint64_t{random()} << 32) ^ random();
        std::string name = prefix;
        for (int i = 0; i < 6; ++i, bits /= kLetters.size()) {
            name += kLetters[bits % kLetters.size()];
        }
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd >= 0) {
            tempName = std::move(name);
            return fd;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

// Waits until the folder's entries are on the disk, so that a file renamed
// into it is still found there after a power loss.
void SyncFolderOf(const std::string& path)
{
    const std::string folder = FolderOf(path);
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// Replaces `target` by a new file holding `bytes`: a temporary file beside
// it, then a rename, which replaces a link standing at the name instead of
// following it and fails on a folder. Returns 0 or the error number. A
// replaced regular file keeps its owner where that can be kept, and its mode
// without the set-ID bits: a saved text is no program to run with another's
// rights. `durable` waits until the bytes are on the disk before the rename,
// and for the folder after it, so that a power loss leaves the old file or
// the new one, never an empty one.
int ReplaceAtomically(const std::string& target, std::string_view bytes, bool durable)
{
    std::string tempName;
    const int fd = CreateTempBeside(target, tempName);
    if (fd < 0) return errno;
    struct stat old {};
    if (::lstat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
            [[maybe_unused]] const int kept = ::fchown(fd, old.st_uid, old.st_gid);
        }
        ::fchmod(fd, old.st_mode & 0777);
    }
    int error = WriteFully(fd, bytes) ? 0 : errno;
    if (error == 0 && durable && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    if (error == 0 && ::rename(tempName.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(tempName.c_str());
        return error;
    }
    if (durable) SyncFolderOf(target);
    return 0;
}

// Writes over `target` itself, for a folder that refuses new files. The
// space is reserved first, so that a full disk or a size limit fails before
// a byte of the old text is lost.
int WriteInPlace(const std::string& target, std::string_view bytes)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return errno;
    struct stat st {};
    int error = ::fstat(fd, &st) != 0 ? errno : (S_ISREG(st.st_mode) ? 0 : EINVAL);
    if (error == 0 && !bytes.empty()) {
        const int reserved = ::posix_fallocate(fd, 0, static_cast<off_t>(bytes.size()));
        if (reserved == ENOSPC || reserved == EFBIG || reserved == EDQUOT) error = reserved;
    }
    if (error == 0 && (st.st_mode & 06000) != 0) ::fchmod(fd, st.st_mode & 0777);
    if (error == 0 && !WriteFully(fd, bytes)) error = errno;
    if (error == 0 && ::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0) error = errno;
    if (error == 0 && ::fsync(fd) != 0) error = errno;
    if (::close(fd) != 0 && error == 0) error = errno;
    return error;
}

// The file that a chain of symbolic links ends at (the path itself when it
// is no link); returns 0 or the error number. A link's relative target is
// taken from the link's own folder. A target that does not exist yet is
// fine: saving creates it.
int FollowLinks(std::string path, std::string& target)
{
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
            target = std::move(path);
            return 0;
        }
        char buffer[4096];
        const ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer);
        if (n < 0) return errno;
        if (n == 0 || n == static_cast<ssize_t>(sizeof buffer)) return ENAMETOOLONG;
        std::string next(buffer, static_cast<std::size_t>(n));
        path = next.front() == '/' ? std::move(next) : FolderOf(path) + next;
    }
    return ELOOP;
}

} // namespace

bool StdFileSystem::refused(std::string_view name) const
{
    return keepNoFiles_ && (name.empty() || name.front() != '/');
}

bool StdFileSystem::exists(std::string_view name) const
{
    if (refused(name)) return false;
    std::error_code ec;
    return fs::symlink_status(PathOf(name), ec).type() != fs::file_type::not_found && !ec;
}

std::optional<std::string> StdFileSystem::readAll(std::string_view name, std::size_t limit) const
{
    if (refused(name)) return std::nullopt;
    // A blocking open of a FIFO waits for a writer, for ever if none comes;
    // open without waiting and look at what was opened before reading.
    const int fd = ::open(std::string(name).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::uint64_t>(st.st_size) > limit) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    bool failed = false;
    while (true) {
        if (got == bytes.size()) {
            // The file may have grown since fstat (or, as in /proc, have
            // given no size): keep reading to its end, which must come
            // before a byte past the limit.
            if (bytes.size() > limit) break;
            bytes.resize(bytes.size() + 4096);
        }
        const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
        if (n < 0) {
            if (errno == EINTR) continue;
            failed = true;
            break;
        }
        if (n == 0) break;
        got += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (failed || got > limit) return std::nullopt;
    bytes.resize(got);
    return bytes;
}

bool StdFileSystem::replaceWith(std::string_view name, std::string_view bytes)
{
    return !refused(name) && ReplaceAtomically(std::string(name), bytes, true) == 0;
}

bool StdFileSystem::writeScratch(std::string_view name, std::string_view bytes)
{
    return !refused(name) && ReplaceAtomically(std::string(name), bytes, false) == 0;
}

SaveResult StdFileSystem::save(std::string_view path, std::string_view bytes)
{
    if (refused(path)) return {false, Reason(ENOENT)};
    std::string target;
    if (const int error = FollowLinks(std::string(path), target)) return {false, Reason(error)};
    struct stat st {};
    const bool existing = ::lstat(target.c_str(), &st) == 0;
    if (existing) {
        if (S_ISDIR(st.st_mode)) return {false, Reason(EISDIR)};
        if (!S_ISREG(st.st_mode)) return {false, "Not a regular file"};
        // A writable folder lets a rename replace a file that its owner
        // write-protected or that belongs to someone else: the user may not
        // write such a file, so it is not replaced either.
        if (::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0) {
            return {false, errno == EACCES ? "The file is write-protected" : Reason(errno)};
        }
    }
    int error = ReplaceAtomically(target, bytes, true);
    // A folder that refuses a new file, or a rename over this one, still lets
    // the user write a file they may write.
    if (existing && (error == EACCES || error == EPERM)) error = WriteInPlace(target, bytes);
    if (error != 0) return {false, Reason(error)};
    return {true, {}};
}

bool StdFileSystem::removeFile(std::string_view name)
{
    if (refused(name)) return false;
    std::error_code ec;
    const auto type = fs::symlink_status(PathOf(name), ec).type();
    if (ec || type == fs::file_type::not_found || type == fs::file_type::directory) return false;
    return ::unlink(std::string(name).c_str()) == 0;
}

bool StdFileSystem::changeDirectory(std::string_view path)
{
    std::error_code ec;
    fs::current_path(PathOf(path), ec);
    if (!ec) keepNoFiles_ = false;
    return !ec;
}

bool StdFileSystem::isWritableFolder(std::string_view path) const
{
    // Try it: permission bits say nothing about read-only mounts, and the
    // super-user passes every permission test.
    std::error_code ec;
    if (!fs::is_directory(PathOf(path), ec)) return false;
    std::string probe = std::string(path) + "/.fortelle-probe.XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

std::vector<FolderEntry> StdFileSystem::listFiles() const
{
    std::vector<FolderEntry> files;
    if (keepNoFiles_) return files;
    const auto now = fs::file_time_type::clock::now();
    std::error_code ec;
    for (fs::directory_iterator it(".", ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code e;
        if (it->symlink_status(e).type() != fs::file_type::regular) continue;
        const auto changed = it->last_write_time(e);
        if (e) continue;
        files.push_back(
            {it->path().filename().string(), std::chrono::duration_cast<std::chrono::seconds>(now - changed)});
    }
    return files;
}

void IgnoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace fortelle
