#pragma once
// The binding to the link library: loaded by module name when a match (or the
// next game of a series) opens its link, its five exports bound by name. A call
// through an unloaded binding does nothing and reports failure, so that callers
// that go on after the link was torn down cannot reach into a freed library.
#include "platform/System.h"

namespace tovarin {

class LinkBinding {
 public:
  explicit LinkBinding(platform::LibraryLoader& loader) : Loader_(loader) {}
  ~LinkBinding() = default;
  LinkBinding(const LinkBinding&) = delete;
  LinkBinding& operator=(const LinkBinding&) = delete;

  // Loads "duelcom" and looks up initcom, closecom, sendxy, receivexy and newgame
  // in this order; on the first one missing it unloads the library and returns
  // false without looking up the rest.
  bool Bind();
  // Releases the library; the entry points become unusable.
  void Unload();
  bool Bound() const { return Library_ != nullptr; }

  // The five exports; each returns 0 when nothing is bound.
  int initcom(int port) const { return Initcom_ ? Initcom_(port) : 0; }
  int closecom() const { return Closecom_ ? Closecom_() : 0; }
  int sendxy(int x, int y) const { return Sendxy_ ? Sendxy_(x, y) : 0; }
  int receivexy(int* x, int* y) const { return Receivexy_ ? Receivexy_(x, y) : 0; }
  int newgame(int colour) const { return Newgame_ ? Newgame_(colour) : 0; }

 private:
  platform::LibraryLoader& Loader_;
  platform::LibraryHandle Library_ = nullptr;
  int (*Initcom_)(int) = nullptr;
  int (*Closecom_)() = nullptr;
  int (*Sendxy_)(int, int) = nullptr;
  int (*Receivexy_)(int*, int*) = nullptr;
  int (*Newgame_)(int) = nullptr;
};

}  // namespace tovarin
