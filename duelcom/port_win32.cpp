// The serial port on Windows: "COM1" or "COM2" at 2400 baud, 8N1, RTS/CTS.
//
// Every operation waits for its own completion, so the port behaves
// synchronously, but the handle is opened for overlapped I/O: on a handle
// opened without it the system serialises all I/O, and a packet written by the
// host's thread would wait behind the reader's pending read until the partner
// happened to send a byte. The reader waits on its I/O and on a stop event;
// closing sets the event, clears the event mask and purges the port.
#include <windows.h>

#include <atomic>
#include <cstdio>

#include "duelcom/port.h"

namespace duelcom {

namespace {

class Win32Port final : public Port {
 public:
  ~Win32Port() override { Close(); }

  bool Open(int number);
  bool StartReader(ByteSink sink) override;
  void Write(const Packet& packet) override;
  void Close() override;

 private:
  static DWORD WINAPI ReaderMain(void* self);
  void ReadLoop();
  // Waits for an overlapped operation of the reader; false when the port is
  // being closed (the operation is then cancelled and finished).
  bool AwaitReaderIo(OVERLAPPED& overlapped, DWORD& transferred);

  HANDLE Handle = INVALID_HANDLE_VALUE;
  HANDLE Thread = nullptr;
  HANDLE StopEvent = nullptr;
  HANDLE ReaderEvent = nullptr;
  HANDLE WriteEvent = nullptr;
  std::atomic<bool> Running{false};
  ByteSink Sink;
};

bool Win32Port::Open(int number) {
  if (number != 1 && number != 2) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    ReportSystemError("Failed to open port");
    return false;
  }
  Handle = CreateFileA(number == 1 ? "COM1" : "COM2", GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                       OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
  if (Handle == INVALID_HANDLE_VALUE) {
    ReportSystemError("Failed to open port");
    return false;
  }

  COMMTIMEOUTS timeouts{};
  timeouts.ReadIntervalTimeout = 0xFFFF;
  timeouts.ReadTotalTimeoutMultiplier = 0;
  timeouts.ReadTotalTimeoutConstant = 0;
  timeouts.WriteTotalTimeoutMultiplier = WriteTimeoutPerByteMs;
  timeouts.WriteTotalTimeoutConstant = WriteTimeoutConstantMs;
  if (!SetCommTimeouts(Handle, &timeouts)) {
    ReportSystemError("SetCommTimeouts failed");
    return false;
  }

  DCB dcb{};
  dcb.DCBlength = sizeof dcb;
  dcb.BaudRate = 2400;
  dcb.ByteSize = 8;
  dcb.Parity = NOPARITY;
  dcb.StopBits = ONESTOPBIT;
  dcb.fBinary = TRUE;
  dcb.fParity = FALSE;
  dcb.fOutxCtsFlow = TRUE;
  dcb.fOutxDsrFlow = FALSE;
  dcb.fDtrControl = DTR_CONTROL_ENABLE;
  dcb.fDsrSensitivity = FALSE;
  dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
  dcb.fOutX = FALSE;
  dcb.fInX = FALSE;
  dcb.fTXContinueOnXoff = FALSE;
  dcb.fErrorChar = FALSE;
  dcb.fNull = FALSE;
  dcb.fAbortOnError = FALSE;
  dcb.XonLim = 0;
  dcb.XoffLim = 0;
  // XON/XOFF flow control is off, so these two characters are never used, but
  // the driver refuses a state in which they are equal.
  dcb.XonChar = 0x11;
  dcb.XoffChar = 0x13;
  dcb.ErrorChar = 0;
  dcb.EofChar = 0;
  dcb.EvtChar = 0;
  if (!SetCommState(Handle, &dcb)) {
    ReportSystemError("SetCommState failed");
    return false;
  }
  return true;
}

bool Win32Port::StartReader(ByteSink sink) {
  Sink = std::move(sink);
  StopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  ReaderEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (!StopEvent || !ReaderEvent) {
    ReportSystemError("Error creating READ thread");
    return false;
  }
  Running.store(true);
  DWORD id = 0;
  Thread = CreateThread(nullptr, 0, &Win32Port::ReaderMain, this, 0, &id);
  if (!Thread) {
    Running.store(false);
    ReportSystemError("Error creating READ thread");
    return false;
  }
  return true;
}

DWORD WINAPI Win32Port::ReaderMain(void* self) {
  static_cast<Win32Port*>(self)->ReadLoop();
  return 0;
}

bool Win32Port::AwaitReaderIo(OVERLAPPED& overlapped, DWORD& transferred) {
  HANDLE waits[2] = {overlapped.hEvent, StopEvent};
  if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
    CancelIo(Handle);
    GetOverlappedResult(Handle, &overlapped, &transferred, TRUE);
    return false;
  }
  return true;
}

void Win32Port::ReadLoop() {
  if (!SetCommMask(Handle, EV_RXCHAR)) ReportSystemError("SetCommMask");
  while (Running.load()) {
    DWORD events = 0;
    DWORD transferred = 0;
    OVERLAPPED overlapped{};
    overlapped.hEvent = ReaderEvent;
    ResetEvent(ReaderEvent);
    if (!WaitCommEvent(Handle, &events, &overlapped)) {
      if (GetLastError() != ERROR_IO_PENDING) {
        if (Running.load()) ReportSystemError("WaitComEvent Error");
        break;
      }
      if (!AwaitReaderIo(overlapped, transferred)) break;
      if (!GetOverlappedResult(Handle, &overlapped, &transferred, FALSE)) {
        if (Running.load()) ReportSystemError("WaitComEvent Error");
        break;
      }
    }

    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(Handle, &errors, &status)) ReportSystemError("ClearCommError");

    // One byte per read; a read blocks until its byte has come.
    bool stopping = false;
    while (Running.load()) {
      std::uint8_t byte = 0;
      DWORD got = 0;
      overlapped = OVERLAPPED{};
      overlapped.hEvent = ReaderEvent;
      ResetEvent(ReaderEvent);
      if (!ReadFile(Handle, &byte, 1, nullptr, &overlapped)) {
        if (GetLastError() != ERROR_IO_PENDING) break;
        if (!AwaitReaderIo(overlapped, got)) {
          stopping = true;
          break;
        }
      }
      if (!GetOverlappedResult(Handle, &overlapped, &got, FALSE) || got != 1) break;
      if (!Running.load()) break;
      Sink(byte);
    }
    if (stopping) break;
  }
  PurgeComm(Handle, PURGE_RXCLEAR);
}

