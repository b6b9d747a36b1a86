// The serial port on Windows: "COM1", "COM2" or another port by name, at 2400
// baud, 8N1, RTS/CTS.
//
// Every operation waits for its own completion, so the port behaves
// synchronously, but the handle is opened for overlapped I/O: on a handle
// opened without it the system serialises all I/O, and a packet written by the
// host's thread would wait behind the reader's pending read until the partner
// happened to send a byte. The reader waits on its I/O and on a stop event;
// closing sets the event and purges the port.
//
// The reader waits for input in its one-byte read: with the read time-outs
// applied (an interval, no total) a read of one byte ends only when that byte
// has come, so the read is the wait for a received character. A wait on the
// port's event mask (WaitCommEvent) would add nothing, and where the port is
// emulated on a device without modem lines (Wine on a pseudo-terminal) every
// such wait that has to pend is ended within milliseconds as aborted.
//
// An aborted read while the port is open and not being closed (another thread
// cancelling the I/O, a driver that aborts on a line error) does not end the
// reader: it reports the first of a run of aborts, clears the port's error
// state and reads again after a short pause, so an abort that repeats at once
// cannot make it spin. Only closing ends it; a read that fails otherwise (the
// device is gone) is reported and ends it, as nothing more can come.
//
// The calls whose failure the port reports go through the table of
// port_win32.h, so that tests can make each of them fail.
#include "duelcom/port_win32.h"

#include <windows.h>

#include <atomic>
#include <cstdio>

#include "duelcom/port.h"

namespace duelcom {

namespace {

SystemCalls RealSystemCalls() {
  return SystemCalls{
      .CreateFileA = &::CreateFileA,
      .SetCommTimeouts = &::SetCommTimeouts,
      .SetCommState = &::SetCommState,
      .CreateEventW = &::CreateEventW,
      .CreateThread = &::CreateThread,
      .WriteFile = &::WriteFile,
      .GetOverlappedResult = &::GetOverlappedResult,
      .ReadFile = &::ReadFile,
      .ClearCommError = &::ClearCommError,
      .PurgeComm = &::PurgeComm,
      .CancelIo = &::CancelIo,
      .CloseHandle = &::CloseHandle,
      .SetEvent = &::SetEvent,
      .ResetEvent = &::ResetEvent,
      .WaitForSingleObject = &::WaitForSingleObject,
      .WaitForMultipleObjects = &::WaitForMultipleObjects,
  };
}

}  // namespace

SystemCalls& PortSystemCalls() {
  static SystemCalls calls = RealSystemCalls();
  return calls;
}

void ResetPortSystemCalls() { PortSystemCalls() = RealSystemCalls(); }

namespace {

const SystemCalls& Calls() { return PortSystemCalls(); }

// A manual-reset event, not signalled.
HANDLE CreateIoEvent() { return Calls().CreateEventW(nullptr, TRUE, FALSE, nullptr); }

// The pause of the reader after an aborted read, before it reads again.
constexpr DWORD RearmPauseMs = 10;

class Win32Port final : public Port {
 public:
  ~Win32Port() override { Close(); }

  bool Open(const char* name);
  bool StartReader(ByteSink sink, LostSink lost) override;
  void Write(const Packet& packet) override;
  void Close() override;

 private:
  static DWORD WINAPI ReaderMain(void* self);
  void ReadLoop();
  // Waits for an overlapped operation of the reader; false when the port is
  // being closed (the operation is then cancelled and finished).
  bool AwaitReaderIo(OVERLAPPED& overlapped);
  // Clears the port's error state, as the driver may refuse reads until then.
  void ClearErrors();
  // Waits until the output queue is empty; false when the deadline came first.
  bool Drain(DWORD deadline);

