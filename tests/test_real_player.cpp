// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The announcement player on a real audio output (a PulseAudio null sink in
// CI: see tests/audio/pulse-null.sh), and on outputs that fail or freeze.
// Sounds are written here, so the suite does not depend on the program's own
// WAV files.
#include "boarding/SoundPlayer.h"
#include "platform/SoundOutput.h"
#include "support/FakeSoundOutput.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

// A sine as a WAV file: coding 1 (integer PCM) or 3 (floats), any width;
// `extensible` writes the 40-byte format chunk, `extra` puts a LIST chunk
// before the samples.
QByteArray Wav(int ms, int rate = 22050, double hz = 660.0, int bits = 16, int channels = 1, int coding = 1,
               bool extensible = false, bool extra = false)
{
    const quint32 frames = quint32(qint64(rate) * ms / 1000);
    const int bytes = bits / 8;
    QByteArray samples;
    auto u32 = [](QByteArray& out, quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    auto u16 = [](QByteArray& out, quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    for (quint32 i = 0; i < frames; ++i) {
        const double x = 0.3 * std::sin(2.0 * M_PI * hz * i / rate);
        for (int c = 0; c < channels; ++c) {
            if (coding == 3 && bits == 32) {
                const float f = float(x);
                quint32 raw;
                std::memcpy(&raw, &f, 4);
                u32(samples, raw);
            } else if (bits == 8) {
                samples.append(char(quint8(128 + std::lround(x * 127))));
            } else {
                const qint64 v = std::llround(x * double((qint64(1) << (bits - 1)) - 1));
                for (int b = 0; b < bytes; ++b)
                    samples.append(char((v >> (8 * b)) & 0xff));
            }
        }
    }
    QByteArray fmt;
    u16(fmt, quint16(extensible ? 0xFFFE : coding));
    u16(fmt, quint16(channels));
    u32(fmt, quint32(rate));
    u32(fmt, quint32(rate * channels * bytes));
    u16(fmt, quint16(channels * bytes));
    u16(fmt, quint16(bits));
    if (extensible) {
        u16(fmt, 22);
        u16(fmt, quint16(bits));
        u32(fmt, channels == 1 ? 0x4 : 0x3);
        u16(fmt, quint16(coding));
        fmt.append("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    }
    QByteArray body = "WAVE";
    body.append("fmt ", 4);
    u32(body, quint32(fmt.size()));
    body.append(fmt);
    if (extra) {
        const QByteArray info("INFOISFT\x07\x00\x00\x00Tarmalo\x00", 20);  // odd length, padded
        body.append("LIST", 4);
        u32(body, quint32(info.size() - 1));
        body.append(info);
    }
    body.append("data", 4);
    u32(body, quint32(samples.size()));
    body.append(samples);
    QByteArray out = "RIFF";
    u32(out, quint32(body.size()));
    out.append(body);
    return out;
}

// The format of the program's announcements: 16-bit PCM mono.
QByteArray SineWav(int ms, int rate = 22050, double hz = 660.0)
{
    return Wav(ms, rate, hz);
}

// How closely what was heard follows the samples of a plain 16-bit mono
// WAV, piece by piece: each 20 ms of the file against the best place for it
// from the first sound heard on, up to 200 ms later, as a busy machine may
// leave gaps in the output or in the listening. The median of the pieces'
// normalised correlations: 1 is the file's own sound at any volume; samples
// in the wrong byte order, or otherwise mangled, stay far below.
double Likeness(const QList<qint16>& heard, const QByteArray& wav)
{
    const auto loud = std::find_if(heard.begin(), heard.end(), [](qint16 v) { return qAbs(v) > 1000; });
    const qsizetype onset = loud - heard.begin();
    const qsizetype count = (wav.size() - 44) / 2, piece = 441;
    std::vector<double> pieces;
    for (qsizetype from = 0; from + piece <= count; from += piece) {
        double best = 0;
        for (qsizetype at = std::max<qsizetype>(0, onset + from - 40);
             at <= onset + from + 4410 && at + piece <= heard.size(); ++at) {
            double xy = 0, xx = 0, yy = 0;
            for (qsizetype i = 0; i < piece; ++i) {
                const double x = heard[at + i];
                const double y = qFromLittleEndian<qint16>(wav.constData() + 44 + 2 * (from + i));
                xy += x * y;
                xx += x * x;
                yy += y * y;
            }
            if (xx > 0 && yy > 0)
                best = std::max(best, xy / std::sqrt(xx * yy));
        }
        pieces.push_back(best);
    }
    if (pieces.empty())
        return 0;
    std::nth_element(pieces.begin(), pieces.begin() + qsizetype(pieces.size()) / 2, pieces.end());
    return pieces[pieces.size() / 2];
}

// A null sink nobody listens to may hold a fresh stream for about two
// seconds before it plays it; the player's watchdog allows 2.5 s more.
constexpr int kEndMargin = 3500;

struct Report {
    qint64 atMs;
    PlayState oldState;
    PlayState newState;
};

// Every notification of one player, stamped from a chosen moment.
struct Recorder {
    explicit Recorder(MediaPlayer& player)
    {
        QObject::connect(&player, &MediaPlayer::playStateChanged, &player,
                         [this](PlayState oldState, PlayState newState) {
                             reports.push_back({clock.elapsed(), oldState, newState});
                         });
        clock.start();
    }
    void restart()
    {
        reports.clear();
        clock.restart();
    }
    // Index of the first report of the given state, or -1.
    int find(PlayState state, int from = 0) const
    {
        for (int i = from; i < int(reports.size()); ++i)
            if (reports[i].newState == state)
                return i;
        return -1;
    }
    bool sawPlaying() const { return find(PlayState::Playing) >= 0; }
    // Waits until a "not playing" report follows the given index; false on timeout.
    bool waitForEnd(int timeoutMs, int from = 0)
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < timeoutMs) {
            for (int i = from; i < int(reports.size()); ++i)
                if (reports[i].newState != PlayState::Playing)
                    return true;
            QTest::qWait(2);
        }
        return false;
    }
    bool waitForPlaying(int timeoutMs)
    {
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < timeoutMs) {
            if (sawPlaying() || find(PlayState::Stopped) >= 0)
                return sawPlaying();
            QTest::qWait(1);
        }
        return false;
    }
    QString dump() const
    {
        QStringList parts;
        for (const Report& r : reports)
            parts << QStringLiteral("%1ms %2->%3").arg(r.atMs).arg(int(r.oldState)).arg(int(r.newState));
        return parts.join(QStringLiteral(", "));
    }

    QElapsedTimer clock;
    std::vector<Report> reports;
};

}  // namespace

