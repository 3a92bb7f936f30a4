#pragma once
// Drawn stand-ins for the skin pictures that cannot be read. A stand-in has the size and
// the frame layout of the picture it replaces (a button's two faces side by side, the
// card sheet in its 36 x 55 cells, the mission box in its five frames), so every caller,
// hit test and outline cut works on it as on the real picture:
// - the window backgrounds are plain wooden panels with no magenta in them, so their
//   outline is the whole rectangle; each carries the few words its window needs to be
//   understood (the login window its box labels);
// - the buttons show a short label, raised in the first face and pushed in the second;
// - the card sheet shows each card's month and kind, and a red back;
// - the see-through pictures (avatars, overlays, countdown) keep magenta around what
//   they show, as the real ones do.
// Texts need a font; without one the stand-ins are drawn without them (the month and
// digit pictures then fall back to drawn segments).

#include <string_view>

#include "ui/sdl_util.h"

namespace hw::ui {

// The stand-in for the skin picture with this file name (as the skin table names it,
// "btn_LoginOK.gif"); null for a file the skin does not use. `productName` titles the
// login window.
Surface DrawStandIn(std::string_view fileName, const FontSource& fonts,
                    std::string_view productName);

}  // namespace hw::ui
