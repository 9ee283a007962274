// Files that never hang the program, never end it, and are never lost or
// shown to others.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdarg>
#include <fstream>
#include <functional>
#include <regex>

#include "disk_platform.h"
#include "filetools/decoding.h"
#include "filetools/text_tools.h"
#include "lottery/digit_games.h"
#include "lottery/lotto.h"
#include "shell/calculator.h"
#include "shell/pipeline.h"
#include "shell/startup.h"

// Every fsync and rename: logged while `g_log` is set (their order is what
// lets a write survive a power loss); after a rename, `g_afterRename` may do
// what another window or another user could do next. While `g_fsyncFails`
// is set, fsync fails as on a disk that lost the bytes; the next
// `g_namesTaken` new files opened with O_EXCL find their name taken.
static std::vector<std::string>* g_log = nullptr;
static std::function<void()> g_afterRename;
static bool g_fsyncFails = false;
static int g_namesTaken = 0;

extern "C" int fsync(int fd)
{
    static const auto real = reinterpret_cast<int (*)(int)>(::dlsym(RTLD_NEXT, "fsync"));
    if (g_log) {
        const auto path = std::filesystem::read_symlink("/proc/self/fd/" + std::to_string(fd));
        g_log->push_back("fsync " + path.string());
    }
    if (g_fsyncFails) return errno = EIO, -1;
    return real(fd);
}

extern "C" int open(const char* path, int flags, ...)
{
    static const auto real = reinterpret_cast<int (*)(const char*, int, ...)>(::dlsym(RTLD_NEXT, "open"));
    va_list rest;
    va_start(rest, flags);
    const int mode = (flags & O_CREAT) != 0 ? va_arg(rest, int) : 0;
    va_end(rest);
    if ((flags & O_EXCL) != 0 && g_namesTaken > 0) return --g_namesTaken, errno = EEXIST, -1;
    return real(path, flags, mode);
}

extern "C" int rename(const char* from, const char* to) noexcept
{
    static const auto real = reinterpret_cast<int (*)(const char*, const char*)>(::dlsym(RTLD_NEXT, "rename"));
    if (g_log) g_log->push_back(std::string("rename ") + to);
    const int result = real(from, to);
    if (g_afterRename) g_afterRename();
    return result;
}

namespace fortelle {
namespace {

namespace fs = std::filesystem;
using testing::DiskPlatform;

// Runs `work` in a child process and returns its result, or how the child
// ended otherwise. With `asNobody` a super-user child becomes user "nobody",
// for whom permissions apply. An alarm ends a child that hangs.
std::string InChild(const std::function<std::string()>& work, bool asNobody = false)
{
    const passwd* nobody = ::getpwnam("nobody");
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) return "<no pipe>";
    if (::fork() == 0) {
        ::alarm(30);
        if (asNobody && ::geteuid() == 0 &&
            (!nobody || ::setgroups(0, nullptr) != 0 || ::setgid(nobody->pw_gid) != 0 ||
             ::setuid(nobody->pw_uid) != 0)) {
            ::_exit(99);
        }
        const std::string out = work();
        const bool sent = ::write(fds[1], out.data(), out.size()) == static_cast<ssize_t>(out.size());
        ::_exit(sent ? 0 : 98);
    }
    ::close(fds[1]);
    std::string out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) out.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::wait(&status);
    if (WIFSIGNALED(status)) return "<killed by signal " + std::to_string(WTERMSIG(status)) + ">";
    return WEXITSTATUS(status) == 0 ? out : "<exit " + std::to_string(WEXITSTATUS(status)) + ">";
}

TEST(SpecialFiles, AFifoOrALinkToOneHoldsNoValuesAndOpensEmptyWithoutWaiting)
{
    // Protects: the window, which must not wait for a writer that never comes.
    for (const bool throughLink : {false, true}) {
        DiskPlatform d;
        ::mkfifo("fifo", 0600);
        throughLink ? fs::create_symlink("fifo", "Lotto.INI") : void(::mkfifo("Lotto.INI", 0600));
        const std::string seen = InChild([&d] {
            d.answers = {"49", "6", "12", (d.folder.path() / "fifo").string()};
            RunWholeNumberCalculator(LottoCalculator(), d.platform);
            const bool shown = d.box.content == WholeNumberReport(LottoCalculator(), {});
            RunOpen(d.platform);
            return d.prompt.asked.at(0).offered + (shown ? " shown [" : " [") + d.box.content + "]";
        });
        EXPECT_EQ(seen, "0 shown []") << (throughLink ? "link" : "fifo");
    }
}