// Skips a case that needs sound when there is no output, unless CI has said
// that there must be one (a broken audio set-up then fails).
#define REQUIRE_AUDIO()                                                                                      \
    do {                                                                                                     \
        if (!m_haveOutput) {                                                                                 \
            if (qEnvironmentVariableIntValue("TARMALO_REQUIRE_AUDIO"))                                       \
                QFAIL("TARMALO_REQUIRE_AUDIO is set but there is no audio output (PULSE_SERVER?)");          \
            QSKIP("No audio output: run `eval \"$(tests/audio/pulse-null.sh start)\"` first");               \
        }                                                                                                    \
    } while (0)

class RealPlayerTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();

    void missingFileEndsAtOnce();
    void damagedFileEndsAtOnce_data();
    void damagedFileEndsAtOnce();
    void soundEndsEvenWithoutOutput();
    void refusingOutputIsWarnedOnce();
    void heldOutputDoesNotHoldThePlayer_data();
    void heldOutputDoesNotHoldThePlayer();

    void playsThenEnds_data();
    void playsThenEnds();
    void latencyFromPlayToPlaying();
    void soundReachesTheOutput();
    void soundComesBackAfterTheServerRestarts();

private:
    QString write(const QString& name, const QByteArray& bytes);

    QTemporaryDir m_dir;
    bool m_haveOutput = false;
};

