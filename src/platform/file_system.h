// The file operations the program needs, on names relative to the working
// directory.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fortelle {

// What became of a save: done, or the reason it was not, in words for the
// person who asked for it.
struct SaveResult {
    bool saved = false;
    std::string reason;
};

// A file in the working directory and how long ago it was last changed.
struct FolderEntry {
    std::string name;
    std::chrono::seconds age{0};
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // True when something of that name exists (a file, a folder, a link).
    virtual bool exists(std::string_view name) const = 0;

    // The whole content of a regular file, or nothing when it cannot be read.
    // Anything else (a FIFO, a device, a folder) cannot be read either, and
    // never makes the caller wait. Reading stops with nothing when the file
    // is longer than `limit` bytes.
    virtual std::optional<std::string> readAll(std::string_view name, std::size_t limit = kNoLimit) const = 0;

    // Replaces the file with exactly these bytes, or changes nothing: the
    // bytes go to a temporary file first, which then takes the name once they
    // are on the disk. A link standing at the name is replaced, not written
    // through. A new file takes the mode the user's umask leaves; a replaced
    // one keeps its mode, without the set-user-ID and set-group-ID bits.
    virtual bool replaceWith(std::string_view name, std::string_view bytes) = 0;

    // As replaceWith, for a file that is deleted again at once: it does not
    // wait for the disk.
    virtual bool writeScratch(std::string_view name, std::string_view bytes) { return replaceWith(name, bytes); }

    // Writes a file the user chose, as an editor does: through symbolic links
    // to the file they name, which is replaced whole (a temporary file in its
    // own folder, then a rename) and keeps its mode; where that folder
    // refuses new files, the file is written over in place. A file the user
    // may not write, a folder or a special file is refused.
    virtual SaveResult save(std::string_view path, std::string_view bytes)
    {
        if (replaceWith(path, bytes)) return {true, {}};
        return {false, "The file could not be written"};
    }

    // Deletes a file or a link of that name; folders are never deleted.
    virtual bool removeFile(std::string_view name) = 0;

    // Makes `path` the working directory; false when it cannot be used.
    virtual bool changeDirectory(std::string_view path) = 0;

    // True when files can be created in the folder `path`.
    virtual bool isWritableFolder(std::string_view path) const = 0;

    // The regular files of the working directory.
    virtual std::vector<FolderEntry> listFiles() const { return {}; }

    // For a program with no place to keep its files: from now on names
    // relative to the working directory neither exist nor can be read,
    // written or deleted. Full paths, which the user chose, work as before.
    virtual void keepNoFiles() {}

    static constexpr std::size_t kNoLimit = static_cast<std::size_t>(-1);
};

} // namespace fortelle
