// The supported puppets, in the order of their profile numbers (1 is the
// first): one line each, naming the record in its file ProfileNN.cpp. Adding a
// puppet is its file and its line here; the profile count, the tables, the
// window titles and the tests follow from this list.
#pragma once

#define TOVARIN_PROFILES(X) \
  X(Profile01)              \
  X(Profile02)              \
  X(Profile03)              \
  X(Profile04)              \
  X(Profile05)              \
  X(Profile06)              \
  X(Profile07)              \
  X(Profile08)              \
  X(Profile09)              \
  X(Profile10)              \
  X(Profile11)              \
  X(Profile12)              \
  X(Profile13)              \
  X(Profile14)              \
  X(Profile15)              \
  X(Profile16)              \
  X(Profile17)              \
  X(Profile18)
