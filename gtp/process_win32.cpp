// The engine as a child process on Windows: CreateProcess with pipes.
//
// The child runs in a job object that ends every process in it when its last
// handle closes, so neither the engine nor what it started outlives this
// program, however this program ends. Arguments are quoted for the usual
// command-line parsing of C runtimes, and passed as UTF-16.
#include <windows.h>

#include <algorithm>
#include <string>

#include "gtp/Process.h"

namespace gtp {

namespace {

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), size);
  return out;
}

// One argument as the C runtime's parser reads it back: quoted when it holds
// blanks or quotes, backslashes doubled only before a quote.
std::wstring Quote(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\n\v\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  for (std::size_t i = 0;; ++i) {
    std::size_t backslashes = 0;
    while (i < arg.size() && arg[i] == L'\\') {
      ++backslashes;
      ++i;
    }
    if (i == arg.size()) {
      out.append(backslashes * 2, L'\\');
      break;
    }
    if (arg[i] == L'"') {
      out.append(backslashes * 2 + 1, L'\\');
    } else {
      out.append(backslashes, L'\\');
    }
    out += arg[i];
  }
  return out + L"\"";
}

std::string SystemText(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&text), 0,
      nullptr);
  std::string out = length && text ? text : "error " + std::to_string(code);
  if (text) LocalFree(text);
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r' || out.back() == ' '))
    out.pop_back();
  return out;
}

void CloseHandleOnce(HANDLE& h) {
  if (h) CloseHandle(h);
  h = nullptr;
}

class Win32Child final : public ChildProcess {
 public:
  Win32Child(HANDLE process, HANDLE job, HANDLE input, HANDLE output)
      : Process(process), Job(job), Input(input), Output(output) {}
  ~Win32Child() override { Stop(0); }

  bool WriteLine(const std::string& line) override;
  std::string Stop(unsigned graceMs) override;

 protected:
  long ReadSome(char* buffer, std::size_t size, long waitMs) override;

 private:
  HANDLE Process;
  HANDLE Job;
  HANDLE Input;
  HANDLE Output;
  std::string Ended;
};

bool Win32Child::WriteLine(const std::string& line) {
  if (!Input) return false;
  const std::string text = line + "\n";
  DWORD done = 0;
  while (done < text.size()) {
    DWORD written = 0;
    if (!WriteFile(Input, text.data() + done, static_cast<DWORD>(text.size() - done), &written,
                   nullptr))
      return false;
    done += written;
  }
  return true;
}

long Win32Child::ReadSome(char* buffer, std::size_t size, long waitMs) {
  if (!Output) return 0;
  // An anonymous pipe has no read time-out: what it holds is looked at until
  // something has come or the time is up.
  const DWORD start = GetTickCount();
  while (waitMs >= 0) {
    DWORD available = 0;
    // A broken pipe: the engine has closed its output.
    if (!PeekNamedPipe(Output, nullptr, 0, nullptr, &available, nullptr)) return 0;
    if (available > 0) {
      size = std::min<std::size_t>(size, available);
      break;
    }
    const long waited = static_cast<long>(GetTickCount() - start);
    if (waited >= waitMs) return -1;
    Sleep(static_cast<DWORD>(std::min<long>(waitMs - waited, 5)));
  }
  DWORD got = 0;
  if (!ReadFile(Output, buffer, static_cast<DWORD>(size), &got, nullptr)) return 0;
  return static_cast<long>(got);
}

std::string Win32Child::Stop(unsigned graceMs) {
  if (!Process) return Ended;
  CloseHandleOnce(Input);  // the end of its input: a GTP engine quits
  const bool exited = WaitForSingleObject(Process, graceMs) == WAIT_OBJECT_0;
  // Whatever it started, and the process itself if it did not end.
  if (Job) {
    TerminateJobObject(Job, 1);
  } else if (!exited) {
    TerminateProcess(Process, 1);
  }
  WaitForSingleObject(Process, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(Process, &code);
  Ended = exited ? "exit status " + std::to_string(code) : "stopped";
  CloseHandleOnce(Process);
  CloseHandleOnce(Job);
  CloseHandleOnce(Output);
  return Ended;
}

}  // namespace

std::unique_ptr<ChildProcess> ChildProcess::Start(const std::vector<std::string>& argv,
                                                  std::string& error) {
  if (argv.empty()) {
    error = "no program given";
    return nullptr;
  }
  std::wstring commandLine;
  for (const std::string& a : argv) {
    if (!commandLine.empty()) commandLine += L' ';
    commandLine += Quote(Wide(a));
  }

  // The child's ends are inheritable, this program's ends are not.
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE childIn = nullptr, ourIn = nullptr, ourOut = nullptr, childOut = nullptr;
  if (!CreatePipe(&childIn, &ourIn, &inherit, 0) || !CreatePipe(&ourOut, &childOut, &inherit, 0) ||
      !SetHandleInformation(ourIn, HANDLE_FLAG_INHERIT, 0) ||
      !SetHandleInformation(ourOut, HANDLE_FLAG_INHERIT, 0)) {
    error = "cannot make pipes: " + SystemText(GetLastError());
    for (HANDLE* h : {&childIn, &ourIn, &ourOut, &childOut}) CloseHandleOnce(*h);
    return nullptr;
  }

  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = childIn;
  startup.hStdOutput = childOut;
  startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION info{};
  const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE,
                                      CREATE_SUSPENDED, nullptr, nullptr, &startup, &info);
  const DWORD startError = GetLastError();
  CloseHandleOnce(childIn);
  CloseHandleOnce(childOut);
  if (!started || !info.hProcess) {
    if (info.hThread) CloseHandle(info.hThread);
    error = "cannot start " + argv[0] + ": " +
            (started ? "no process to wait for" : SystemText(startError));
    CloseHandleOnce(ourIn);
    CloseHandleOnce(ourOut);
    return nullptr;
  }

  // A system that refuses the job (this program already in a job that allows
  // no other) still runs the engine; it is then ended by Stop alone.
  HANDLE job = CreateJobObjectW(nullptr, nullptr);
  if (job) {
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    if (!SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
        !AssignProcessToJobObject(job, info.hProcess))
      CloseHandleOnce(job);
  }
  ResumeThread(info.hThread);
  CloseHandle(info.hThread);
  return std::make_unique<Win32Child>(info.hProcess, job, ourIn, ourOut);
}

void GuardChildren() {
  // Nothing to do: the job object ends the children when this program ends.
}

}  // namespace gtp
