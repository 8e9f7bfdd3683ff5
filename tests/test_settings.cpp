// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The per-user settings store: where the file lies, what a read and a write
// do, and a store that cannot be written or is not a file. Runs in a
// temporary config folder, never the user's own.
#include "platform/SettingsStore.h"
#include "support/FakeServices.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

const QString kApp = QStringLiteral("Tarmalo");
const QString kSection = QStringLiteral("Setting");

QString readFile(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QString();
    return QString::fromUtf8(f.readAll());
}

// Where the store keeps an application's values.
QString fileFor(const QString& app)
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, app, app).fileName();
}

bool writeFile(const QString& path, const QByteArray& data)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(data) == data.size();
}

// What a damaged disk or a stray copy leaves: bytes that are no settings
// file at all, the same every run.
QByteArray garbage()
{
    QByteArray bytes(4096, '\0');
    quint32 state = 12345;
    for (char& b : bytes) {
        state = state * 1103515245u + 12345u;
        b = char(state >> 16);
    }
    return bytes;
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

// Lets the store's thread end its writes, and hands what came of them to
// the test's spies.
void settle(plat::QSettingsStore& store)
{
    store.Finish();
    QCoreApplication::processEvents();
}

bool chattr(const QString& flag, const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("chattr"), {flag, path});
    return p.waitForFinished() && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void fileLocation();
    void roundTrip_data();
    void roundTrip();
    void missingGivesDefault();
    void writeLandsAndKeepsOthers();
    void handEditedFile_data();
    void handEditedFile();
    void unwritable_data();
    void unwritable();

private:
    QString configRoot() const { return m_tmp.path() + QStringLiteral("/cfg%1").arg(m_round); }
    QString confFile() const { return configRoot() + QStringLiteral("/Tarmalo/Tarmalo.conf"); }

    QTemporaryDir m_tmp;
    int m_round = 0;
};

void TestSettings::initTestCase()
{
    QVERIFY(m_tmp.isValid());
    // Before the first QSettings: the store follows the XDG config folder.
    qputenv("HOME", QFile::encodeName(m_tmp.path() + QStringLiteral("/home")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp.path() + QStringLiteral("/xdg")));
    const QString file = fileFor(kApp);
    if (!file.startsWith(m_tmp.path()))
        QFAIL(qPrintable(QStringLiteral("the store would touch %1").arg(file)));
    QCOMPARE(file, m_tmp.path() + QStringLiteral("/xdg/Tarmalo/Tarmalo.conf"));
}

void TestSettings::init()
{
    // A fresh config folder for every test function and row.
    ++m_round;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configRoot()));
}

void TestSettings::fileLocation()
{
    // Where QSettings' own store for Tarmalo lies.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_tmp.path() + QStringLiteral("/xdg")));
    plat::QSettingsStore store;
    store.setText(QStringLiteral("Depart"), QStringLiteral("True"));
    settle(store);
    const QString text = readFile(fileFor(kApp));
    QVERIFY2(text.contains(QStringLiteral("[Setting]\nDepart=True")), qPrintable(text));
}

void TestSettings::roundTrip_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("lockedMs");  // how long another program holds the lock

    QTest::newRow("True") << "Depart"
                          << "True" << 0;
    QTest::newRow("False") << "Count"
                           << "False" << 0;
    QTest::newRow("numeric on") << "Boarding"
                                << "-1" << 0;
    QTest::newRow("numeric off") << "Gate"
                                 << "0" << 0;
    QTest::newRow("empty text") << "Brief"
                                << "" << 0;
    QTest::newRow("comma") << "Brief"
                           << "1,000" << 0;
    QTest::newRow("spaces and quotes") << "Brief"
                                       << " a \"b\" " << 0;
    QTest::newRow("non-ASCII") << "Brief" << QString::fromUtf8("Zürich ✈") << 0;
    // Long enough that a write backing off between looks would land seconds
    // after the lock is free.
    QTest::newRow("lock held for 3.3 s") << "Count"
                                         << "True" << 3300;
}

void TestSettings::roundTrip()
{
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(int, lockedMs);

    QVERIFY(QDir().mkpath(configRoot() + QStringLiteral("/Tarmalo")));
    QLockFile other(confFile() + QStringLiteral(".lock"));
    QVERIFY(!lockedMs || other.lock());
    {
        plat::QSettingsStore writer;
        QSignalSpy told(&writer, &plat::SettingsStore::NotSaved);
        QElapsedTimer clock;
        clock.start();
        writer.setText(key, value);
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        if (lockedMs) {
            // Nothing to tell: the write is only held up, and lands soon
            // after the lock is free.
            QTest::qWait(lockedMs - int(clock.elapsed()));
            other.unlock();
            clock.restart();
            QTRY_VERIFY_WITH_TIMEOUT(readFile(confFile()).contains(key + u'=' + value), 2000);
            qInfo("landed %lld ms after the lock was freed", clock.elapsed());
        }
        settle(writer);
        QCOMPARE(told.count(), 0);
    }
    plat::QSettingsStore reader;
    QCOMPARE(reader.Text(key).value_or(QStringLiteral("default")), value);
    // Read from the file itself, as the next run would.
    QSettings file(confFile(), QSettings::IniFormat);
    QCOMPARE(file.value(kSection + u'/' + key).toString(), value);
}

