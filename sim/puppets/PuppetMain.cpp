// The reference puppet as a Windows program. Copied under the executable file name
// of a profile (VK2.EXE, RENDOLIN.EXE, NOVRA2.EXE, ...) it is that profile's
// puppet; editions that share a file name are told apart by the year the file
// was last written.
//
// A file refpuppet.ini beside it may set, one "name=value" a line:
//   think_ms, think_jitter_ms  each answer takes think_ms plus up to the jitter
//   seed                       the moves it chooses
//   pass_from_move             it passes at every turn once this many moves are made
//   level                      its strength as its player lists show it
//   opening_screen             1: it opens with its title screen, where it has one
//   start_left, start_top      where its window first appears
// After each game that ends on two passes it writes its own record beside itself
// as puppet-game-N.sgf.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "gtp/GameRecord.h"
#include "platform/win32/Win32Api.h"
#include "platform/win32/Win32Text.h"
#include "sim/puppets/ReferencePuppet.h"
#include "sim/puppets/Win32Stage.h"

namespace {

using refpuppet::PuppetDesign;

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return L"";
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

std::string UpperAscii(std::wstring_view text) {
  std::string out;
  for (wchar_t c : text) {
    if (c > 0x7F) return "";  // no profile's file name has other characters
    out += static_cast<char>(c >= L'a' && c <= L'z' ? c - L'a' + L'A' : c);
  }
  return out;
}

// The year the file was last written, in local time; 0 when unknown.
int YearWritten(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 0;
  FILETIME written{}, local{};
  SYSTEMTIME time{};
  bool ok = GetFileTime(file, nullptr, nullptr, &written) &&
            FileTimeToLocalFileTime(&written, &local) && FileTimeToSystemTime(&local, &time);
  CloseHandle(file);
  return ok ? time.wYear : 0;
}

void ReadOptions(const std::wstring& file, refpuppet::PuppetOptions& o) {
  FILE* in = _wfopen(file.c_str(), L"r");
  if (!in) return;
  char line[256];
  while (std::fgets(line, sizeof line, in)) {
    std::string text(line);
    std::size_t eq = text.find('=');
    if (eq == std::string::npos || text[0] == '#') continue;
    std::string name = text.substr(0, eq);
    long value = std::strtol(text.c_str() + eq + 1, nullptr, 10);
    if (name == "think_ms") o.ThinkMs = static_cast<std::uint32_t>(value);
    if (name == "think_jitter_ms") o.ThinkJitterMs = static_cast<std::uint32_t>(value);
    if (name == "seed") o.Seed = static_cast<std::uint64_t>(value);
    if (name == "pass_from_move") o.PassFromMove = static_cast<int>(value);
    if (name == "level") o.Level = static_cast<int>(value);
    if (name == "opening_screen") o.OpeningScreen = value != 0;
    if (name == "start_left") o.StartLeft = static_cast<int>(value);
    if (name == "start_top") o.StartTop = static_cast<int>(value);
  }
  std::fclose(in);
}

void WriteRecord(const std::wstring& file, const refpuppet::GoGame& game, bool puppetBlack,
                 int profile) {
  // The puppet is the player on this side; its opponent is Tovarin's partner.
  gtp::GameRecord record;
  record.EngineColour = puppetBlack ? gtp::Black : gtp::White;
  record.Program = "refpuppet";
  record.EngineName = "reference puppet " + std::to_string(profile);
  record.LineName = "opponent";
  SYSTEMTIME now{};
  GetLocalTime(&now);
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", now.wYear, now.wMonth, now.wDay);
  record.Date = date;
  const std::vector<refpuppet::Move>& history = game.History();
  for (std::size_t i = 0; i < history.size(); ++i)
    record.Moves.push_back({i % 2 == 0 ? gtp::Black : gtp::White, history[i].C, history[i].R});
  const std::string text = gtp::FormatSgf(record);
  if (FILE* out = _wfopen(file.c_str(), L"wb")) {
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const std::wstring path = ModulePath();
  const std::size_t cut = path.find_last_of(L"\\/");
  const std::wstring folder = cut == std::wstring::npos ? L"" : path.substr(0, cut + 1);
  int executable = 0;
  const PuppetDesign* design =
      refpuppet::DesignFor(UpperAscii(path.substr(folder.size())), YearWritten(path), executable);
  if (!design) {
    MessageBoxW(nullptr,
                L"Copy this program under the executable file name of a puppet profile "
                L"(VK2.EXE, RENDOLIN.EXE, NOVRA2.EXE, ...) and start the copy.",
                L"Reference puppet", MB_OK | MB_ICONINFORMATION);
    return 2;
  }

  refpuppet::PuppetOptions options;
  options.ThinkMs = 800;
  options.ThinkJitterMs = 700;
  options.OpeningScreen = true;
  ReadOptions(folder + L"refpuppet.ini", options);

  refpuppet::Win32Stage stage(instance);
  refpuppet::ReferencePuppet puppet(stage, *design, executable, options);
  int games = 0;
  puppet.OnGameOver = [&](const refpuppet::GoGame& game) {
    WriteRecord(folder + L"puppet-game-" + std::to_wstring(++games) + L".sgf", game,
                puppet.Colour() == refpuppet::Stone::Black, design->Profile);
  };
  return stage.Run();
}