QString RealPlayerTest::write(const QString& name, const QByteArray& bytes)
{
    const QString path = m_dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

void RealPlayerTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // An output is there when it takes a sound's format.
    plat::Pcm16 probe;
    probe.channels = 1;
    probe.rate = 22050;
    m_haveOutput = plat::NewSoundOutput()->open(probe);
    qInfo().noquote() << "audio output:" << (m_haveOutput ? "found" : "none")
                      << "PULSE_SERVER=" + qEnvironmentVariable("PULSE_SERVER");
    // The run that stands for a machine without any audio server.
    if (qEnvironmentVariableIntValue("TARMALO_EXPECT_NO_AUDIO"))
        QVERIFY2(!m_haveOutput, "an audio output was found although none was expected");
}

void RealPlayerTest::cleanupTestCase()
{
    // Whatever a player left to be deleted later goes now, as the
    // program's main() does: no event loop runs after the last case.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void RealPlayerTest::missingFileEndsAtOnce()
{
    SoundPlayer player;
    Recorder rec(player);
    player.setFileName(m_dir.filePath(QStringLiteral("NoSuchFile.wav")));
    rec.restart();
    player.play();
    QVERIFY2(rec.reports.empty(), "notified from inside play()");
    QVERIFY2(rec.waitForEnd(1000), qPrintable(rec.dump()));
    QVERIFY2(!rec.sawPlaying(), qPrintable(rec.dump()));
    QCOMPARE(rec.reports.back().newState, PlayState::Stopped);
    // Nothing more arrives later.
    QTest::qWait(300);
    QCOMPARE(int(rec.reports.size()), 1);
}

void RealPlayerTest::damagedFileEndsAtOnce_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<qint64>("sparseTo");  // zeros after the bytes, up to this size
    const QByteArray good = SineWav(400);
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.append(char((i * 131 + 7) & 0xff));
    QTest::newRow("garbage") << garbage << qint64(0);
    QTest::newRow("empty") << QByteArray() << qint64(0);
    QTest::newRow("truncated header") << good.left(20) << qint64(0);
    QByteArray badFormat = good;
    badFormat[20] = char(0x55);  // an unknown coding instead of PCM
    QTest::newRow("unknown coding") << badFormat << qint64(0);
    QByteArray noData = good.left(44);  // the header promises samples that are not there
    QTest::newRow("header without samples") << noData << qint64(0);
    // A chunk before the samples that claims more bytes than the file holds.
    QByteArray overlong = Wav(400, 22050, 660, 16, 1, 1, false, true);
    const int list = overlong.indexOf("LIST");
    qToLittleEndian<quint32>(0x7fff0000u, overlong.data() + list + 4);
    QTest::newRow("chunk past the end") << overlong << qint64(0);
    QByteArray noRate = good;
    qToLittleEndian<quint32>(0u, noRate.data() + 24);
    QTest::newRow("no sample rate") << noRate << qint64(0);
    // Nothing but empty chunks after the format, a gigabyte of them.
    QTest::newRow("sparse gigabyte") << good.left(36) << (qint64(1) << 30);
    QTest::newRow("not a wave") << QByteArray("RIFF\x04\x00\x00\x00AVI LIST", 16) << qint64(0);
    QByteArray noBlock = good;
    qToLittleEndian<quint16>(0u, noBlock.data() + 32);  // bytes per frame, against the format's 2
    QTest::newRow("block align 0") << noBlock << qint64(0);
}

void RealPlayerTest::damagedFileEndsAtOnce()
{
    QFETCH(QByteArray, bytes);
    QFETCH(qint64, sparseTo);
    const QString path =
        write(QStringLiteral("Damaged-%1.wav").arg(QTest::currentDataTag()).replace(u' ', u'-'), bytes);
    if (sparseTo)
        QVERIFY(QFile::resize(path, sparseTo));
    SoundPlayer player;
    Recorder rec(player);
    player.setFileName(path);
    rec.restart();
    player.play();
    // The file is the sound thread's business: the window's thread is back at once.
    const qint64 playTook = rec.clock.elapsed();
    QVERIFY2(rec.waitForEnd(1000), qPrintable(rec.dump()));
    QVERIFY2(!rec.sawPlaying(), qPrintable(rec.dump()));
    const qint64 endedAt = rec.reports.front().atMs;
    qInfo("%s: play() took %lld ms, not playing after %lld ms", QTest::currentDataTag(), playTook, endedAt);
    QVERIFY2(playTook < 100, qPrintable(QString::number(playTook)));
    QTest::qWait(300);
    QCOMPARE(int(rec.reports.size()), 1);
}

