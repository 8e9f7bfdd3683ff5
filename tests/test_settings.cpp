// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The per-user settings store: where the file lies, what a read and a write
// do, and a store that cannot be written. Runs in a temporary config folder,
// never the user's own.
#include "platform/SettingsStore.h"
#include "support/FakeServices.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QScopeGuard>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

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
    void cleanupTestCase();

    void fileLocation();
    void roundTrip_data();
    void roundTrip();
    void missingGivesDefault();
    void writeIsImmediateAndKeepsOthers();
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
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, configRoot());
    QCOMPARE(fileFor(kApp), confFile());
}

void TestSettings::cleanupTestCase()
{
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_tmp.path() + QStringLiteral("/xdg"));
}

void TestSettings::fileLocation()
{
    plat::QSettingsStore store;
    QVERIFY(store.setText(QStringLiteral("Depart"), QStringLiteral("True")));
    QVERIFY(QFile::exists(confFile()));
    const QString text = readFile(confFile());
    QVERIFY2(text.contains(QStringLiteral("[Setting]\nDepart=True")), qPrintable(text));
}

void TestSettings::roundTrip_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("True") << "Depart"
                          << "True";
    QTest::newRow("False") << "Count"
                           << "False";
    QTest::newRow("numeric on") << "Boarding"
                                << "-1";
    QTest::newRow("numeric off") << "Gate"
                                 << "0";
    QTest::newRow("empty text") << "Brief"
                                << "";
    QTest::newRow("comma") << "Brief"
                           << "1,000";
    QTest::newRow("spaces and quotes") << "Brief"
                                       << " a \"b\" ";
    QTest::newRow("non-ASCII") << "Brief" << QString::fromUtf8("Zürich ✈");
}

void TestSettings::roundTrip()
{
    QFETCH(QString, key);
    QFETCH(QString, value);

    {
        plat::QSettingsStore writer;
        QVERIFY(writer.setText(key, value));
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
    QVERIFY(store.setText(QStringLiteral("Gate"), QStringLiteral("False")));
    {
        QSettings other(confFile(), QSettings::IniFormat);
        other.setValue(QStringLiteral("Other/Depart"), QStringLiteral("False"));
    }
    QCOMPARE(store.Text(QStringLiteral("Depart")).value_or(QStringLiteral("-1")), QStringLiteral("-1"));
    QCOMPARE(store.Text(QStringLiteral("Gate")).value_or(QStringLiteral("-1")), QStringLiteral("False"));
}

void TestSettings::writeIsImmediateAndKeepsOthers()
{
    plat::QSettingsStore store;
    QVERIFY(store.setText(QStringLiteral("Depart"), QStringLiteral("True")));
    QVERIFY(store.setText(QStringLiteral("Count"), QStringLiteral("True")));
    // On disk as soon as the call returns, without anything else happening.
    QVERIFY(readFile(confFile()).contains(QStringLiteral("Count=True")));
    QVERIFY(store.setText(QStringLiteral("Count"), QStringLiteral("False")));
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
    QCOMPARE(store.Text(QStringLiteral("Depart")).value_or(QStringLiteral("-1")), read);
    // Whatever the file held, a choice is saved and the save says so.
    QVERIFY(store.setText(QStringLiteral("Count"), QStringLiteral("True")));
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
    // A lock held by a live process (this one), and one left by a crash in a
    // folder where it cannot be removed, which Qt would wait out for ever.
    QTest::newRow("lock held") << "held-lock-file";
    QTest::newRow("stale lock, immutable folder") << "immutable-stale-lock-file";
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
    const QString frozen = withFile && !locked ? confFile() : appDir;
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
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                           configRoot() + QStringLiteral("/blocker"));
    } else if (how == QLatin1String("folder")) {
        QVERIFY(QDir().mkpath(confFile()));
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
    const QString before = readFile(confFile());

    plat::QSettingsStore store;
    // Each click is told at once, however the store is stuck.
    for (const QString& text : {QStringLiteral("True"), QStringLiteral("False"), QStringLiteral("True")}) {
        QElapsedTimer clock;
        clock.start();
        QVERIFY(!store.setText(QStringLiteral("Count"), text));
        QVERIFY2(clock.elapsed() < 1500, qPrintable(QString::number(clock.elapsed())));
    }
    // Nothing was stored, not even in memory for this run. (Under a lock
    // Qt would hold the read as well.)
    const QString expected = withFile ? QStringLiteral("False") : QStringLiteral("0");
    if (!locked)
        QCOMPARE(store.Text(QStringLiteral("Count")).value_or(QStringLiteral("0")), expected);
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
    if (how == QLatin1String("blocker") || how == QLatin1String("folder"))
        return;
    const QString after = locked ? QStringLiteral("True") : expected;
    QTRY_COMPARE_WITH_TIMEOUT(store.Text(QStringLiteral("Count")).value_or(QStringLiteral("0")), after,
                              20000);
    QVERIFY(store.setText(QStringLiteral("Gate"), QStringLiteral("False")));
    QCOMPARE(store.Text(QStringLiteral("Count")).value_or(QStringLiteral("0")), after);
    QVERIFY(locked || !readFile(confFile()).contains(QStringLiteral("Count=True")));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