TEST(ScratchFile, TheBoxShowsTheReportOfThisClickWhateverTakesTheFilesPlace)
{
    // Protects: the report the click computed, and the window, which must
    // not wait on a FIFO put in the scratch file's place.
    const std::string report = Pick3Report();
    const char* kinds[] = {"another window's report of the same length", "a FIFO", "a link to one"};
    for (int kind = 0; kind < 3; ++kind) {
        testing::TempFolder folder;
        const std::string shown = InChild([&] {
            StdFileSystem files;
            testing::Journal journal;
            testing::FakeBox box(journal);
            g_afterRename = [&] {
                fs::remove("zavixs");
                if (kind == 0) std::ofstream("zavixs") << std::string(report.size(), '#');
                if (kind > 0) ::mkfifo(kind == 1 ? "zavixs" : "fifo", 0600);
                if (kind == 2) fs::create_symlink("fifo", "zavixs");
            };
            ShowReport(files, box, report);
            return box.content;
        });
        EXPECT_EQ(shown, report) << kinds[kind];
    }
}

TEST(FileSizeLimit, BothProgramsTakeAWriteBeyondTheLimitAsAFailure)
{
    // Protects: the programs, which the signal for a file grown beyond the
    // limit would end.
    const std::string cli = FORTELLE_CLI, window = fs::path(cli).parent_path() / "fortelle";
    for (const auto& [run, limit] : std::vector<std::pair<std::vector<std::string>, rlim_t>>{
             {{cli, "soccer", "40000"}, 100000}, {{window, "--version"}, 0}, {{window, "--help"}, 0}}) {
        if (!fs::exists(run[0])) continue; // a build without the window
        testing::TempFolder folder;
        const std::string ended = InChild([&run = run, limit = limit] {
            ::dup2(::open("out", O_WRONLY | O_CREAT, 0644), 1);
            ::signal(SIGXFSZ, SIG_DFL);
            const rlimit bytes{limit, limit};
            ::setrlimit(RLIMIT_FSIZE, &bytes);
            std::vector<char*> argv;
            for (const std::string& a : run) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            return std::string("<no exec>");
        });
        EXPECT_EQ(ended, "<exit 1>") << run[0];
    }
}

TEST(Save, WritesThroughLinksInPlaceWhereItMustAndSaysWhyWhenItCannot)
{
    // Protects: write-protected files, links, and the user's belief that a
    // file was saved.
    const passwd* nobody = ::getpwnam("nobody");
    if (!nobody) GTEST_SKIP() << "no user nobody to save as";
    DiskPlatform d;
    fs::permissions(d.folder.path(), fs::perms(0755));
    // "open" is nobody's folder; nobody may not add files to "closed".
    for (const char* name : {"open/", "open/dir/", "closed/", "open/protected.txt", "open/target.txt", "open/big.txt",
                             "open/unsynced.txt", "closed/mine.txt", "closed/big.txt", "open/link"}) {
        const fs::path path = d.folder.path() / name;
        if (std::string(name).ends_with("/")) fs::create_directories(path);
        if (path.extension() == ".txt") d.folder.write(name, path.filename() == "mine.txt" ? "older text" : "old");
        if (path.filename() == "link") fs::create_symlink("target.txt", path);
        if (!std::string(name).starts_with("closed/") || path.extension() == ".txt") {
            ASSERT_EQ(::lchown(path.c_str(), nobody->pw_uid, nobody->pw_gid), 0);
        }
    }
    fs::permissions(d.folder.path() / "open/protected.txt", fs::perms(0444));
    // The kernel keeps a set-group-ID bit without group execution on a write.
    fs::permissions(d.folder.path() / "closed/mine.txt", fs::perms(02640));
    const std::tuple<const char*, const char*, bool> cases[] = {
        // The name chosen, what the message says (nothing when saved), and
        // whether the disk fails to keep what was written.
        {"open/protected.txt", "The file is write-protected", false},
        {"open/unsynced.txt", "Input/output error", true},
        {"open/link", "", false},
        {"open/dir", "Is a directory", false},
        {"open/big.txt", "File too large", false},
        {"closed/mine.txt", "", false}, // written in place
        {"closed/mine.txt", "Input/output error", true},
        {"closed/big.txt", "File too large", false},
        {"closed/new.txt", "Permission denied", false},
    };
    for (const auto& [name, error, fsyncFails] : cases) {
        const std::string path = (d.folder.path() / name).string();
        const std::string shown = InChild(
            [&, name = name, error = error, fsyncFails = fsyncFails] {
                // Started without standard input (a launcher's "<&-"), the
                // file written in place opens as descriptor 0.
                if (std::string(name) == "closed/mine.txt" && !fsyncFails) ::close(0);
                d.box.content = std::string(std::string(error) == "File too large" ? 100000 : 3, 'x');
                d.answers = {path};
                testing::FileSizeLimit limit(50000);
                g_fsyncFails = fsyncFails;
                RunSave(d.platform);
                for (const std::string& line : d.journal) {
                    if (line.starts_with("error ")) return line;
                }
                return std::string();
            },
            true);
        EXPECT_EQ(shown, *error ? "error \"Save Combinations\" " +
                                      testing::Quoted("Could not save \"" + path + "\": " + error + ".")
                                : "");
    }
    for (const char* name : {"open/target.txt", "closed/mine.txt"}) EXPECT_EQ(d.folder.read(name), "xxx") << name;
    for (const char* name : {"open/protected.txt", "open/unsynced.txt", "open/big.txt", "closed/big.txt"}) {
        EXPECT_EQ(d.folder.read(name), "old") << name;
    }
    EXPECT_EQ(fs::status(d.folder.path() / "closed/mine.txt").permissions(), fs::perms(0640));
    EXPECT_TRUE(fs::is_symlink(d.folder.path() / "open/link"));
    EXPECT_FALSE(d.folder.has("closed/new.txt"));
    for (const auto& e : fs::recursive_directory_iterator(d.folder.path())) {
        EXPECT_FALSE(e.path().filename().string().starts_with(".")) << e.path(); // no temporary
    }
}

