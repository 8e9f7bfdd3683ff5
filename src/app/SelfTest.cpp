#include "app/SelfTest.h"

#include "app/AppServices.h"
#include "app/frmMain.h"
#include "boarding/Boarding.h"
#include "platform/MediaPlayer.h"

#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSoundEffect>
#include <QTextStream>
#include <QTimer>
#include <QUrl>

#include <cstdio>
#include <cstdlib>

namespace {

bool HasWaveHeader(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(12);
    return head.size() == 12 && head.startsWith("RIFF") && head.mid(8, 4) == "WAVE";
}

// Qt 6.4 blocks for ever when a QSoundEffect is destroyed while its sample is
// still loading, and so does the sample cache at exit; such an effect is
// left alone and `stuck` tells the caller to leave without clean-up.
bool LoadsAsSound(const QString& path, QString& status, bool& stuck)
{
    auto* effect = new QSoundEffect;
    QEventLoop loop;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(effect, &QSoundEffect::statusChanged, &loop, [&] {
        if (effect->status() == QSoundEffect::Ready || effect->status() == QSoundEffect::Error)
            loop.quit();
    });
    effect->setSource(QUrl::fromLocalFile(path));
    if (effect->status() != QSoundEffect::Ready && effect->status() != QSoundEffect::Error) {
        limit.start(10000);
        loop.exec();
    }
    const QSoundEffect::Status result = effect->status();
    if (result == QSoundEffect::Ready || result == QSoundEffect::Error)
        delete effect;
    else
        stuck = true;
    switch (result) {
    case QSoundEffect::Ready: status = QStringLiteral("loads"); return true;
    case QSoundEffect::Error: status = QStringLiteral("does not load"); return false;
    default: status = QStringLiteral("still loading after 10 s"); return false;
    }
}

int CheckSounds()
{
    QTextStream out(stdout);
    // The window fills m_sPath at load exactly as on a normal start.
    auto* window = new frmMain(AppServices::System());
    const QString folder = window->boarding().Path();
    out << "sound folder: " << folder << Qt::endl;

    bool allGood = !folder.isEmpty();
    bool stuck = false;
    for (const QString& name : {Boarding::kDing, Boarding::kBoardComplete, Boarding::kGndbrief,
                                Boarding::kPretaxbr}) {
        const QString path = plat::BuildPath(folder, name);
        QString status;
        bool ok = false;
        if (!QFileInfo(path).isFile())
            status = QStringLiteral("missing");
        else if (!HasWaveHeader(path))
            status = QStringLiteral("not a RIFF WAVE file");
        else
            ok = LoadsAsSound(path, status, stuck);
        out << (ok ? "ok      " : "FAILED  ") << path << ": " << status << Qt::endl;
        allGood = allGood && ok;
    }
    if (stuck) {
        std::fflush(nullptr);
        std::_Exit(1);
    }
    window->close();
    delete window;
    return allGood ? 0 : 1;
}

}  // namespace

int RunSelfTestIfAsked()
{
    const QByteArray what = qgetenv("TARMALO_SELFTEST");
    if (what.isEmpty())
        return -1;
    if (what == "sounds")
        return CheckSounds();
    QTextStream(stderr) << "TARMALO_SELFTEST: unknown check '" << what << "' (known: sounds)" << Qt::endl;
    return 2;
}