void RealPlayerTest::soundEndsEvenWithoutOutput()
{
    // With an output a good sound ends after its length; without one it
    // ends at once and never claims to play.
    const QString path = write(QStringLiteral("Short.wav"), SineWav(300));
    SoundPlayer player;
    Recorder rec(player);
    player.setFileName(path);
    rec.restart();
    player.play();
    QVERIFY2(rec.waitForEnd(m_haveOutput ? 300 + kEndMargin : 1000), qPrintable(rec.dump()));
    qInfo().noquote() << (m_haveOutput ? "with" : "without") << "output:" << rec.dump();
    QCOMPARE(rec.sawPlaying(), m_haveOutput);
    QCOMPARE(rec.reports.back().newState, PlayState::Stopped);
}

void RealPlayerTest::refusingOutputIsWarnedOnce()
{
    auto outputs = std::make_shared<FakeSoundOutputs>();
    outputs->refuse = QStringLiteral("Connection refused");
    const QString path = write(QStringLiteral("Refused.wav"), SineWav(100));
    SoundPlayer player(outputs->factory());
    Recorder rec(player);
    player.setFileName(path);
    const QRegularExpression text(QStringLiteral("Connection refused"));
    QTest::ignoreMessage(QtWarningMsg, text);
    QTest::failOnWarning(text);
    for (int round = 0; round < 3; ++round) {
        rec.restart();
        player.play();
        QVERIFY2(rec.waitForEnd(1000), qPrintable(rec.dump()));
        QVERIFY2(!rec.sawPlaying(), qPrintable(rec.dump()));
    }
}

void RealPlayerTest::heldOutputDoesNotHoldThePlayer_data()
{
    QTest::addColumn<FakeSoundOutputs::Hold>("hold");
    QTest::addColumn<bool>("closedAtOnce");
    // A stop cuts the wait for the end short, and the thread is gone with the player.
    QTest::newRow("end of a sound") << FakeSoundOutputs::Hold::Drain << true;
    // Only a thread that does not answer is let go, and the player does not wait for it.
    QTest::newRow("frozen server") << FakeSoundOutputs::Hold::Frozen << false;
}

void RealPlayerTest::heldOutputDoesNotHoldThePlayer()
{
    QFETCH(FakeSoundOutputs::Hold, hold);
    QFETCH(bool, closedAtOnce);
    auto outputs = std::make_shared<FakeSoundOutputs>();
    outputs->hold = hold;
    const QString path = write(QStringLiteral("Held.wav"), SineWav(100));
    QElapsedTimer ending;
    {
        SoundPlayer player(outputs->factory());
        Recorder rec(player);
        player.setFileName(path);
        player.play();
        QVERIFY2(rec.waitForPlaying(1000), qPrintable(rec.dump()));
        QTRY_VERIFY(outputs->holding);
        ending.start();
    }
    const qint64 took = ending.elapsed();
    QCOMPARE(outputs->closed == outputs->opened, closedAtOnce);
    QVERIFY2(took < 1000, qPrintable(QString::number(took)));
    // The thread let go ends once its output answers again.
    outputs->release();
    QTRY_COMPARE(outputs->closed.load(), outputs->opened.load());
}

