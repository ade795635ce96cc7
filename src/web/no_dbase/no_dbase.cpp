// SPDX-License-Identifier: MIT
// No dBASE file opens in the browser edition (see shapefil.h beside this file).

#include <cerrno>

#include "shapefil.h"

extern "C" {

void SASetupDefaultHooks(SAHooks* hooks) {
    hooks->FOpen = nullptr;
    hooks->Error = nullptr;
}

DBFHandle DBFOpenLL(const char*, const char*, SAHooks*) {
    errno = ENOTSUP;
    return nullptr;
}

DBFHandle DBFCreateLL(const char*, const char*, SAHooks*) {
    errno = ENOTSUP;
    return nullptr;
}

// No handle is ever made, so these are never reached with one.
void DBFClose(DBFHandle) {}
void DBFUpdateHeader(DBFHandle) {}
int DBFAddNativeFieldType(DBFHandle, const char*, char, int, int) {
    return -1;
}
void DBFSetLastModifiedDate(DBFHandle, int, int, int) {}
int DBFGetFieldCount(DBFHandle) {
    return 0;
}
int DBFGetRecordCount(DBFHandle) {
    return 0;
}
const char* DBFReadTuple(DBFHandle, int) {
    return nullptr;
}
int DBFWriteTuple(DBFHandle, int, void*) {
    return 0;
}
}
