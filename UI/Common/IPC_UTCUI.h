#pragma once
// The records of the UI automation that the host and the plug-in exchange: the
// kind of a command, its parameters and the command block that carries its
// result. Their layouts are a contract, checked below.

#include <cstddef>
#include <cstdint>

// The kind of a command, and the wrapper operation that runs it.
enum UTC2UICommand : int32_t {
    utc_command = 0,     // UTCCommand: a window handle or a status
    utc_set = 1,         // UTCSet: a boolean
    utc_get = 2,         // UTCGet: a text
    utc_table_add = 3,   // UTCTableAdd: a boolean
    utc_table_find = 4,  // UTCTableFind: a boolean
    utc_table_get = 5,   // UTCTableGet: a text
    utc_table_set = 6,   // UTCTableSet: a boolean
    utc_help = 7,        // no operation
};

// The parameters of a command. The texts are zero-terminated 8-bit text in the
// system's default code page, owned by the sender; wrappers only read them.
struct cparm {
    int32_t wid;      // the target window (0: the active one); wrappers never read it
    const char *name; // the command's or the field's logical name
    const char *p2;   // the value to set, a form class name, a column name or tag
    const char *p3;   // the text to look for in a column, or the value for a cell
};
using Pcparm = cparm *;
// The text fields are pointers of this platform: 16 bytes where they take 4, 32 where they take 8.
static_assert(offsetof(cparm, name) == sizeof(void *) && offsetof(cparm, p2) == 2 * sizeof(void *) &&
              offsetof(cparm, p3) == 3 * sizeof(void *) && sizeof(cparm) == 4 * sizeof(void *));

// The command block: 269 bytes without gaps.
#pragma pack(push, 1)
struct UTCData {
    UTC2UICommand command;
    // The eventfd descriptor that is signalled once when the result is ready; 0 for none.
    uint32_t event;
    int32_t int_result;
    bool bool_result;
    // Zero-terminated 8-bit text of at most 255 bytes.
    char str_result[256];
};
#pragma pack(pop)
using PUTCData = UTCData *;
static_assert(sizeof(UTCData) == 269);
static_assert(offsetof(UTCData, event) == 4 && offsetof(UTCData, int_result) == 8 &&
              offsetof(UTCData, bool_result) == 12 && offsetof(UTCData, str_result) == 13);

// A window handle as the automation passes it. All bits set means failure or
// a name that the wrapper does not handle; 0 success without a window.
using HWND = uint32_t;
constexpr HWND INVALID_HWND = 0xFFFFFFFFu;
