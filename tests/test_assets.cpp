// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The icons and the sounds: their file formats as the program relies on
// them, and that the build put the sounds beside the executables. (The
// generator scripts check what they make themselves.)
#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QSet>
#include <QTest>

#include <cmath>

namespace {

const QStringList kSounds = {QStringLiteral("Ding.wav"), QStringLiteral("BoardComplete.wav"),
                             QStringLiteral("Gndbrief.wav"), QStringLiteral("Pretaxbr.wav")};

quint16 U16(const QByteArray& b, qsizetype at)
{
    return quint16(quint8(b[at])) | quint16(quint8(b[at + 1])) << 8;
}
quint32 U32(const QByteArray& b, qsizetype at)
{
    return quint32(U16(b, at)) | quint32(U16(b, at + 2)) << 16;
}
qint32 I32(const QByteArray& b, qsizetype at)
{
    return qint32(U32(b, at));
}

QByteArray ReadAll(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

QString SourceDir()
{
    return qEnvironmentVariable("TARMALO_SOURCE_DIR");
}

QString AssetPath(const QString& rel)
{
    return SourceDir() + QStringLiteral("/assets/") + rel;
}

// What a WAV file says about itself; error is empty when it is the kind of
// file the player is given: plain 16-bit PCM, mono.
struct Wav {
    QString error;
    quint32 rate = 0;
    double seconds = 0;
    int peak = 0;
    double rms = 0;
};

Wav ParseWav(const QByteArray& b)
{
    Wav w;
    if (b.size() < 12 || b.left(4) != "RIFF" || b.mid(8, 4) != "WAVE") {
        w.error = QStringLiteral("not RIFF/WAVE");
        return w;
    }
    if (U32(b, 4) != quint32(b.size() - 8)) {
        w.error = QStringLiteral("RIFF size %1 does not match the file").arg(U32(b, 4));
        return w;
    }
    bool haveFmt = false;
    qsizetype pos = 12;
    while (pos + 8 <= b.size()) {
        const QByteArray id = b.mid(pos, 4);
        const quint32 size = U32(b, pos + 4);
        const qsizetype body = pos + 8;
        if (body + qsizetype(size) > b.size()) {
            w.error = QStringLiteral("chunk %1 runs past the end").arg(QString::fromLatin1(id));
            return w;
        }
        if (id == "fmt ") {
            if (size < 16) {
                w.error = QStringLiteral("short fmt chunk");
                return w;
            }
            const quint16 format = U16(b, body);
            const quint16 channels = U16(b, body + 2);
            w.rate = U32(b, body + 4);
            const quint32 byteRate = U32(b, body + 8);
            const quint16 blockAlign = U16(b, body + 12);
            const quint16 bits = U16(b, body + 14);
            if (format != 1)
                w.error = QStringLiteral("format tag %1, not PCM").arg(format);
            else if (channels != 1)
                w.error = QStringLiteral("%1 channels, not mono").arg(channels);
            else if (bits != 16)
                w.error = QStringLiteral("%1 bits, not 16").arg(bits);
            else if (w.rate != 22050 && w.rate != 44100)
                w.error = QStringLiteral("rate %1").arg(w.rate);
            else if (blockAlign != 2 || byteRate != w.rate * 2)
                w.error = QStringLiteral("inconsistent block align or byte rate");
            if (!w.error.isEmpty())
                return w;
            haveFmt = true;
        } else if (id == "data") {
            if (!haveFmt) {
                w.error = QStringLiteral("data before fmt");
                return w;
            }
            const qsizetype n = size / 2;
            double sum = 0;
            for (qsizetype i = 0; i < n; ++i) {
                const int s = qint16(U16(b, body + 2 * i));
                w.peak = qMax(w.peak, std::abs(s));
                sum += double(s) * s;
            }
            w.seconds = double(n) / w.rate;
            w.rms = n ? std::sqrt(sum / n) : 0;
            return w;
        }
        pos = body + size + (size & 1);
    }
    w.error = QStringLiteral("no data chunk");
    return w;
}

void VerifySound(const QString& name, const QByteArray& bytes)
{
    const Wav w = ParseWav(bytes);
    QVERIFY2(w.error.isEmpty(), qPrintable(name + QStringLiteral(": ") + w.error));
    QVERIFY2(w.seconds > 0.5 && w.seconds < 20.0,
             qPrintable(QStringLiteral("%1 lasts %2 s").arg(name).arg(w.seconds)));
    // Audible: peaks above -20 dBFS and a real body of sound, not a click.
    QVERIFY2(w.peak > 3277, qPrintable(QStringLiteral("%1 peak %2").arg(name).arg(w.peak)));
    QVERIFY2(w.rms > 300, qPrintable(QStringLiteral("%1 rms %2").arg(name).arg(w.rms)));
    if (name == QLatin1String("Ding.wav"))
        QVERIFY2(w.seconds < 3.0, "the chime is a short one");
}

// Checks the directory and headers of a classic icon file: a 32x32 and a
// 16x16 image, each a 4-bit bitmap with its palette and AND mask.
void VerifyIco(const QByteArray& b)
{
    QVERIFY(b.size() >= 6 + 2 * 16);
    QCOMPARE(U16(b, 0), quint16(0));
    QCOMPARE(U16(b, 2), quint16(1));
    QCOMPARE(U16(b, 4), quint16(2));
    QSet<int> sizes;
    for (int i = 0; i < 2; ++i) {
        const qsizetype e = 6 + 16 * i;
        const int w = quint8(b[e]);
        const int h = quint8(b[e + 1]);
        QCOMPARE(w, h);
        sizes.insert(w);
        QCOMPARE(int(quint8(b[e + 2])), 16);  // colour count
        QCOMPARE(U16(b, e + 4), quint16(1));  // planes
        QCOMPARE(U16(b, e + 6), quint16(4));  // bits per pixel
        const quint32 bytes = U32(b, e + 8);
        const quint32 offset = U32(b, e + 12);
        QVERIFY(qsizetype(offset) + qsizetype(bytes) <= b.size());

        QCOMPARE(U32(b, offset), quint32(40));  // BITMAPINFOHEADER
        QCOMPARE(I32(b, offset + 4), w);
        QCOMPARE(I32(b, offset + 8), 2 * h);  // colour rows plus mask rows
        QCOMPARE(U16(b, offset + 14), quint16(4));
        QCOMPARE(U32(b, offset + 16), quint32(0));  // uncompressed
        const quint32 xorRow = (w * 4 + 31) / 32 * 4;
        const quint32 andRow = (w + 31) / 32 * 4;
        QCOMPARE(bytes, 40 + 16 * 4 + (xorRow + andRow) * h);
    }
    QCOMPARE(sizes, (QSet<int>{32, 16}));
}

QList<QImage> ReadIcoImages(const QString& path)
{
    QList<QImage> images;
    QImageReader reader(path);
    for (int i = 0; i < reader.imageCount(); ++i) {
        if (!reader.jumpToImage(i))
            break;
        images << reader.read().convertToFormat(QImage::Format_ARGB32);
    }
    return images;
}

QImage FindSize(const QList<QImage>& images, int size)
{
    for (const QImage& im : images)
        if (im.width() == size && im.height() == size)
            return im;
    return {};
}

QByteArray Sha1(const QByteArray& b)
{
    return QCryptographicHash::hash(b, QCryptographicHash::Sha1).toHex();
}

}  // namespace

class TestAssets : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(!SourceDir().isEmpty(), "TARMALO_SOURCE_DIR is not set");
        QVERIFY2(QFileInfo::exists(AssetPath(QStringLiteral("banner.bmp"))),
                 qPrintable(AssetPath(QStringLiteral("banner.bmp"))));
    }

    void icoFileHoldsTwo16ColourImages()
    {
        const QString name = QStringLiteral("tarmalo");
        const QString res = AssetPath(QStringLiteral("icons/%1.ico").arg(name));
        VerifyIco(ReadAll(res));
        if (QTest::currentTestFailed())
            return;

        const QList<QImage> images = ReadIcoImages(res);
        QCOMPARE(images.size(), 2);
        const QIcon icon(res);
        QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
        QVERIFY(icon.availableSizes().contains(QSize(16, 16)));

        for (int size : {32, 16}) {
            const QImage fromIco = FindSize(images, size);
            QVERIFY2(!fromIco.isNull(), qPrintable(QString::number(size)));
            // The AND mask makes the corner transparent.
            QCOMPARE(qAlpha(fromIco.pixel(0, 0)), 0);
            // The PNG twin shows the very same pixels.
            const QImage png = QImage(QStringLiteral(":/tarmalo/%1-%2.png").arg(name).arg(size))
                                   .convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(png.size(), QSize(size, size));
            QSet<QRgb> colours;
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    const QRgb a = fromIco.pixel(x, y);
                    const QRgb b = png.pixel(x, y);
                    QCOMPARE(qAlpha(a), qAlpha(b));
                    if (qAlpha(a) == 0)
                        continue;
                    QCOMPARE(a, b);
                    colours.insert(a);
                }
            QVERIFY(colours.size() > 2 && colours.size() <= 16);
        }
    }

    void desktopIconsInEveryThemeSize()
    {
        for (int size : {16, 32, 48, 64, 128, 256}) {
            const QString path = AssetPath(QStringLiteral("icons/hicolor/%1/tarmalo.png").arg(size));
            const QImage im(path);
            QVERIFY2(!im.isNull(), qPrintable(path));
            QCOMPARE(im.size(), QSize(size, size));
            QVERIFY(im.hasAlphaChannel());
            QCOMPARE(qAlpha(im.pixel(0, 0)), 0);  // transparent corner
        }
    }

    void soundsLieBesideTheExecutable()
    {
        const QDir here(QCoreApplication::applicationDirPath());
        for (const QString& name : kSounds) {
            const QString path = here.filePath(name);
            QVERIFY2(QFileInfo::exists(path), qPrintable(path));
            const QByteArray bytes = ReadAll(path);
            VerifySound(name, bytes);
            if (QTest::currentTestFailed())
                return;
            // The build copies the committed file, and keeps the copy current.
            QCOMPARE(Sha1(bytes), Sha1(ReadAll(AssetPath(QStringLiteral("sounds/") + name))));
        }
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    TestAssets test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_assets.moc"
