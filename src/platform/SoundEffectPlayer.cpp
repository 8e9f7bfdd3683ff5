#include "platform/SoundEffectPlayer.h"

#include <QAudioDevice>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QTemporaryDir>
#include <QUrl>
#include <QtEndian>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace plat {

namespace {

// Qt's pulse backend notices the end of a sound up to about two seconds
// late; past that, an output that has not finished counts as stuck.
constexpr int kEndSlackMs = 2500;
// Qt 6.4 closes its pulse stream as soon as the stream runs dry, dropping
// the last 100 ms or so still on the way to the speaker. Silence after the
// sound takes that loss instead.
constexpr int kTailMs = 400;
// A file that must be rewritten is read whole; announcements are short.
constexpr qint64 kMaxRewriteBytes = 64 * 1024 * 1024;

quint16 Le16(const char* p) { return qFromLittleEndian<quint16>(p); }
quint32 Le32(const char* p) { return qFromLittleEndian<quint32>(p); }

struct Wave {
    int coding = 0;  // 1 integer PCM, 3 floating point
    int channels = 0;
    int rate = 0;
    int bits = 0;
    int blockAlign = 0;
    qint64 dataOffset = 0;
    qint64 dataBytes = 0;  // whole frames actually present in the file

    int lengthMs() const
    {
        return int(std::min<qint64>(dataBytes * 1000 / (qint64(rate) * blockAlign), INT_MAX));
    }
};

// Walks the RIFF chunks and refuses what is not a sound we can play. Qt's
// own decoder never sees the user's file: on a short header or a chunk
// running past the end it waits for bytes that never come, and Qt then
// blocks in the next effect that is destroyed, for good.
bool ReadWave(QFile& file, Wave& w)
{
    const qint64 size = file.size();
    char head[12];
    if (size < 12 || file.read(head, 12) != 12 || std::memcmp(head, "RIFF", 4) != 0
        || std::memcmp(head + 8, "WAVE", 4) != 0)
        return false;

    bool haveFormat = false;
    bool haveData = false;
    int tag = 0;
    qint64 pos = 12;
    while (pos + 8 <= size && !(haveFormat && haveData)) {
        char chunk[8];
        if (!file.seek(pos) || file.read(chunk, 8) != 8)
            return false;
        const qint64 length = Le32(chunk + 4);
        const qint64 body = pos + 8;
        if (std::memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || body + length > size)
                return false;
            char fmt[40] = {};
            const qint64 want = std::min<qint64>(length, 40);
            if (file.read(fmt, want) != want)
                return false;
            tag = Le16(fmt);
            w.coding = tag;
            w.channels = Le16(fmt + 2);
            w.rate = int(Le32(fmt + 4));
            w.blockAlign = Le16(fmt + 12);
            w.bits = Le16(fmt + 14);
            if (tag == 0xFFFE) {
                if (length < 40)
                    return false;
                w.coding = Le16(fmt + 24);  // first two bytes of the sub-format GUID
            }
            haveFormat = true;
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            haveData = true;
            w.dataOffset = body;
            // A cut-off file keeps the samples it has.
            w.dataBytes = std::min(length, size - body);
            if (!haveFormat && body + length > size)
                return false;
        }
        pos = body + length + (length & 1);
    }
    if (!haveFormat || !haveData)
        return false;

    const bool integer = w.coding == 1 && (w.bits == 8 || w.bits == 16 || w.bits == 24 || w.bits == 32);
    const bool floating = w.coding == 3 && (w.bits == 32 || w.bits == 64);
    if (!(integer || floating) || w.channels < 1 || w.channels > 2 || w.rate < 1000 || w.rate > 384000
        || w.blockAlign != w.channels * w.bits / 8)
        return false;
    w.dataBytes -= w.dataBytes % w.blockAlign;
    if (w.dataBytes <= 0)
        return false;

    return true;
}

