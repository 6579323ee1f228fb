#pragma once
/* The host UI library: configuration data trees behind opaque handles, and the
 * profile option record. A plain C interface, so any caller can bind to it by
 * name. Text is NUL-terminated Windows-1252; a Boolean is one byte (non-zero is
 * true). Not thread-safe: callers use it from one thread. The custom-data text
 * format is described in docs/custom-data-format.md. */

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Handles are never 0 (0 means "none"). A tree handle is valid from
 * ZDB_DataTree_Create to ZDB_DataTree_Destroy; a node handle until its tree is
 * destroyed. Stale or foreign handles are refused: getters answer 0, false or
 * the empty text and setters do nothing. */
typedef uint32_t ZDBDataTreeHandle;
typedef uint32_t ZDBDataValueHandle;
typedef uint8_t ZDBBoolean;

typedef void (*ZDBToStringCallback)(void *context, const char *text);

/* Modes of ZDB_DataValue_FindSubItemByName. */
enum { ZDB_FindOrCreate = 0, ZDB_FindOnly = 1 };

/* 0 when the text is not a tree; the empty text (or NULL) is an empty tree. */
ZDBDataTreeHandle ZDB_DataTree_Create(const char *text);
void ZDB_DataTree_Destroy(ZDBDataTreeHandle tree);
ZDBDataValueHandle ZDB_DataTree_GetRoot(ZDBDataTreeHandle tree);
/* Calls back once, before returning, with the serialised tree. */
void ZDB_DataTree_ToString(ZDBDataTreeHandle tree, void *context, ZDBToStringCallback callback);

/* Returned text is owned by the library and stays valid at least until the
 * next call on the same node. */
const char *ZDB_DataValue_GetName(ZDBDataValueHandle value);
ZDBDataValueHandle ZDB_DataValue_FindSubItemByIndex(ZDBDataValueHandle value, int32_t index);
/* The first sub-node of that name; a missing one is appended (ZDB_FindOrCreate)
 * or answered with 0 (any other mode). */
ZDBDataValueHandle ZDB_DataValue_FindSubItemByName(ZDBDataValueHandle value, const char *name, uint32_t mode);
ZDBBoolean ZDB_DataValue_IsArray(ZDBDataValueHandle value);
void ZDB_DataValue_SetArray(ZDBDataValueHandle value, ZDBBoolean isArray);
/* Number of sub-nodes (an array's elements). */
int32_t ZDB_DataValue_ArraySize(ZDBDataValueHandle value);
const char *ZDB_DataValue_GetString(ZDBDataValueHandle value);
void ZDB_DataValue_SetString(ZDBDataValueHandle value, const char *text);
ZDBBoolean ZDB_DataValue_GetBool(ZDBDataValueHandle value);
void ZDB_DataValue_SetBool(ZDBDataValueHandle value, ZDBBoolean flag);
int32_t ZDB_DataValue_GetInt(ZDBDataValueHandle value);
void ZDB_DataValue_SetInt(ZDBDataValueHandle value, int32_t number);
uint32_t ZDB_DataValue_GetUInt(ZDBDataValueHandle value);
void ZDB_DataValue_SetUInt(ZDBDataValueHandle value, uint32_t number);

/* The record is declared in IPC_ResidentDeviceCommon_Types.h. */
struct TSIPDevice_Profile_Option_List;
void TSIPDevice_Profile_Option_List_Construct(struct TSIPDevice_Profile_Option_List *list);
void TSIPDevice_Profile_Option_List_Free(struct TSIPDevice_Profile_Option_List *list);

#ifdef __cplusplus
}
#endif
