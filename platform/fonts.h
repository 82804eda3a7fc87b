#pragma once

namespace platform {

// Maps the Windows font names the programs ask for (宋体 and friends) to the installed
// Song-style CJK font, so Chinese text renders instead of showing boxes. Call once after
// the application object exists.
void installFontSubstitutions();

} // namespace platform
