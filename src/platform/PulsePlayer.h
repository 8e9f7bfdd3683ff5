#pragma once
#include "platform/SoundPlayer.h"

namespace plat {
// The player's old name, for code not yet moved to SoundPlayer.
using PulsePlayer = SoundPlayer;
}  // namespace plat