void Win32Port::Write(const Packet& packet) {
  if (!WriteEvent) WriteEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  OVERLAPPED overlapped{};
  overlapped.hEvent = WriteEvent;
  ResetEvent(WriteEvent);
  DWORD written = 0;
  if (!WriteFile(Handle, packet.data(), static_cast<DWORD>(packet.size()), nullptr, &overlapped)) {
    if (GetLastError() != ERROR_IO_PENDING) {
      ReportSystemError("sendc error");
      return;
    }
  }
  // A write cut short by its time-out completes with fewer bytes; that is
  // not an error.
  if (!GetOverlappedResult(Handle, &overlapped, &written, TRUE)) ReportSystemError("sendc error");
}

void Win32Port::Close() {
  if (Handle == INVALID_HANDLE_VALUE) return;
  Running.store(false);
  if (StopEvent) SetEvent(StopEvent);
  SetCommMask(Handle, 0);
  PurgeComm(Handle, PURGE_TXABORT | PURGE_RXABORT | PURGE_TXCLEAR | PURGE_RXCLEAR);
  if (Thread) {
    WaitForSingleObject(Thread, INFINITE);
    CloseHandle(Thread);
    Thread = nullptr;
  }
  CloseHandle(Handle);
  Handle = INVALID_HANDLE_VALUE;
  for (HANDLE* event : {&StopEvent, &ReaderEvent, &WriteEvent}) {
    if (*event) CloseHandle(*event);
    *event = nullptr;
  }
}

}  // namespace

std::unique_ptr<Port> OpenSerialPort(int number) {
  auto port = std::make_unique<Win32Port>();
  if (!port->Open(number)) return nullptr;  // the destructor closes what was opened
  return port;
}

std::uint32_t TickCountMs() { return GetTickCount(); }

void ReportSystemError(const char* label) {
  const DWORD code = GetLastError();
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0,
      nullptr);
  std::printf("%s:(%d) %s\n", label, static_cast<int>(code), length && text ? text : "");
  std::fflush(stdout);
  if (text) LocalFree(text);
}

}  // namespace duelcom