TEST(Durability, FilesKeptReachTheDiskBeforeTheRenameAndTheFolderAfterIt)
{
    // Protects: parameter files and saved files from a power loss.
    DiskPlatform d;
    const std::string folder = fs::canonical(d.folder.path()), saved = folder + "/saved.txt";
    const std::vector<std::pair<std::function<void()>, std::vector<std::string>>> cases{
        {[&] {
             WriteParameterFile(d.files, "Lotto.INI", std::vector<double>{49, 6, 12}, {1, 1, 1});
         },
         {"fsync " + folder + "/.Lotto.INI.XXXXXX", "rename Lotto.INI", "fsync " + folder}},
        {[&] {
             d.answers = {saved};
             RunSave(d.platform);
         },
         {"fsync " + folder + "/.saved.txt.XXXXXX", "rename " + saved, "fsync " + folder}},
        // The scratch file is deleted at once: nothing to wait for.
        {[&] { ShowReport(d.files, d.box, Pick3Report()); }, {"rename zavixs"}},
        // A file that exists is replaced the same way, once.
        {[&] { d.files.save(saved, "again"); },
         {"fsync " + folder + "/.saved.txt.XXXXXX", "rename " + saved, "fsync " + folder}},
    };
    // Then again started without standard input, where the temporary file
    // and then the folder open as descriptor 0.
    const int input = ::dup(0);
    for (const bool withoutInput : {false, true}) {
        if (withoutInput) ::close(0);
        for (const auto& [write, expected] : cases) {
            std::vector<std::string> log;
            g_log = &log;
            write();
            g_log = nullptr;
            // A temporary file's name ends in six random letters.
            for (std::string& line : log) {
                line = std::regex_replace(line, std::regex(R"((/\.[^/]+\.)\w{6}$)"), "$1XXXXXX");
            }
            EXPECT_EQ(log, expected) << withoutInput;
        }
    }
    ::dup2(input, 0);
    ::close(input);
}

