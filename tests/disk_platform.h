// The real file system in a fresh working folder, with faked box, prompt
// and dialogs: for tests of what handlers do on disk.
#pragma once

#include "fakes.h"
#include "platform/std_file_system.h"
#include "temp_folder.h"

namespace fortelle::testing {

struct DiskPlatform {
    TempFolder folder;
    StdFileSystem files;
    Journal journal;
    Answers answers;
    FakeBox box{journal};
    FakePrompt prompt{journal, answers};
    FakeDialogs dialogs{journal, answers};
    Platform platform{box, prompt, files, dialogs};
};

} // namespace fortelle::testing