void TestSettings::missingGivesDefault()
{
    plat::QSettingsStore store;
    // No file at all.
    QCOMPARE(store.Text(QStringLiteral("Depart")).value_or(QStringLiteral("-1")), QStringLiteral("-1"));
    QCOMPARE(store.Text(QStringLiteral("Count")).value_or(QStringLiteral("0")), QStringLiteral("0"));
    QVERIFY(!QFile::exists(confFile()));  // reading creates nothing

    // A file with other keys, and the same key in another section.
    store.setText(QStringLiteral("Gate"), QStringLiteral("False"));
    settle(store);
    {
        QSettings other(confFile(), QSettings::IniFormat);
        other.setValue(QStringLiteral("Other/Depart"), QStringLiteral("False"));
    }
    QCOMPARE(store.Text(QStringLiteral("Depart")).value_or(QStringLiteral("-1")), QStringLiteral("-1"));
    QCOMPARE(store.Text(QStringLiteral("Gate")).value_or(QStringLiteral("-1")), QStringLiteral("False"));
}

void TestSettings::writeLandsAndKeepsOthers()
{
    plat::QSettingsStore store;
    store.setText(QStringLiteral("Depart"), QStringLiteral("True"));
    store.setText(QStringLiteral("Count"), QStringLiteral("True"));
    // On disk without anything else happening on the window's thread.
    QTRY_VERIFY_WITH_TIMEOUT(readFile(confFile()).contains(QStringLiteral("Count=True")), 5000);
    store.setText(QStringLiteral("Count"), QStringLiteral("False"));
    settle(store);
    const QString text = readFile(confFile());
    QVERIFY2(text.contains(QStringLiteral("Count=False")) && !text.contains(QStringLiteral("Count=True")),
             qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("Depart=True")));
}

void TestSettings::handEditedFile_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("read");
    QTest::addColumn<QByteArray>("before");  // what precedes the section

    QTest::newRow("upper case word") << QByteArray("Depart=FALSE") << "FALSE" << QByteArray();
    QTest::newRow("number") << QByteArray("Depart=7") << "7" << QByteArray();
    QTest::newRow("junk") << QByteArray("Depart=maybe") << "maybe" << QByteArray();
    QTest::newRow("spaces around") << QByteArray("Depart =  True  ") << "True" << QByteArray();
    QTest::newRow("no value") << QByteArray("Depart=") << "" << QByteArray();
    QTest::newRow("binary garbage") << QByteArray("Depart=False") << "False" << garbage() + '\n';
}

void TestSettings::handEditedFile()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, read);
    QFETCH(QByteArray, before);

    QVERIFY(writeFile(confFile(), before + "[Setting]\n" + line + "\n"));
    plat::QSettingsStore store;
    QSignalSpy told(&store, &plat::SettingsStore::NotSaved);
    QCOMPARE(store.Text(QStringLiteral("Depart")).value_or(QStringLiteral("-1")), read);
    // Whatever the file held, a choice is saved and nothing says otherwise.
    store.setText(QStringLiteral("Count"), QStringLiteral("True"));
    settle(store);
    QCOMPARE(told.count(), 0);
    QCOMPARE(
        QSettings(confFile(), QSettings::IniFormat).value(kSection + QStringLiteral("/Count")).toString(),
        QStringLiteral("True"));
}

void TestSettings::unwritable_data()
{
    QTest::addColumn<QString>("how");

    // These fail for root too.
    QTest::newRow("config folder is a file") << "blocker";
    QTest::newRow("settings file is a folder") << "folder";
    QTest::newRow("immutable file") << "immutable-file";
    QTest::newRow("immutable folder") << "immutable-folder";
    // The file takes a write; the folder takes no new file to swap in.
    QTest::newRow("file in an immutable folder") << "immutable-folder-file";
    // A lock held by a live process (this one), and one left by a crash in a
    // folder where it cannot be removed, which Qt would wait out for ever.
    QTest::newRow("lock held") << "held-lock-file";
    QTest::newRow("stale lock, immutable folder") << "immutable-stale-lock-file";
    // Nodes that are not Tarmalo's to open: reading a FIFO never ends, and a
    // write would replace the node by a file (for root) or vanish into it.
    QTest::newRow("settings file is a FIFO") << "fifo";
    QTest::newRow("settings file links to a device") << "device";
    // These stop only an ordinary user.
    QTest::newRow("read-only file") << "readonly-file";
    QTest::newRow("read-only folder") << "readonly-folder";
}