void RealPlayerTest::playsThenEnds_data()
{
    // Played one after the other by one player; with cutIn each next one is
    // set and played while the one before still plays.
    QTest::addColumn<QList<QByteArray>>("sounds");
    QTest::addColumn<QList<int>>("lengthsMs");
    QTest::addColumn<bool>("cutIn");
    QTest::newRow("16-bit mono") << QList<QByteArray>{SineWav(400)} << QList<int>{400} << false;
    // A user may drop in any WAV of the same name.
    QTest::newRow("8-bit") << QList<QByteArray>{Wav(500, 11025, 440, 8)} << QList<int>{500} << false;
    QTest::newRow("24-bit") << QList<QByteArray>{Wav(500, 48000, 440, 24)} << QList<int>{500} << false;
    QTest::newRow("32-bit floats") << QList<QByteArray>{Wav(500, 44100, 440, 32, 1, 3)} << QList<int>{500}
                                   << false;
    QTest::newRow("stereo extensible")
        << QList<QByteArray>{Wav(500, 44100, 440, 16, 2, 1, true)} << QList<int>{500} << false;
    QTest::newRow("extra chunk") << QList<QByteArray>{Wav(500, 22050, 440, 16, 1, 1, false, true)}
                                 << QList<int>{500} << false;
    // The samples stop half-way although the header promises more.
    QTest::newRow("cut off") << QList<QByteArray>{Wav(1000, 22050, 440).left(44 + 22050)} << QList<int>{500}
                             << false;
    QTest::newRow("two in a row") << QList<QByteArray>{SineWav(300, 22050, 440), SineWav(600, 44100, 880)}
                                  << QList<int>{300, 600} << false;
    // The program sets the same chime for the open gate and the final call.
    QTest::newRow("the same file again")
        << QList<QByteArray>{SineWav(250), SineWav(250)} << QList<int>{250, 250} << false;
    QTest::newRow("a new file while playing")
        << QList<QByteArray>{SineWav(1500, 22050, 330), SineWav(700, 22050, 990)} << QList<int>{1500, 700}
        << true;
}

void RealPlayerTest::playsThenEnds()
{
    QFETCH(QList<QByteArray>, sounds);
    QFETCH(QList<int>, lengthsMs);
    QFETCH(bool, cutIn);
    // Read as long as it is and as loud (the sine's peak is 0.3 of full scale).
    for (int i = 0; i < sounds.size(); ++i) {
        QBuffer buffer(&sounds[i]);
        QVERIFY(buffer.open(QIODevice::ReadOnly));
        const std::optional<plat::Pcm16> sound = ReadWav(buffer);
        QVERIFY(sound);
        QVERIFY2(std::abs(sound->lengthUs() / 1000 - lengthsMs[i]) <= 1,
                 qPrintable(QString::number(sound->lengthUs())));
        int peak = 0;
        for (qsizetype at = 0; at + 1 < sound->samples.size(); at += 2)
            peak = std::max(peak, std::abs(int(qFromLittleEndian<qint16>(sound->samples.constData() + at))));
        QVERIFY2(std::abs(peak - 0.3 * 32767) < 0.02 * 32767, qPrintable(QString::number(peak)));
    }
    REQUIRE_AUDIO();
    SoundPlayer player;
    Recorder rec(player);
    for (int i = 0; i < sounds.size(); ++i) {
        rec.restart();
        // Named by their bytes: the same sound is the same file.
        player.setFileName(write(QString::number(qHash(sounds[i]), 16) + QStringLiteral(".wav"), sounds[i]));
        player.play();
        if (cutIn && i + 1 < sounds.size()) {
            QVERIFY2(rec.waitForPlaying(1000), qPrintable(rec.dump()));
            QTest::qWait(200);
            continue;
        }
        QVERIFY2(rec.waitForEnd(lengthsMs[i] + kEndMargin), qPrintable(rec.dump()));
        // Let the sound cut short run out its time too: nothing of it may surface.
        if (cutIn)
            QTest::qWait(2500);
        qInfo().noquote() << i << rec.dump();
        QCOMPARE(int(rec.reports.size()), 2);
        QCOMPARE(rec.reports[0].newState, PlayState::Playing);
        QCOMPARE(rec.reports[1].oldState, PlayState::Playing);
        QCOMPARE(rec.reports[1].newState, PlayState::Stopped);
        // It really played: the end comes no sooner than most of its length.
        QVERIFY2(rec.reports[1].atMs - rec.reports[0].atMs >= lengthsMs[i] * 3 / 4, qPrintable(rec.dump()));
    }
}

