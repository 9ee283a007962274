// The file system of the machine, through the C++ and POSIX libraries.
#pragma once

#include "platform/file_system.h"

namespace fortelle {

class StdFileSystem final : public FileSystem {
public:
    bool exists(std::string_view name) const override;
    std::optional<std::string> readAll(std::string_view name, std::size_t limit) const override;
    bool replaceWith(std::string_view name, std::string_view bytes) override;
    bool writeScratch(std::string_view name, std::string_view bytes) override;
    SaveResult save(std::string_view path, std::string_view bytes) override;
    bool removeFile(std::string_view name) override;
    bool changeDirectory(std::string_view path) override;
    bool isWritableFolder(std::string_view path) const override;
    std::vector<FolderEntry> listFiles() const override;
    void keepNoFiles() override { keepNoFiles_ = true; }

private:
    // True for a name in the working directory once it holds nothing.
    bool refused(std::string_view name) const;

    bool keepNoFiles_ = false;
};

// A write beyond the file-size limit (ulimit -f) sends SIGXFSZ, which ends
// the program; ignored, the write fails with EFBIG like any other, and the
// program goes on as it does on a full disk. Each program calls this first.
void IgnoreFileSizeSignal();

} // namespace fortelle
