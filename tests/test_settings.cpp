// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The per-user settings store: where the file lies, what a read and a write
// do, and a store that cannot be written or is not a file. Runs in a
// temporary config folder, never the user's own.
#include "platform/SettingsStore.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

QString readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

// The kind of node at `path`, and behind its links: what the store must
// leave as it is.
QString shape(const QString& path)
{
    struct stat link {
    }, node{};
    const QByteArray native = QFile::encodeName(path);
    const int there = ::lstat(native.constData(), &link) == 0 ? int(link.st_mode & S_IFMT) : 0;
    const int behind = ::stat(native.constData(), &node) == 0 ? int(node.st_mode & S_IFMT) : 0;
    return QStringLiteral("%1/%2").arg(there, 0, 8).arg(behind, 0, 8);
}

bool chattr(const QString& flag, const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("chattr"), {flag, path});
    return p.waitForFinished() && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

// What a store read: the stored texts, or "unread" when it told that it
// could not read them.
QString loaded(plat::QSettingsStore& store, QSignalSpy& told)
{
    QSignalSpy got(&store, &plat::SettingsStore::Loaded);
    store.Load();
    if (!QTest::qWaitFor([&] { return !got.isEmpty(); }, 4000))
        return QStringLiteral("late");
    if (!told.isEmpty())
        return QStringLiteral("unread");
    const auto texts = got.at(0).at(0).value<plat::Texts>();
    QStringList pairs;
    for (auto it = texts.begin(); it != texts.end(); ++it)
        pairs << it.key() + u'=' + it.value();
    return pairs.join(u' ');
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void stored_data();
    void stored();
    void handEditedFile_data();
    void handEditedFile();
    void unwritable_data();
    void unwritable();

private:
    QString configRoot() const { return m_tmp.path() + QStringLiteral("/cfg%1").arg(m_round); }
    QString appDir() const { return configRoot() + QStringLiteral("/Tarmalo"); }
    QString confFile() const { return appDir() + QStringLiteral("/Tarmalo.conf"); }

    QTemporaryDir m_tmp;
    int m_round = 0;
};

void TestSettings::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    QCoreApplication::setApplicationName(QStringLiteral("Tarmalo"));
    qRegisterMetaType<plat::Texts>();
}

void TestSettings::init()
{
    // A fresh config folder for every test function and row.
    ++m_round;
    qputenv("HOME", QFile::encodeName(m_tmp.path() + QStringLiteral("/home%1").arg(m_round)));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configRoot()));
}

void TestSettings::stored_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("first choice") << "";
    // Long enough that a write backing off between looks would land seconds
    // after the lock is free, and a message would call it unsaved.
    QTest::newRow("lock held for 5.5 s") << "lock";
    QTest::newRow("another run's choice beside it") << "other";
    // A dotfile manager's link stays a link, to the file it names.
    QTest::newRow("link to the pilot's own file") << "link";
    // A relative config folder is ignored for ~/.config.
    QTest::newRow("relative XDG_CONFIG_HOME") << "relative";
}

void TestSettings::stored()
{
    QFETCH(QString, how);
    QString file = confFile(), folder = appDir();
    QLockFile other(confFile() + QStringLiteral(".lock"));
    QVERIFY(QDir().mkpath(appDir()));
    if (how == QLatin1String("lock")) {
        QVERIFY(other.lock());
    } else if (how == QLatin1String("link")) {
        folder = m_tmp.path() + QStringLiteral("/dotfiles%1").arg(m_round);
        file = folder + QStringLiteral("/tarmalo.conf");
        QVERIFY(writeFile(file, "[Setting]\nDepart=False\n"));
        QVERIFY(QFile::link(file, confFile()));
    } else if (how == QLatin1String("relative")) {
        // Started from a folder of the test's own, which must stay empty.
        QVERIFY(QDir().mkpath(configRoot() + QStringLiteral("/started-here")));
        QDir::setCurrent(configRoot() + QStringLiteral("/started-here"));
        qputenv("XDG_CONFIG_HOME", "cfg-relative");
        folder = qEnvironmentVariable("HOME") + QStringLiteral("/.config/Tarmalo");
        file = folder + QStringLiteral("/Tarmalo.conf");
    }
    QElapsedTimer clock;
    clock.start();
    {
        plat::QSettingsStore store;
        QSignalSpy told(&store, &plat::SettingsStore::Tell);
        QCOMPARE(loaded(store, told),
                 how == QLatin1String("link") ? QStringLiteral("Depart=False") : QString());
        store.Save(QStringLiteral("Count"), false);
        store.Save(QStringLiteral("Count"), true);
        if (how == QLatin1String("other")) {
            plat::QSettingsStore second;
            second.Load();
            second.Save(QStringLiteral("Gate"), false);
            QCOMPARE(second.Finish(), QString());
        }
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        if (how == QLatin1String("lock")) {
            QTest::qWait(5500);
            other.unlock();
            clock.restart();
            QTRY_VERIFY_WITH_TIMEOUT(readFile(file).contains(QStringLiteral("Count=True")), 2000);
        }
        QCOMPARE(store.Finish(), QString());
        QCoreApplication::processEvents();
        QCOMPARE(told.count(), 0);
    }
    QCOMPARE(QFileInfo(confFile()).isSymLink(), how == QLatin1String("link"));
    QCOMPARE(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::Hidden),
             QStringList{QFileInfo(file).fileName()});
    QVERIFY(!QFileInfo::exists(configRoot() + QStringLiteral("/started-here/cfg-relative")));
    // The next run reads it all back.
    plat::QSettingsStore next;
    QSignalSpy told(&next, &plat::SettingsStore::Tell);
    const QString expected = QStringLiteral("Count=True")
                             + (how == QLatin1String("link") ? " Depart=False" : "")
                             + (how == QLatin1String("other") ? " Gate=False" : "");
    QCOMPARE(loaded(next, told), expected);
}

