// The system calls of the Windows serial port (port_win32.cpp), every one
// reached through one table so that a test can make any of them fail. Internal
// to the library: nothing here is exported.
#pragma once

#include <windows.h>

namespace duelcom {

struct SystemCalls {
  decltype(&::CreateFileA) CreateFileA;
  decltype(&::SetCommTimeouts) SetCommTimeouts;
  decltype(&::SetCommState) SetCommState;
  decltype(&::CreateEventW) CreateEventW;
  decltype(&::CreateThread) CreateThread;
  decltype(&::WriteFile) WriteFile;
  decltype(&::GetOverlappedResult) GetOverlappedResult;
  decltype(&::ReadFile) ReadFile;
  decltype(&::ClearCommError) ClearCommError;
  decltype(&::PurgeComm) PurgeComm;
  decltype(&::CancelIo) CancelIo;
  decltype(&::CloseHandle) CloseHandle;
  decltype(&::SetEvent) SetEvent;
  decltype(&::ResetEvent) ResetEvent;
  decltype(&::WaitForSingleObject) WaitForSingleObject;
  decltype(&::WaitForMultipleObjects) WaitForMultipleObjects;
};

// The table the port calls through; it starts with the real calls. Replace
// entries only while no port is open: the reader thread reads the table
// without a lock.
SystemCalls& PortSystemCalls();
// Puts the real calls back in the table.
void ResetPortSystemCalls();

}  // namespace duelcom
