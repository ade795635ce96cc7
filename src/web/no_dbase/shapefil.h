// SPDX-License-Identifier: MIT
#pragma once
// The browser edition has no dBASE files: this stands in for shapelib's header in the
// WebAssembly build, with the part of its interface tables/dbf_table.cpp uses. Every table
// fails to open or to be created (errno ENOTSUP), so that a command that would touch a file
// reports it as it reports any file it cannot use.

#ifdef __cplusplus
extern "C" {
#endif

typedef int* SAFile;
typedef unsigned long SAOffset;

typedef struct {
    SAFile (*FOpen)(const char* filename, const char* access);
    void (*Error)(const char* message);
} SAHooks;

typedef struct {
    SAFile fp;
    int nRecordLength;
    int nHeaderLength;
} DBFInfo;
typedef DBFInfo* DBFHandle;

void SASetupDefaultHooks(SAHooks* hooks);
DBFHandle DBFOpenLL(const char* filename, const char* access, SAHooks* hooks);
DBFHandle DBFCreateLL(const char* filename, const char* codePage, SAHooks* hooks);
void DBFClose(DBFHandle dbf);
void DBFUpdateHeader(DBFHandle dbf);
int DBFAddNativeFieldType(DBFHandle dbf, const char* name, char type, int width, int decimals);
void DBFSetLastModifiedDate(DBFHandle dbf, int year, int month, int day);
int DBFGetFieldCount(DBFHandle dbf);
int DBFGetRecordCount(DBFHandle dbf);
const char* DBFReadTuple(DBFHandle dbf, int record);
int DBFWriteTuple(DBFHandle dbf, int record, void* raw);

#ifdef __cplusplus
}
#endif
