// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "platform/SoundOutput.h"

#include <optional>

class QIODevice;
class QString;

// Reads a RIFF WAVE sound: integer PCM of 8 to 32 bits or floats, mono or
// stereo, plain or extensible headers, a cut-off end kept.
std::optional<plat::Pcm16> ReadWav(QIODevice& in);
// The same from a plain file; a FIFO or a device gives nothing.
std::optional<plat::Pcm16> ReadWavFile(const QString& path);
