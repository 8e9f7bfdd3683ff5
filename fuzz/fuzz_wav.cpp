// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The WAV reader, the one parser of files a user may replace: no input may
// crash it, and what it accepts is a sound the output can take, made of no
// more samples than the file holds.
#include "boarding/SoundPlayer.h"

#include <QBuffer>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void broken(const char* what, size_t size)
{
    std::fprintf(stderr, "PROPERTY BROKEN: %s\n  input of %zu bytes\n", what, size);
    std::abort();
}

#define WAV_CHECK(cond, size)                                                                                \
    do {                                                                                                     \
        if (!(cond))                                                                                         \
            broken(#cond, (size));                                                                           \
    } while (0)

std::optional<plat::Pcm16> read(const QByteArray& bytes)
{
    QByteArray copy = bytes;
    QBuffer in(&copy);
    in.open(QIODevice::ReadOnly);
    return ReadWav(in);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const std::optional<plat::Pcm16> sound = read(bytes);
    if (!sound)
        return 0;
    WAV_CHECK(sound->channels == 1 || sound->channels == 2, size);
    WAV_CHECK(sound->rate >= 1000 && sound->rate <= 384000, size);
    WAV_CHECK(!sound->samples.isEmpty(), size);
    WAV_CHECK(sound->samples.size() % (2 * sound->channels) == 0, size);
    // Every sample comes from at least one byte of the file's samples.
    WAV_CHECK(size_t(sound->samples.size() / 2) <= size, size);
    WAV_CHECK(sound->frames() > 0 && sound->lengthUs() >= 0, size);
    // The same bytes give the same sound.
    const std::optional<plat::Pcm16> again = read(bytes);
    WAV_CHECK(again && again->samples == sound->samples && again->rate == sound->rate, size);
    return 0;
}
