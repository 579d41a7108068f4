#include "cli/savecalls.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cli {

const SaveCalls &SystemSaveCalls()
{
    static const SaveCalls calls = {
        [](const char *path, int flags, mode_t mode) { return ::open(path, flags, mode); },
        ::fchmod,
        ::write,
        ::fsync,
        ::linkat,
        ::close,
        ::rename,
    };
    return calls;
}

SaveCalls &CurrentSaveCalls()
{
    static SaveCalls calls = SystemSaveCalls();
    return calls;
}

} // namespace cli