void RealPlayerTest::latencyFromPlayToPlaying()
{
    REQUIRE_AUDIO();
    // Each round as the program does it: a file set, then played at once.
    const QString first = write(QStringLiteral("LatA.wav"), SineWav(150, 22050, 520));
    const QString second = write(QStringLiteral("LatB.wav"), SineWav(150, 44100, 780));
    SoundPlayer player;
    Recorder rec(player);
    std::vector<qint64> latencies;
    for (int round = 0; round < 9; ++round) {
        player.setFileName(round % 2 ? second : first);
        rec.restart();
        player.play();
        QVERIFY2(rec.waitForPlaying(1000), qPrintable(rec.dump()));
        latencies.push_back(rec.reports[rec.find(PlayState::Playing)].atMs);
        QVERIFY2(rec.waitForEnd(150 + kEndMargin), qPrintable(rec.dump()));
    }
    QStringList all;
    for (qint64 l : latencies)
        all << QString::number(l);
    std::vector<qint64> sorted = latencies;
    std::sort(sorted.begin(), sorted.end());
    const qint64 median = sorted[sorted.size() / 2];
    qInfo().noquote() << QStringLiteral("play() to playing: median %1 ms, max %2 ms (%3)")
                             .arg(median)
                             .arg(sorted.back())
                             .arg(all.join(u' '));
    QVERIFY2(median < 500, qPrintable(all.join(u' ')));
}

void RealPlayerTest::soundReachesTheOutput()
{
    // Listens on the output's monitor with parec: the file's very samples go
    // out, as many as it holds, and this gives the time to audible sound.
    REQUIRE_AUDIO();
    const QString parec = QStandardPaths::findExecutable(QStringLiteral("parec"));
    if (parec.isEmpty())
        QSKIP("parec (package pulseaudio-utils) is not installed");
    const int rate = 22050;
    const int lengthMs = 600;
    const QByteArray wav = SineWav(lengthMs, rate, 440);
    const QString path = write(QStringLiteral("Heard.wav"), wav);

    QProcess listener;
    listener.start(parec, {QStringLiteral("-d"), QStringLiteral("@DEFAULT_MONITOR@"), QStringLiteral("--raw"),
                           QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                           QStringLiteral("--rate=%1").arg(rate), QStringLiteral("--latency-msec=10")});
    QVERIFY2(listener.waitForStarted(3000), qPrintable(listener.errorString()));
    QElapsedTimer clock;
    clock.start();
    qint64 playedAt = -1, firstHeard = -1, lastHeard = -1, endedAt = -1;
    QList<qint16> heard;  // every sample after play()
    qint64 total = 0;
    QByteArray pending;
    QObject::connect(&listener, &QProcess::readyReadStandardOutput, &listener, [&] {
        pending += listener.readAllStandardOutput();
        const qsizetype whole = pending.size() / 2 * 2;
        const auto* s = reinterpret_cast<const qint16*>(pending.constData());
        for (qsizetype i = 0; i < whole / 2; ++i) {
            ++total;
            if (playedAt < 0)
                continue;
            const qint16 v = qFromLittleEndian(s[i]);
            heard.append(v);
            if (qAbs(v) > 1000) {
                lastHeard = clock.elapsed() - playedAt;
                if (firstHeard < 0)
                    firstHeard = lastHeard;
            }
        }
        pending.remove(0, whole);
    });
    // Only once the monitor streams is the moment of play() comparable.
    QTRY_VERIFY_WITH_TIMEOUT(total > rate / 10, 3000);

    SoundPlayer player;
    Recorder rec(player);
    QObject::connect(&player, &MediaPlayer::playStateChanged, &player, [&](PlayState, PlayState newState) {
        if (newState != PlayState::Playing)
            endedAt = clock.elapsed() - playedAt;
    });
    player.setFileName(path);
    playedAt = clock.elapsed();
    player.play();
    QVERIFY2(rec.waitForEnd(lengthMs + kEndMargin), qPrintable(rec.dump()));
    QTest::qWait(300);
    listener.terminate();
    listener.waitForFinished(2000);

    // Whatever the volume on the way, a sine is above a fifth of its peak on
    // 87 % of its samples: count those, and compare with the file's length.
    int peak = 0;
    for (qint16 v : heard)
        peak = std::max(peak, qAbs(int(v)));
    qint64 loud = 0;
    for (qint16 v : heard)
        loud += qAbs(int(v)) > peak / 5;
    const qint64 expected = qint64(rate) * lengthMs / 1000 * 87 / 100;
    qInfo("output: peak %d, %lld samples above a fifth of it (a %d ms sine: %lld); "
          "first heard %lld ms after play(), last %lld ms; end reported %lld ms after the last sample",
          peak, loud, lengthMs, expected, firstHeard, lastHeard, endedAt - lastHeard);
    if (qEnvironmentVariableIsSet("TARMALO_DUMP_HEARD")) {
        QFile dump(qEnvironmentVariable("TARMALO_DUMP_HEARD"));
        if (dump.open(QIODevice::WriteOnly))
            dump.write(reinterpret_cast<const char*>(heard.constData()), heard.size() * 2);
    }
    const double likeness = Likeness(heard, wav);
    qInfo("heard is like the file by %.3f", likeness);
    QVERIFY2(peak > 1000, "nothing audible reached the output");
    QVERIFY2(likeness > 0.9, "the output's samples are not the file's");
    QVERIFY2(loud >= expected * 90 / 100 && loud <= expected * 110 / 100, qPrintable(QString::number(loud)));
    QVERIFY(firstHeard >= 0 && firstHeard < 500);
    // The end is the output's, not a guess: it comes after the last sample
    // and soon after it, so a paused boarding resumes with the sound.
    QVERIFY2(endedAt >= lastHeard - 50 && endedAt - lastHeard < 750, qPrintable(rec.dump()));
}