TEST(StdFiles, EachCallAnswersWhatTheFileSystemDid)
{
    // Protects: the callers, which must not take a name the system refuses
    // for a file, a write that did not reach the disk for a saved one, or a
    // taken temporary name for a full folder.
    DiskPlatform d;
    StdFileSystem& files = d.files;
    const std::string folder = d.folder.path().string() + "/";
    constexpr std::size_t kAll = FileSystem::kNoLimit;
    d.folder.write("file", "abc");
    fs::create_directory("dir");
    fs::create_symlink("nowhere", "dangling");
    ::mkfifo("fifo", 0600);
    for (const char* name : {"file", "dir", "dangling", "fifo"}) EXPECT_TRUE(files.exists(name)) << name;
    for (const std::string& name : {std::string("missing"), std::string("file/x"), std::string(300, 'n')}) {
        EXPECT_FALSE(files.exists(name)) << name.substr(0, 10);
    }
    EXPECT_EQ(files.readAll("file", 3), "abc");
    // Tried, not judged by its permission bits: the super-user cannot add
    // a file to /proc either.
    EXPECT_TRUE(files.isWritableFolder(folder));
    // Started without standard input, the probe opens as descriptor 0.
    EXPECT_EQ(InChild([&] {
                  ::close(0);
                  return std::to_string(files.isWritableFolder(folder)) + *files.readAll("file", 3);
              }),
              "1abc");
    for (const char* name : {"/proc", "file", "missing"}) EXPECT_FALSE(files.isWritableFolder(name)) << name;
    // The system gives /proc/self/status a size of 0; it holds more bytes.
    // Reading /proc/self/mem from its start fails: a failed read is no text.
    for (const auto& [name, limit] : {std::pair{"file", 2ul},
                                      {"fifo", kAll},
                                      {"dir", kAll},
                                      {"missing", kAll},
                                      {"/proc/self/status", 0ul},
                                      {"/proc/self/mem", kAll}}) {
        EXPECT_EQ(files.readAll(name, limit), std::nullopt) << name;
    }
    // A link at the name gives way to a new file of the umask's mode.
    const mode_t umask = ::umask(022);
    EXPECT_TRUE(files.replaceWith("dangling", "new"));
    ::umask(umask);
    EXPECT_EQ(fs::symlink_status("dangling").permissions(), fs::perms(0644));
    EXPECT_FALSE(d.folder.has("nowhere"));
    // A taken temporary name: another is tried, a hundred times in all.
    g_namesTaken = 3;
    EXPECT_TRUE(files.replaceWith("file", "def"));
    g_namesTaken = 100;
    EXPECT_FALSE(files.replaceWith("file", "ghi"));
    g_namesTaken = 0;
    g_fsyncFails = true;
    EXPECT_FALSE(files.replaceWith("file", "jkl"));
    EXPECT_TRUE(files.writeScratch("scratch", "not waited for"));
    g_fsyncFails = false;
    EXPECT_EQ(d.folder.read("file"), "def");
    // Saved through 39 links (the first one's target a full path); 40 are too many.
    for (int i = 1; i <= 40; ++i) {
        fs::create_symlink(i == 1 ? folder + "file" : "link" + std::to_string(i - 1), "link" + std::to_string(i));
    }
    const auto save = [&](const std::string& name) {
        const SaveResult r = files.save(name, "through");
        return r.saved ? "saved" : r.reason;
    };
    EXPECT_EQ(save(folder + "link39"), "saved");
    EXPECT_EQ(d.folder.read("file"), "through");
    EXPECT_EQ(save(folder + "link40"), "Too many levels of symbolic links");
    EXPECT_EQ(save(folder + "fifo"), "Not a regular file");
    // A link is deleted, not what it points to; a folder or nothing is not.
    EXPECT_TRUE(files.removeFile("link40"));
    EXPECT_FALSE(files.removeFile("missing"));
    EXPECT_FALSE(files.removeFile("dir"));
    EXPECT_TRUE(d.folder.has("link39") && fs::is_directory("dir") && !d.folder.has("link40"));
    // With no place for files, relative names are nothing, until a folder is found.
    files.keepNoFiles();
    EXPECT_FALSE(files.exists("file") || files.readAll("file", kAll) || files.replaceWith("new", "x") ||
                 files.writeScratch("new", "x") || files.removeFile("file") || !files.listFiles().empty());
    EXPECT_EQ(save("file"), "No such file or directory");
    EXPECT_TRUE(files.exists(folder + "file"));
    EXPECT_FALSE(files.changeDirectory(folder + "missing"));
    EXPECT_FALSE(files.exists("file"));
    EXPECT_TRUE(files.changeDirectory(folder));
    EXPECT_TRUE(files.exists("file"));
    EXPECT_EQ(d.folder.read("file"), "through");
    EXPECT_FALSE(d.folder.has("new"));
}

