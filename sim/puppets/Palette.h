#pragma once
// The colours the reference puppets paint with, shared by their board windows and
// their menus and dialogs. Tovarin tests a few exact colours where it looks: black
// (0, 0, 0) for ticks and grid lines, grey (192, 192, 192) for a message box's
// face, navy (0, 0, 128) for the chosen entry of a list, white (255, 255, 255) for
// profile 2's divider. Menus, dialogs and labels keep clear of those where they
// could be read by mistake.
#include "platform/Geometry.h"

namespace refpuppet::palette {

using platform::ColorRef;
using platform::Rgb;

constexpr ColorRef Face = Rgb(236, 233, 216);
constexpr ColorRef TitleStrip = Rgb(0, 0, 128);
constexpr ColorRef Navy = Rgb(0, 0, 128);
constexpr ColorRef Wood = Rgb(220, 179, 92);
constexpr ColorRef BoxGrey = Rgb(192, 192, 192);
constexpr ColorRef MenuFace = Rgb(240, 240, 240);
constexpr ColorRef DialogFace = Rgb(212, 208, 200);
constexpr ColorRef ButtonFace = Rgb(212, 208, 200);
constexpr ColorRef Light = Rgb(255, 255, 255);
constexpr ColorRef Paper = Rgb(255, 255, 255);  // lists and edit fields
constexpr ColorRef Dark = Rgb(64, 64, 64);
constexpr ColorRef Label = Rgb(96, 96, 96);  // stands in for a line of text
constexpr ColorRef Pane = Rgb(224, 224, 224);
constexpr ColorRef Tick = Rgb(0, 0, 0);

}  // namespace refpuppet::palette