void RealPlayerTest::soundComesBackAfterTheServerRestarts()
{
    // The sound server goes away and comes back on the same socket: the
    // sound in between ends at once, a later one plays again without a
    // restart of the program.
    if (!qEnvironmentVariableIntValue("TARMALO_RESTART_SERVER"))
        QSKIP(
            "ends the sound server: run by the test_real_player_server_restart case on a server of its own");
    REQUIRE_AUDIO();
    const QString script =
        qEnvironmentVariable("TARMALO_SOURCE_DIR") + QStringLiteral("/tests/audio/pulse-null.sh");
    auto server = [&](const char* what) {
        return QProcess::execute(QStringLiteral("sh"), {script, QString::fromLatin1(what)});
    };
    const QString path = write(QStringLiteral("Again.wav"), SineWav(300));
    SoundPlayer player;
    Recorder rec(player);
    player.setFileName(path);
    player.play();
    QVERIFY2(rec.waitForEnd(300 + kEndMargin), qPrintable(rec.dump()));
    QVERIFY2(rec.sawPlaying(), qPrintable(rec.dump()));

    QCOMPARE(server("kill"), 0);
    QElapsedTimer down;
    down.start();
    // A stream opened in the instant the server goes away may never become
    // ready; the watchdog covers that, and this case is about what follows.
    QTest::qWait(500);
    rec.restart();
    player.play();
    QVERIFY2(rec.waitForEnd(1000), qPrintable(rec.dump()));
    QVERIFY2(!rec.sawPlaying(), qPrintable(rec.dump()));
    // Down longer than a client library's single retry a few seconds after
    // the loss, as when a pilot restarts the server by hand.
    QTest::qWait(int(std::max<qint64>(0, 5000 - down.elapsed())));
    QCOMPARE(server("revive"), 0);

    // The server answers again: the next sound plays, with no restart of the
    // program and no retries.
    rec.restart();
    player.play();
    QVERIFY2(rec.waitForEnd(300 + kEndMargin), qPrintable(rec.dump()));
    qInfo().noquote() << "after the restart:" << rec.dump();
    const bool played = rec.sawPlaying();
    QVERIFY2(played, qPrintable(rec.dump()));
    QCOMPARE(int(rec.reports.size()), 2);
    QVERIFY2(rec.reports[1].atMs - rec.reports[0].atMs >= 300 * 3 / 4, qPrintable(rec.dump()));
}

QTEST_GUILESS_MAIN(RealPlayerTest)
#include "test_real_player.moc"
