#include "tovarin/match/LinkBinding.h"

#include "tovarin/shell/Unit1.h"

namespace tovarin {
namespace {

// Converts a looked-up address to the entry point's type.
template <typename F>
bool Take(platform::LibraryLoader& loader, platform::LibraryHandle lib, const char* name, F& out) {
  void* p = loader.Lookup(lib, name);
  out = reinterpret_cast<F>(p);
  return p != nullptr;
}

}  // namespace

bool LinkBinding::Bind() {
  // A second bind while loaded only raises the system's load count, as a
  // second LoadLibrary does; the entry points stay the same.
  platform::LibraryHandle lib = Loader_.Load("duelcom");
  if (!lib) return false;
  if (Library_) Loader_.Unload(Library_);
  Library_ = lib;
  if (Take(Loader_, lib, "initcom", Initcom_) && Take(Loader_, lib, "closecom", Closecom_) &&
      Take(Loader_, lib, "sendxy", Sendxy_) && Take(Loader_, lib, "receivexy", Receivexy_) &&
      Take(Loader_, lib, "newgame", Newgame_))
    return true;
  Unload();
  return false;
}

void LinkBinding::Unload() {
  Initcom_ = nullptr;
  Closecom_ = nullptr;
  Sendxy_ = nullptr;
  Receivexy_ = nullptr;
  Newgame_ = nullptr;
  if (Library_) Loader_.Unload(Library_);
  Library_ = nullptr;
}

// ---- TForm1 ----

bool TForm1::BindLinkLibrary() { return Link.Bind(); }

bool TForm1::SendMoveToPartner(int x, int y) {
  if (Link.sendxy(x, y) != 0) return true;
  // The partner did not answer in time: the link is gone.
  LogLine("Send Error !");
  EndRecord(GameEnding::LinkLost);
  Link.closecom();
  Link.Unload();
  return false;
}

}  // namespace tovarin