// The samples as plain 16-bit PCM with the silent tail, header included.
QByteArray Plain16(const Wave& w, const QByteArray& data)
{
    const int inBytes = w.bits / 8;
    const qint64 samples = data.size() / inBytes;
    const qint64 tail = qint64(w.rate) * kTailMs / 1000 * w.channels;
    QByteArray out(44 + (samples + tail) * 2, '\0');
    char* h = out.data();
    auto put32 = [](char* p, quint32 v) { qToLittleEndian(v, p); };
    auto put16 = [](char* p, quint16 v) { qToLittleEndian(v, p); };
    std::memcpy(h, "RIFF", 4);
    put32(h + 4, quint32(36 + (samples + tail) * 2));
    std::memcpy(h + 8, "WAVEfmt ", 8);
    put32(h + 16, 16);
    put16(h + 20, 1);
    put16(h + 22, quint16(w.channels));
    put32(h + 24, quint32(w.rate));
    put32(h + 28, quint32(w.rate * w.channels * 2));
    put16(h + 32, quint16(w.channels * 2));
    put16(h + 34, 16);
    std::memcpy(h + 36, "data", 4);
    put32(h + 40, quint32((samples + tail) * 2));

    const char* in = data.constData();
    char* o = out.data() + 44;
    for (qint64 i = 0; i < samples; ++i, in += inBytes, o += 2) {
        qint32 v = 0;
        if (w.coding == 3) {
            double f = 0;
            if (w.bits == 32) {
                float x;
                std::memcpy(&x, in, 4);
                f = qFromLittleEndian(x);
            } else {
                double x;
                std::memcpy(&x, in, 8);
                f = qFromLittleEndian(x);
            }
            if (!std::isfinite(f))
                f = 0;
            v = qint32(std::lround(std::clamp(f, -1.0, 1.0) * 32767.0));
        } else if (w.bits == 8) {
            v = (qint32(quint8(in[0])) - 128) * 256;
        } else {
            // The two most significant bytes of a little-endian sample.
            v = qint16(quint16(quint8(in[inBytes - 2])) | quint16(quint8(in[inBytes - 1])) << 8);
        }
        put16(o, quint16(qint16(v)));
    }
    return out;
}

}  // namespace

SoundEffectPlayer::SoundEffectPlayer(QObject* parent) : MediaPlayer(parent)
{
    m_watchdog.setSingleShot(true);
    connect(&m_watchdog, &QTimer::timeout, this, &SoundEffectPlayer::giveUp);
}

SoundEffectPlayer::~SoundEffectPlayer()
{
    // Before the folder of copies goes: the effect may still be reading one.
    dropEffect();
}

void SoundEffectPlayer::setWatchdog(int startMs, int maxLengthMs)
{
    m_startLimitMs = startMs;
    m_lengthLimitMs = maxLengthMs;
}

void SoundEffectPlayer::setFileName(const QString& path)
{
    // Nothing is opened yet: Qt's audio stack is set up only when a sound
    // first plays, which keeps it out of the program's start-up.
    ++m_generation;
    m_watchdog.stop();
    m_wantPlay = false;
    dropEffect();
    m_path = path;
    m_state = mpStopped;
    m_reported = mpStopped;
}

void SoundEffectPlayer::dropEffect()
{
    if (!m_effect)
        return;
    m_effect->disconnect(this);
    m_effect->stop();
    // Deleted now rather than later: Qt waits for its loader when the last
    // user of a sample goes, and now no other sample is loading.
    delete m_effect.data();
}

QString SoundEffectPlayer::playableCopy(const QString& path, int& lengthMs)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return {};
    const QString key = QStringLiteral("%1|%2|%3").arg(info.absoluteFilePath()).arg(info.size())
                            .arg(info.lastModified().toMSecsSinceEpoch());
    const auto known = m_copyFor.constFind(key);
    if (known != m_copyFor.constEnd() && QFileInfo::exists(known->path)) {
        lengthMs = known->lengthMs;
        return known->path;
    }

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    Wave wave;
    if (!ReadWave(file, wave) || wave.dataBytes > kMaxRewriteBytes || !file.seek(wave.dataOffset))
        return {};
    const QByteArray data = file.read(wave.dataBytes);
    if (data.size() != wave.dataBytes)
        return {};

    if (!m_copies) {
        m_copies = std::make_unique<QTemporaryDir>();
        if (!m_copies->isValid()) {
            m_copies.reset();
            return {};
        }
    }
    const QString copy = m_copies->filePath(QStringLiteral("sound-%1.wav").arg(++m_copyCount));
    const QByteArray plain = Plain16(wave, data);
    QFile out(copy);
    if (!out.open(QIODevice::WriteOnly) || out.write(plain) != plain.size())
        return {};
    lengthMs = wave.lengthMs() + kTailMs;
    m_copyFor.insert(key, Copy{copy, lengthMs});
    return copy;
}