TEST(Modes, NewFilesFollowTheUmaskAndReplacedOnesKeepTheirModeWithoutSetId)
{
    // Protects: the privacy a umask asks for, and the rights a file had.
    struct Case {
        mode_t umask;
        int before; // the mode of the file replaced, or -1 for a new file
        mode_t after;
    };
    for (const Case& c : {Case{077, -1, 0600}, Case{027, -1, 0640}, Case{022, 04755, 0755}, Case{022, 02640, 0640},
                          Case{0, 0600, 0600}}) {
        DiskPlatform d;
        for (const char* name : {"Lotto.INI", "saved.txt"}) {
            if (c.before < 0) continue;
            d.folder.write(name, "old");
            if (::geteuid() == 0) {
                ASSERT_EQ(::chown(name, 0, 1), 0); // the owner's choice of group stays
            }
            fs::permissions(name, fs::perms(c.before));
        }
        const mode_t saved = ::umask(c.umask);
        WriteParameterFile(d.files, "Lotto.INI", std::vector<double>{49, 6, 12}, {1, 1, 1});
        d.answers = {(d.folder.path() / "saved.txt").string()};
        RunSave(d.platform);
        ::umask(saved);
        for (const char* name : {"Lotto.INI", "saved.txt"}) {
            EXPECT_EQ(static_cast<mode_t>(fs::status(name).permissions()), c.after) << name << " from " << c.before;
            struct stat st {};
            if (c.before >= 0 && ::geteuid() == 0) {
                ASSERT_EQ(::stat(name, &st), 0);
                EXPECT_EQ(st.st_gid, 1u) << name;
            }
        }
    }
}

TEST(Leftovers, StartUpRemovesOnlyItsOwnTemporaryFilesADayOld)
{
    // Protects: every file but the program's own day-old temporary files,
    // and the one another window is writing now.
    DiskPlatform d;
    const std::vector<std::pair<std::string, bool>> files{
        {".Lotto.INI.a1B2c3", true},     {".zavixs.Zz09aQ", true},     {".StDv.INI.xxxxxx", true},
        {".zavixs.Zz09aQ.bak", false},   {".notes.txt.a1B2c3", false}, {".Lotto.INI.a1B2c", false},
        {"Lotto.INI.a1B2c3", false},     {".INI.a1B2c3", false},       {".Lotto.INI.a1-2c3", false},
        {".SoccerBet.INI.folder", false}};
    std::vector<std::string> kept{".Horses.INI.fresh1"};
    d.folder.write(kept[0], "being written");
    for (const auto& [name, removed] : files) {
        name.ends_with("folder") ? void(fs::create_directory(name)) : d.folder.write(name, "x");
        fs::last_write_time(name, fs::file_time_type::clock::now() - std::chrono::hours(25));
        if (!removed) kept.push_back(name);
    }
    testing::FakeBanner banner;
    RunStartup(banner, d.files, d.box, d.folder.path().string(), [] { return std::string(); });
    std::sort(kept.begin(), kept.end());
    EXPECT_EQ(d.folder.entries(), kept);
    // The same in the per-user folder a system-wide install writes to.
    d.folder.write(".Lotto.INI.q1w2e3", "x");
    fs::last_write_time(".Lotto.INI.q1w2e3", fs::file_time_type::clock::now() - std::chrono::hours(25));
    RunStartup(banner, d.files, d.box, "/usr/bin", [&] { return d.folder.path().string(); });
    EXPECT_EQ(d.folder.entries(), kept);
}

TEST(NoPlaceForFiles, ReportsShowDefaultsAreOfferedAndNothingIsWrittenOrDeleted)
{
    // Protects: the folder the program was started from, and a user's file
    // there that bears the scratch file's name.
    DiskPlatform d;
    d.folder.write("zavixs", "a user's own file");
    testing::FakeBanner banner;
    // Installed for the whole system, and no per-user folder can be made.
    RunStartup(banner, d.files, d.box, "/usr/bin", [] { return std::string(); });
    for (int run = 0; run < 2; ++run) {
        d.answers = {"40", "5", "10"};
        RunWholeNumberCalculator(LottoCalculator(), d.platform);
        EXPECT_EQ(d.prompt.asked.at(3 * run).offered, "49"); // nothing was remembered
        EXPECT_EQ(d.box.content, WholeNumberReport(LottoCalculator(), std::vector<std::string>{"40", "5", "10"}));
    }
    EXPECT_EQ(d.folder.entries(), std::vector<std::string>{"zavixs"});
    EXPECT_EQ(d.folder.read("zavixs"), "a user's own file");
    // A file the user names in full still saves.
    d.answers = {(d.folder.path() / "kept.txt").string()};
    RunSave(d.platform);
    EXPECT_EQ(d.folder.read("kept.txt"), WithCrLf(d.box.content));
}

} // namespace
} // namespace fortelle