  HANDLE Handle = INVALID_HANDLE_VALUE;
  HANDLE Thread = nullptr;
  HANDLE StopEvent = nullptr;
  HANDLE ReaderEvent = nullptr;
  HANDLE WriteEvent = nullptr;
  std::atomic<bool> Running{false};
  ByteSink Sink;
  LostSink Lost;
};

bool Win32Port::Open(const char* name) {
  Handle = Calls().CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_FLAG_OVERLAPPED, nullptr);
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
  if (!Calls().SetCommTimeouts(Handle, &timeouts)) {
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
  if (!Calls().SetCommState(Handle, &dcb)) {
    ReportSystemError("SetCommState failed");
    return false;
  }
  return true;
}

bool Win32Port::StartReader(ByteSink sink, LostSink lost) {
  Sink = std::move(sink);
  Lost = std::move(lost);
  // The second event is not created once the first has failed, so that the
  // report carries the error of the creation that failed.
  if (!(StopEvent = CreateIoEvent()) || !(ReaderEvent = CreateIoEvent())) {
    ReportSystemError("Error creating READ thread");
    return false;
  }
  Running.store(true);
  DWORD id = 0;
  Thread = Calls().CreateThread(nullptr, 0, &Win32Port::ReaderMain, this, 0, &id);
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

bool Win32Port::AwaitReaderIo(OVERLAPPED& overlapped) {
  HANDLE waits[2] = {overlapped.hEvent, StopEvent};
  if (Calls().WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0) {
    DWORD transferred = 0;
    Calls().CancelIo(Handle);
    Calls().GetOverlappedResult(Handle, &overlapped, &transferred, TRUE);
    return false;
  }
  return true;
}

void Win32Port::ClearErrors() {
  DWORD errors = 0;
  COMSTAT status{};
  if (!Calls().ClearCommError(Handle, &errors, &status)) ReportSystemError("ClearCommError");
}

void Win32Port::ReadLoop() {
  ClearErrors();
  bool abortReported = false;  // no report for the further aborts of one run
  bool lost = false;
  while (Running.load()) {
    // One byte per read; a read blocks until its byte has come.
    std::uint8_t byte = 0;
    DWORD got = 0;
    OVERLAPPED overlapped{};
    overlapped.hEvent = ReaderEvent;
    Calls().ResetEvent(ReaderEvent);
    bool done = Calls().ReadFile(Handle, &byte, 1, nullptr, &overlapped) != 0;
    if (!done && GetLastError() == ERROR_IO_PENDING) {
      if (!AwaitReaderIo(overlapped)) break;  // closing
      done = true;
    }
    if (done) done = Calls().GetOverlappedResult(Handle, &overlapped, &got, FALSE) != 0;
    const DWORD error = done ? ERROR_SUCCESS : GetLastError();
    if (!Running.load()) break;  // closing purged the read
    if (done && got == 1) {
      abortReported = false;
      Sink(byte);
      continue;
    }
    if (!done) {
      SetLastError(error);
      if (error != ERROR_OPERATION_ABORTED) {
        ReportSystemError("WaitComEvent Error");
        lost = true;
        break;
      }
      if (!abortReported) ReportSystemError("WaitComEvent Error");
      abortReported = true;
    }
    // Aborted, or ended without a byte: read again after a pause (cut short
    // by closing), with the error state cleared.
    if (Calls().WaitForSingleObject(StopEvent, RearmPauseMs) != WAIT_TIMEOUT) break;
    ClearErrors();
  }
  Calls().PurgeComm(Handle, PURGE_RXCLEAR);
  if (lost && Lost) Lost();
}

void Win32Port::Write(const Packet& packet) {
  // Without its own event the write could not be waited for: the port's
  // handle, the other thing to wait on, is also signalled by the reader's I/O.
  if (!WriteEvent && !(WriteEvent = CreateIoEvent())) {
    ReportSystemError("sendc error");
    return;
  }
  OVERLAPPED overlapped{};
  overlapped.hEvent = WriteEvent;
  Calls().ResetEvent(WriteEvent);
  DWORD written = 0;
  if (!Calls().WriteFile(Handle, packet.data(), static_cast<DWORD>(packet.size()), nullptr,
                         &overlapped)) {
    if (GetLastError() != ERROR_IO_PENDING) {
      ReportSystemError("sendc error");
      return;
    }
  }
  // A write cut short by its time-out completes with fewer bytes; that is
  // not an error.
  if (!Calls().GetOverlappedResult(Handle, &overlapped, &written, TRUE)) {
    ReportSystemError("sendc error");
  }
}

void Win32Port::Close() {
  if (Handle == INVALID_HANDLE_VALUE) return;
  // The reader first (it leaves its wait on the stop event): once it has
  // stopped, nothing more is written.
  Running.store(false);
  if (StopEvent) Calls().SetEvent(StopEvent);
  if (Thread) {
    Calls().WaitForSingleObject(Thread, INFINITE);
    Calls().CloseHandle(Thread);
    Thread = nullptr;
  }
  // Then what was written leaves the port before anything is purged; only a
  // queue that does not drain in time is thrown away.
  DWORD purge = PURGE_RXABORT | PURGE_RXCLEAR;
  if (!Drain(GetTickCount() + CloseDrainMs)) purge |= PURGE_TXABORT | PURGE_TXCLEAR;
  Calls().PurgeComm(Handle, purge);
  Calls().CloseHandle(Handle);
  Handle = INVALID_HANDLE_VALUE;
  for (HANDLE* event : {&StopEvent, &ReaderEvent, &WriteEvent}) {
    if (*event) Calls().CloseHandle(*event);
    *event = nullptr;
  }
}

bool Win32Port::Drain(DWORD deadline) {
  for (;;) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!Calls().ClearCommError(Handle, &errors, &status) || status.cbOutQue == 0) return true;
    if (static_cast<LONG>(GetTickCount() - deadline) >= 0) return false;
    Sleep(1);
  }
}

}  // namespace

std::unique_ptr<Port> OpenSerialPort(int number) {
  if (number != 1 && number != 2) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    ReportSystemError("Failed to open port");
    return nullptr;
  }
  auto port = std::make_unique<Win32Port>();
  if (!port->Open(number == 1 ? "COM1" : "COM2")) return nullptr;  // the destructor closes it
  return port;
}

std::unique_ptr<Port> OpenSerialDevice(const std::string& name) {
  // Ports above COM9 exist only in the device namespace; the prefix serves
  // every port name.
  const std::string path = name.rfind("\\\\", 0) == 0 ? name : "\\\\.\\" + name;
  auto port = std::make_unique<Win32Port>();
  if (!port->Open(path.c_str())) return nullptr;
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