void TestSettings::handEditedFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("read");

    QTest::newRow("no file") << QByteArray() << "";
    QTest::newRow("upper case word") << QByteArray("[Setting]\nDepart=FALSE\n") << "Depart=FALSE";
    QTest::newRow("number, no last line break") << QByteArray("[Setting]\nDepart=7") << "Depart=7";
    QTest::newRow("spaces around") << QByteArray(" [Setting] \nDepart =  True  \n") << "Depart=True";
    QTest::newRow("no value") << QByteArray("[Setting]\nDepart=\n") << "Depart=";
    // Already so: nothing is written.
    QTest::newRow("the choice itself") << QByteArray("[Setting]\nCount=True\n") << "Count=True";
    QTest::newRow("another section") << QByteArray("[Other]\nDepart=False\n[Setting]\nGate=0\n") << "Gate=0";
    QByteArray garbage(4096, '\0');
    for (int i = 0; i < garbage.size(); ++i)
        garbage[i] = char((i * 7919) >> 3);
    QTest::newRow("binary garbage") << garbage + "\n[Setting]\nDepart=False\n"
                                    << "Depart=False";
}

void TestSettings::handEditedFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, read);

    QVERIFY(QDir().mkpath(appDir()));
    QVERIFY(file.isNull() || writeFile(confFile(), file));
    plat::QSettingsStore store;
    QSignalSpy told(&store, &plat::SettingsStore::Tell);
    QCOMPARE(loaded(store, told), read);
    QVERIFY(!file.isNull() || QDir(appDir()).isEmpty());  // reading creates nothing
    struct stat before { };
    const bool existed = ::stat(QFile::encodeName(confFile()).constData(), &before) == 0;
    // Whatever the file held, a choice is saved and nothing says otherwise.
    store.Save(QStringLiteral("Count"), true);
    QCOMPARE(store.Finish(), QString());
    QVERIFY(readFile(confFile()).contains(QStringLiteral("[Setting]\nCount=True\n")));
    QCOMPARE(told.count(), 0);
    // Every write replaces the file; a choice the file holds already is not written again.
    struct stat after { };
    QCOMPARE(::stat(QFile::encodeName(confFile()).constData(), &after), 0);
    QCOMPARE(existed && before.st_ino == after.st_ino, read.contains(QLatin1String("Count=True")));
}

void TestSettings::unwritable_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("readable");

    // These fail for root too.
    QTest::newRow("config folder is a file") << "blocker" << false;
    QTest::newRow("settings file is a folder") << "folder" << false;
    QTest::newRow("immutable file") << "immutable-file" << true;
    QTest::newRow("immutable folder") << "immutable-folder" << true;
    // The file takes a write; the folder takes no new file to swap in.
    QTest::newRow("file in an immutable folder") << "immutable-folder-file" << true;
    // A lock left by a crash in a folder where it cannot be removed, which
    // would be waited out for ever.
    QTest::newRow("stale lock, immutable folder") << "immutable-stale-lock-file" << true;
    // Nodes that are not Tarmalo's to open: reading a FIFO never ends, and a
    // write would replace the node by a file (for root) or vanish into it.
    QTest::newRow("settings file is a FIFO") << "fifo" << false;
    QTest::newRow("settings file links to a device") << "device" << false;
    // Followed, a click would create whatever file the link names.
    QTest::newRow("link naming nothing") << "dangling" << false;
    // Root follows no link another user planted on a file not theirs.
    QTest::newRow("another user's link to root's file") << "foreign-link" << false;
    QTest::newRow("no home folder") << "homeless" << false;
    // These stop only an ordinary user.
    QTest::newRow("read-only file") << "readonly-file" << true;
    QTest::newRow("read-only folder") << "readonly-folder" << true;
}