bool SoundEffectPlayer::makeEffect()
{
    // Every file is rewritten once into 16-bit PCM with its silent tail;
    // that also plays what Qt would refuse (extensible headers, 24 bits,
    // floats, a cut-off end).
    const QString source = playableCopy(m_path, m_soundMs);
    if (source.isEmpty())
        return false;
    // Without an output Qt's effect claims to play for ever.
    if (QMediaDevices::defaultAudioOutput().isNull())
        return false;

    m_effect = new QSoundEffect(this);
    connect(m_effect, &QSoundEffect::statusChanged, this, &SoundEffectPlayer::onStatusChanged);
    connect(m_effect, &QSoundEffect::playingChanged, this, &SoundEffectPlayer::onPlayingChanged);
    m_effect->setSource(QUrl::fromLocalFile(source));
    return true;
}

void SoundEffectPlayer::play()
{
    // A fresh effect for every play: nothing the last one still has to say
    // can be taken for this sound.
    ++m_generation;
    m_watchdog.stop();
    m_wantPlay = false;
    dropEffect();
    m_state = mpWaiting;
    m_reported = mpWaiting;  // a new play: its end must be reported even if the last one ended too
    m_wantPlay = true;
    if (!makeEffect() || m_effect->status() == QSoundEffect::Error) {
        // Missing, unreadable, not a sound, or nowhere to play it: the
        // announcement ends at once.
        giveUp();
        return;
    }
    m_watchdog.start(m_startLimitMs);
    m_effect->play();
}

void SoundEffectPlayer::stop()
{
    ++m_generation;
    m_wantPlay = false;
    m_watchdog.stop();
    if (m_effect)
        m_effect->stop();
    m_state = mpStopped;
    m_reported = mpStopped;
}

void SoundEffectPlayer::onStatusChanged()
{
    if (!m_wantPlay || !m_effect)
        return;
    if (m_effect->status() == QSoundEffect::Error)
        giveUp();
    else if (m_effect->status() == QSoundEffect::Ready && m_effect->isPlaying())
        markPlaying();
}

void SoundEffectPlayer::onPlayingChanged()
{
    if (!m_wantPlay || !m_effect)
        return;
    if (m_effect->isPlaying()) {
        // Qt says "playing" as soon as it is asked to; the output starts
        // only once the samples are loaded.
        if (m_effect->status() == QSoundEffect::Ready)
            markPlaying();
        return;
    }
    m_wantPlay = false;
    m_watchdog.stop();
    m_state = mpStopped;
    report(mpStopped);
}

void SoundEffectPlayer::markPlaying()
{
    if (m_state == mpPlaying)
        return;
    m_state = mpPlaying;
    m_watchdog.start(std::min(m_lengthLimitMs, m_soundMs + kEndSlackMs));
    report(mpPlaying);
}

void SoundEffectPlayer::giveUp()
{
    const bool wasWanted = m_wantPlay;
    m_wantPlay = false;
    m_watchdog.stop();
    if (m_effect)
        m_effect->stop();
    m_state = mpStopped;
    if (wasWanted)
        report(mpStopped);
}

void SoundEffectPlayer::report(int newState)
{
    // Always through the event loop: the caller of play() has returned first.
    const quint64 generation = m_generation;
    QMetaObject::invokeMethod(
        this,
        [this, generation, newState] {
            if (generation != m_generation || newState == m_reported)
                return;
            const int old = m_reported;
            m_reported = newState;
            emit PlayStateChange(old, newState);
        },
        Qt::QueuedConnection);
}

}  // namespace plat
