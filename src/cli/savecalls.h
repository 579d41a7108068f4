#pragma once
// The system calls a save makes (cli/atomicfile.h), called through one table
// so that a test can make any one of them fail and see that the save says so,
// keeps the old file and leaves nothing behind. The program never changes it.
#include <sys/types.h>

namespace cli {

struct SaveCalls {
    int (*open)(const char *path, int flags, mode_t mode);
    int (*fchmod)(int fd, mode_t mode);
    ssize_t (*write)(int fd, const void *bytes, size_t size);
    int (*fsync)(int fd);
    int (*linkat)(int fromFolder, const char *from, int toFolder, const char *to, int flags);
    int (*close)(int fd);
    int (*rename)(const char *from, const char *to);
};

// The calls in use; the system's own unless a test replaced them.
SaveCalls &CurrentSaveCalls();
// The system's own calls, for a test to fall back on.
const SaveCalls &SystemSaveCalls();

} // namespace cli
