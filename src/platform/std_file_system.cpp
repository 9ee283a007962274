#include "platform/std_file_system.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fortelle {
namespace fs = std::filesystem;
namespace {

fs::path PathOf(std::string_view name) { return fs::path(std::string(name)); }

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

// A temporary file beside `target`, open for writing; its name is returned
// through `tempName`.
int CreateTempBeside(const fs::path& target, std::string& tempName)
{
    fs::path dir = target.parent_path();
    std::string pattern = (dir.empty() ? std::string() : dir.string() + "/") + "." +
                          target.filename().string() + ".XXXXXX";
    int fd = ::mkstemp(pattern.data());
    if (fd >= 0) {
        ::fchmod(fd, 0644);
        tempName = pattern;
    }
    return fd;
}

} // namespace

bool StdFileSystem::exists(std::string_view name) const
{
    std::error_code ec;
    return fs::symlink_status(PathOf(name), ec).type() != fs::file_type::not_found && !ec;
}

std::optional<std::string> StdFileSystem::readAll(std::string_view name, std::size_t limit) const
{
    // A blocking open of a FIFO waits for a writer, for ever if none comes;
    // open without waiting and look at what was opened before reading.
    const int fd = ::open(std::string(name).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > limit) {
        ::close(fd);
        return std::nullopt;
    }
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    bool failed = false;
    while (true) {
        if (got == bytes.size()) {
            // The file may have grown since fstat; keep reading to its end.
            if (bytes.size() >= limit) break;
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
    const fs::path target = PathOf(name);
    std::string tempName;
    const int fd = CreateTempBeside(target, tempName);
    if (fd < 0) return false;
    // A file that is replaced keeps its permissions.
    struct stat old {};
    if (::lstat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd, old.st_mode & 07777);
    bool ok = WriteFully(fd, bytes);
    ok = (::close(fd) == 0) && ok;
    // rename() replaces a link standing at the name instead of following it,
    // and fails on a folder, which is then left alone.
    if (ok) ok = ::rename(tempName.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(tempName.c_str());
    return ok;
}

bool StdFileSystem::removeFile(std::string_view name)
{
    std::error_code ec;
    const auto type = fs::symlink_status(PathOf(name), ec).type();
    if (ec || type == fs::file_type::not_found || type == fs::file_type::directory) return false;
    return ::unlink(std::string(name).c_str()) == 0;
}

bool StdFileSystem::changeDirectory(std::string_view path)
{
    std::error_code ec;
    fs::current_path(PathOf(path), ec);
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

void IgnoreFileSizeSignal()
{
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace fortelle
