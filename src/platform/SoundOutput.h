// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <atomic>
#include <memory>

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

// The way one sound reaches the speaker. It is made, used and destroyed on
// the sound's own thread, never shared. Waits take the player's stop flag
// and give up soon after it is set; only an output that stopped answering
// may hold its thread longer.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;  // closes; whatever has not been played is dropped

    // Opens the output for the sound's channels and rate.
    virtual bool open(const Pcm16& sound) = 0;
    // Queues samples (whole frames), waiting for room if the output is full.
    virtual bool write(const char* samples, qsizetype bytes, const std::atomic<bool>& stop) = 0;
    // Waits until the last sample written has been played, or stop is set.
    virtual bool drain(const std::atomic<bool>& stop) = 0;
    // The output's own words for the failure that made a call return false.
    virtual QString errorText() const = 0;
};

// The platform's output; the build picks the file that defines it.
std::unique_ptr<SoundOutput> NewSoundOutput();

}  // namespace plat
