#pragma once

// Selects this executable's build of the lookup client. The two programs compile main.cpp
// with or without DIALVANE_BUILD_DIALSEEK; the library itself serves both.

#include "lookup/buildvariant.h"

namespace lookup {

#ifdef DIALVANE_BUILD_DIALSEEK
inline constexpr const BuildVariant &kThisBuild = kDialseek;
#else
inline constexpr const BuildVariant &kThisBuild = kNumseek;
#endif

} // namespace lookup