void TestSettings::unwritable()
{
    QFETCH(QString, how);
    QFETCH(bool, readable);

    const bool withFile = how.endsWith(QLatin1String("-file"));
    const QString frozen = how == QLatin1String("immutable-file") ? confFile() : appDir();
    if (withFile)
        QVERIFY(writeFile(confFile(), "[Setting]\nCount=False\n"));
    else
        QVERIFY(QDir().mkpath(appDir()));

    auto restore = qScopeGuard([&] {
        if (how.startsWith(QLatin1String("immutable")))
            chattr(QStringLiteral("-i"), frozen);
        QFile::setPermissions(appDir(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    });

    if (how == QLatin1String("blocker")) {
        QVERIFY(QDir(appDir()).removeRecursively());
        QVERIFY(writeFile(appDir(), "not a folder"));
    } else if (how == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(confFile()));
    } else if (how == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(confFile()).constData(), 0600), 0);
    } else if (how == QLatin1String("dangling")) {
        QVERIFY(QFile::link(configRoot() + QStringLiteral("/nowhere"), confFile()));
    } else if (how == QLatin1String("homeless")) {
        qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("HOME");
    } else if (how == QLatin1String("device") || how == QLatin1String("foreign-link")) {
        const bool device = how == QLatin1String("device");
        if (!device && geteuid() != 0)
            QSKIP("only root can plant another user's link");
        // Root gets nodes of the test's own, so that a fault replaces nothing of the system's.
        const QString node =
            device && geteuid() != 0 ? QStringLiteral("/dev/null") : configRoot() + "/target";
        QVERIFY(node.startsWith(QLatin1String("/dev/"))
                || (device ? ::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0
                           : writeFile(node, "root:x:0:0\n")));
        QVERIFY(QFile::link(node, confFile()));
        QVERIFY(device || ::lchown(QFile::encodeName(confFile()).constData(), 65534, 65534) == 0);
    } else if (how.startsWith(QLatin1String("immutable"))) {
        QFile lock(confFile() + QStringLiteral(".lock"));  // left an hour ago
        QVERIFY(!how.contains(QLatin1String("lock"))
                || (lock.open(QIODevice::WriteOnly) && lock.write("999999999\ntarmalo\n\n") > 0
                    && lock.setFileTime(QDateTime::currentDateTime().addSecs(-3600),
                                        QFileDevice::FileModificationTime)));
        lock.close();
        if (!chattr(QStringLiteral("+i"), frozen))
            QSKIP("chattr +i is not available on this file system or to this user");
    } else {
        if (geteuid() == 0)
            QSKIP("root writes through read-only permissions");
        if (withFile)
            QVERIFY(QFile::setPermissions(confFile(), QFile::ReadOwner));
        else
            QVERIFY(QFile::setPermissions(appDir(), QFile::ReadOwner | QFile::ExeOwner));
    }
    const QString kind = shape(confFile());
    const QString target =
        QFileInfo(confFile()).isFile() ? QFileInfo(confFile()).canonicalFilePath() : QString();
    const QString before = target.isEmpty() ? QString() : readFile(target);

    plat::QSettingsStore store;
    QSignalSpy told(&store, &plat::SettingsStore::Tell);
    // The window starts at once, with what could be read, or is told.
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(loaded(store, told),
             readable ? (withFile ? QStringLiteral("Count=False") : QString()) : "unread");
    // A burst of failed choices is told once, and none waits for the disk.
    for (bool on : {true, false, true})
        store.Save(QStringLiteral("Count"), on);
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    QTRY_COMPARE_WITH_TIMEOUT(told.count(), readable ? 1 : 2, 3000);
    QTest::qWait(200);
    QCOMPARE(told.count(), readable ? 1 : 2);
    // What was told is not told again at the end.
    QCOMPARE(store.Finish(), QString());
    QCOMPARE(shape(confFile()), kind);
    if (!target.isEmpty())
        QCOMPARE(readFile(target), before);
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
