// Everything a button handler may reach outside the program's own logic.
#pragma once

#include "platform/dialogs.h"
#include "platform/file_system.h"
#include "platform/output_box.h"
#include "platform/prompt.h"

namespace fortelle {

struct Platform {
    OutputBox& box;
    Prompt& prompt;
    FileSystem& files;
    Dialogs& dialogs;
};

} // namespace fortelle
