// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "boarding/SoundPlayer.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Announcements are short; a bigger sound is refused rather than held.
constexpr qint64 kMaxDataBytes = 64 * 1024 * 1024;
// A walk past this many chunks is a damaged file (a gigabyte of zeros is 134
// million empty ones).
constexpr int kMaxChunks = 256;

struct Format {
    int coding = 0;  // 1 integer PCM, 3 floating point
    int channels = 0;
    int rate = 0;
    int bits = 0;
    int blockAlign = 0;
};

qint16 ToInt16(const Format& f, const char* in)
{
    if (f.coding == 3) {
        const double v = f.bits == 32 ? qFromLittleEndian<float>(in) : qFromLittleEndian<double>(in);
        return std::isfinite(v) ? qint16(std::lround(std::clamp(v, -1.0, 1.0) * 32767.0)) : qint16(0);
    }
    if (f.bits == 8)
        return qint16((int(quint8(in[0])) - 128) * 256);
    // The two most significant bytes of a little-endian sample.
    return qFromLittleEndian<qint16>(in + f.bits / 8 - 2);
}

}  // namespace

std::optional<plat::Pcm16> ReadWav(QIODevice& in)
{
    const qint64 size = in.size();
    char head[12];
    if (size < 12 || !in.seek(0) || in.read(head, 12) != 12 || std::memcmp(head, "RIFF", 4) != 0
        || std::memcmp(head + 8, "WAVE", 4) != 0)
        return std::nullopt;

    Format f;
    bool haveFormat = false;
    qint64 dataOffset = -1;
    qint64 dataBytes = 0;
    qint64 pos = 12;
    for (int chunks = 0; pos + 8 <= size && !(haveFormat && dataOffset >= 0); ++chunks) {
        if (chunks == kMaxChunks)
            return std::nullopt;
        char chunk[8];
        if (!in.seek(pos) || in.read(chunk, 8) != 8)
            return std::nullopt;
        const qint64 length = qFromLittleEndian<quint32>(chunk + 4);
        const qint64 body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || body + length > size)
                return std::nullopt;
            char fmt[40] = {};
            const qint64 want = std::min<qint64>(length, 40);
            if (in.read(fmt, want) != want)
                return std::nullopt;
            f.coding = qFromLittleEndian<quint16>(fmt);
            f.channels = qFromLittleEndian<quint16>(fmt + 2);
            f.rate = int(qFromLittleEndian<quint32>(fmt + 4));
            f.blockAlign = qFromLittleEndian<quint16>(fmt + 12);
            f.bits = qFromLittleEndian<quint16>(fmt + 14);
            if (f.coding == 0xFFFE) {
                if (length < 40)
                    return std::nullopt;
                f.coding = qFromLittleEndian<quint16>(fmt + 24);  // first two bytes of the sub-format GUID
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            // Samples before the format cannot be placed; a cut-off file
            // keeps the samples it has.
            if (!haveFormat && body + length > size)
                return std::nullopt;
            dataOffset = body;
            dataBytes = std::min(length, size - body);
        }
        pos = body + length + (length & 1);
    }
    if (!haveFormat || dataOffset < 0)
        return std::nullopt;

    const bool integer = f.coding == 1 && (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32);
    const bool floating = f.coding == 3 && (f.bits == 32 || f.bits == 64);
    if (!(integer || floating) || f.channels < 1 || f.channels > 2 || f.rate < 1000 || f.rate > 384000
        || f.blockAlign != f.channels * f.bits / 8)
        return std::nullopt;
    dataBytes -= dataBytes % f.blockAlign;
    if (dataBytes <= 0 || dataBytes > kMaxDataBytes || !in.seek(dataOffset))
        return std::nullopt;
    const QByteArray data = in.read(dataBytes);
    if (data.size() != dataBytes)
        return std::nullopt;

    const int inBytes = f.bits / 8;
    const qsizetype count = data.size() / inBytes;
    plat::Pcm16 out{
        .channels = f.channels, .rate = f.rate, .samples = QByteArray(count * 2, Qt::Uninitialized)};
    char* dst = out.samples.data();
    for (qsizetype i = 0; i < count; ++i)
        qToLittleEndian(ToInt16(f, data.constData() + i * inBytes), dst + 2 * i);
    return out;
}

std::optional<plat::Pcm16> ReadWavFile(const QString& path)
{
    // A FIFO or a device would block the open; only a plain file is read.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ReadWav(file);
}
