// The version entries, kept in section ".vq_version" as NUL-separated key and
// value texts ending with an empty key, so that the host can read them from
// the file before it loads any plug-in code.

#include "VersionInfo.h"

__attribute__((section(VQ_VERSION_SECTION), used, aligned(1)))
const char VersionEntries[] =
    "FileVersion\0" "14.0.6.0\0"
    "Internal Version\0" "14.0.6\0"
    "InternalName\0" "DP_LYN2\0"
    "OriginalFilename\0" "DP_LYN2.PLG\0"
    "Device Plugin Interface\0" "8\0"
    "Min DP Interface\0" "7\0"
    "Min Software Version\0" "2.5.47300\0";
