// The overlapped part of the Linux file services: ReadFileEx, alertable
// SleepEx, GetOverlappedResult and CancelIo over hidraw nodes, with the
// contracts of their Windows namesakes. file_services.cpp puts them into
// the file group.
#pragma once

#include "base/win32_types.h"

namespace hid::linux_backend {

BOOL WINAPI ReadFileEx(HANDLE hFile, void* lpBuffer, DWORD nNumberOfBytesToRead, OVERLAPPED* lpOverlapped,
                       LPOVERLAPPED_COMPLETION_ROUTINE lpCompletionRoutine);
DWORD WINAPI SleepEx(DWORD dwMilliseconds, BOOL bAlertable);
BOOL WINAPI GetOverlappedResult(HANDLE hFile, OVERLAPPED* lpOverlapped, DWORD* lpNumberOfBytesTransferred, BOOL bWait);
BOOL WINAPI CancelIo(HANDLE hFile);

}  // namespace hid::linux_backend