void TestSettings::unwritable()
{
    QFETCH(QString, how);

    const QString appDir = configRoot() + QStringLiteral("/Tarmalo");
    const bool withFile = how.endsWith(QLatin1String("-file"));
    const bool locked = how.contains(QLatin1String("lock"));
    const bool heldBack = how == QLatin1String("held-lock-file");
    const QString frozen = how == QLatin1String("immutable-file") ? confFile() : appDir;
    if (withFile)
        QVERIFY(writeFile(confFile(), "[Setting]\nCount=False\n"));
    else
        QVERIFY(QDir().mkpath(appDir));

    QLockFile held(confFile() + QStringLiteral(".lock"));
    auto restore = qScopeGuard([&] {
        if (how.startsWith(QLatin1String("immutable")))
            chattr(QStringLiteral("-i"), frozen);
        QFile::setPermissions(appDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::setPermissions(confFile(), QFile::ReadOwner | QFile::WriteOwner);
    });

    if (how == QLatin1String("blocker")) {
        QVERIFY(QDir(appDir).removeRecursively());
        QVERIFY(writeFile(configRoot() + QStringLiteral("/blocker"), "not a folder"));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(configRoot() + QStringLiteral("/blocker")));
    } else if (how == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(confFile()));
    } else if (how == QLatin1String("fifo")) {
        QCOMPARE(::mkfifo(QFile::encodeName(confFile()).constData(), 0600), 0);
    } else if (how == QLatin1String("device")) {
        // Root gets a null device of the test's own, so that a fault
        // replaces no node of the system's.
        QString node = QStringLiteral("/dev/null");
        if (geteuid() == 0) {
            node = configRoot() + QStringLiteral("/null");
            if (::mknod(QFile::encodeName(node).constData(), S_IFCHR | 0666, makedev(1, 3)) != 0)
                QSKIP("no device node can be made here");
        }
        QVERIFY(QFile::link(node, confFile()));
    } else if (how == QLatin1String("held-lock-file")) {
        QVERIFY(held.lock());
    } else if (how.startsWith(QLatin1String("immutable"))) {
        QFile lock(confFile() + QStringLiteral(".lock"));  // left an hour ago
        QVERIFY(!locked
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
            QVERIFY(QFile::setPermissions(appDir, QFile::ReadOwner | QFile::ExeOwner));
    }
    const QString kind = shape(confFile());
    // Reading a FIFO would never end.
    const QString before = QFileInfo(confFile()).isFile() ? readFile(confFile()) : QString();

    plat::QSettingsStore store;
    QSignalSpy told(&store, &plat::SettingsStore::NotSaved);
    // Nothing was stored before, and the window starts at once.
    const QString expected = withFile ? QStringLiteral("False") : QStringLiteral("0");
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(store.Text(QStringLiteral("Count")).value_or(QStringLiteral("0")), expected);
    // Each click is told, however the store is stuck, and none waits for it:
    // at once when the write cannot be done, after a few seconds when it is
    // held back.
    for (const QString& text : {QStringLiteral("True"), QStringLiteral("False"), QStringLiteral("True")})
        store.setText(QStringLiteral("Count"), text);
    QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    QTRY_COMPARE_WITH_TIMEOUT(told.count(), 3, (heldBack ? 15000 : 3000));
    // Nothing was stored, not even in memory for this run.
    QCOMPARE(store.Text(QStringLiteral("Count")).value_or(QStringLiteral("0")), expected);
    QCOMPARE(shape(confFile()), kind);
    if (!before.isNull())
        QCOMPARE(readFile(confFile()), before);
    // A failed write does not stop the reads, nor the next write once the
    // store is writable again. A choice held by the lock lands once it is
    // free: the last one, and nothing older after it.
    restore.dismiss();
    held.unlock();
    if (how.startsWith(QLatin1String("immutable")))
        QVERIFY(chattr(QStringLiteral("-i"), frozen));
    QFile::setPermissions(appDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QFile::setPermissions(confFile(), QFile::ReadOwner | QFile::WriteOwner);
    if (how == QLatin1String("blocker") || how == QLatin1String("folder") || how == QLatin1String("fifo")
        || how == QLatin1String("device"))
        return;
    const QString after = heldBack ? QStringLiteral("True") : expected;
    QTRY_COMPARE_WITH_TIMEOUT(store.Text(QStringLiteral("Count")).value_or(QStringLiteral("0")), after, 5000);
    store.setText(QStringLiteral("Gate"), QStringLiteral("False"));
    settle(store);
    QCOMPARE(told.count(), 3);
    QCOMPARE(store.Text(QStringLiteral("Count")).value_or(QStringLiteral("0")), after);
    QVERIFY(heldBack || !readFile(confFile()).contains(QStringLiteral("Count=True")));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
