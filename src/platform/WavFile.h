// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QByteArray>
#include <optional>

class QIODevice;
class QString;

namespace plat {

// A sound as the player hands it to the output: interleaved signed 16-bit
// little-endian samples.
struct Pcm16 {
    int channels = 0;
    int rate = 0;
    QByteArray samples;

    qint64 frames() const { return samples.size() / (2 * channels); }
    qint64 lengthUs() const { return frames() * 1000000 / rate; }
};

// Reads a RIFF WAVE sound from a seekable device: integer PCM of 8 to 32 bits
// or floats, mono or stereo, plain or extensible headers, a few other chunks
// skipped, a cut-off end kept. Anything else, or more than the player is
// willing to hold or look through, gives nothing.
std::optional<Pcm16> ReadWav(QIODevice& in);
// The same from a plain file; a missing file, a folder, a FIFO or a device
// gives nothing.
std::optional<Pcm16> ReadWavFile(const QString& path);

}  // namespace plat
