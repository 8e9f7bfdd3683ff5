// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The Windows backends: System Information found through the registry (its
// value rules against an in-memory registry that treats the program as a
// standard user, the files real), the About box starting what the real
// registry names, and the options kept in the real registry. Built for
// Windows only; runs under Wine.
#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <map>

#include <windows.h>

#include "info/frmAbout.h"
#include "platform/Desktop.h"
#include "platform/SettingsStore.h"
#include "platform/win32/RegistrySysInfo.h"
#include "support/FakeServices.h"

using namespace common;
using namespace plat;

namespace {

// What Windows grants a standard user under HKEY_LOCAL_MACHINE: reading
// (KEY_READ), in either registry view (KEY_WOW64_64KEY, KEY_WOW64_32KEY).
constexpr std::uint32_t kReadRights = 0x20019 | 0x0100 | 0x0200;
constexpr std::uint32_t kRegExpandSz = 2;
constexpr std::uint32_t kRegBinary = 3;

const QString kToolKey = QLatin1String(reg::kSysInfoKey);
const QString kLocationKey = QLatin1String(reg::kSysInfoLocationKey);

struct FakeValue {
    std::uint32_t type = reg::kRegSz;
    QByteArray data;
};

// An in-memory registry that checks how it is called.
class FakeRegistry final : public reg::Registry {
public:
    struct Key {
        bool denied = false;  // refuses this user even reading
        std::map<QString, FakeValue> values;
    };
    std::map<QString, Key> keys;  // by key path under HKEY_LOCAL_MACHINE

    QStringList opened;  // key paths, in order of the attempts
    QList<std::uint32_t> roots;
    QList<std::uint32_t> accesses;
    QSet<reg::Handle> open;
    int queries = 0;
    bool buffersClean = true;

    long OpenKey(std::uint32_t root, const std::string& keyName, std::uint32_t access,
                 reg::Handle& key) override
    {
        const QString name = QString::fromStdString(keyName);
        opened << name;
        roots << root;
        accesses << access;
        const auto found = keys.find(name);
        if (root != reg::kHkeyLocalMachine || found == keys.end())
            return ERROR_FILE_NOT_FOUND;
        if (found->second.denied || (access & ~kReadRights))
            return ERROR_ACCESS_DENIED;
        key = m_next++;
        m_names[key] = name;
        open.insert(key);
        return reg::kErrorSuccess;
    }

    long QueryValue(reg::Handle key, const std::string& valueName, std::uint32_t& type, char* data,
                    std::uint32_t& size) override
    {
        ++queries;
        if (!open.contains(key))
            return ERROR_INVALID_HANDLE;
        // The caller hands over 1024 NUL characters and says so.
        if (size != reg::kValueBufferSize
            || QByteArray(data, size) != QByteArray(int(reg::kValueBufferSize), '\0'))
            buffersClean = false;
        const Key& k = keys[m_names[key]];
        const auto found = k.values.find(QString::fromStdString(valueName));
        if (found == k.values.end())
            return ERROR_FILE_NOT_FOUND;
        const std::uint32_t needed = std::uint32_t(found->second.data.size());
        type = found->second.type;
        if (needed > size) {
            size = needed;
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, found->second.data.constData(), needed);
        size = needed;
        return reg::kErrorSuccess;
    }

    void CloseKey(reg::Handle key) override { open.remove(key); }

private:
    reg::Handle m_next = 100;
    std::map<reg::Handle, QString> m_names;
};

struct Fakes {
    FakeRegistry registry;
};

QByteArray Sz(const QByteArray& text)
{
    return text + QByteArray(1, '\0');
}

// A value as the registry holds it: its type and its text.
std::pair<DWORD, QString> RawValue(HKEY root, const wchar_t* key, const QString& name)
{
    wchar_t data[256] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    if (RegGetValueW(root, key, reinterpret_cast<const wchar_t*>(name.utf16()), RRF_RT_ANY, &type, data,
                     &size)
        != ERROR_SUCCESS)
        return {0, QString()};
    return {type, QString::fromWCharArray(data)};
}

}  // namespace

class TestRegistry : public QObject {
    Q_OBJECT
private slots:

    // GetKeyValue on its own: what one value gives.
    void getKeyValue_data()
    {
        QTest::addColumn<bool>("keyExists");
        QTest::addColumn<bool>("denied");
        QTest::addColumn<bool>("valueExists");
        QTest::addColumn<int>("type");
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QString>("after");

        const QByteArray a1023(1023, 'a'), a1024(1024, 'a');
        QTest::newRow("string with its NUL")
            << true << false << true << 1 << Sz("abc") << "" << true << "abc";
        QTest::newRow("string without NUL")
            << true << false << true << 1 << QByteArray("abc") << "" << true << "abc";
        QTest::newRow("only a NUL") << true << false << true << 1 << Sz("") << "old" << true << "";
        QTest::newRow("one character") << true << false << true << 1 << QByteArray("x") << "" << true << "x";
        QTest::newRow("only the last NUL goes") << true << false << true << 1 << QByteArray("ab\0\0", 4) << ""
                                                << true << QString::fromLatin1("ab\0", 3);
        QTest::newRow("1023 characters and NUL fill the buffer")
            << true << false << true << 1 << Sz(a1023) << "" << true << QString::fromLatin1(a1023);
        QTest::newRow("1024 characters without NUL fill it")
            << true << false << true << 1 << a1024 << "" << true << QString::fromLatin1(a1024);
        QTest::newRow("1024 characters and NUL are too long")
            << true << false << true << 1 << Sz(a1024) << "old" << false << "";
        QTest::newRow("far too long")
            << true << false << true << 1 << Sz(QByteArray(5000, 'b')) << "old" << false << "";
        QTest::newRow("text in the code page")
            << true << false << true << 1 << Sz(QString::fromUtf8("\xc3\x85re").toLocal8Bit()) << "" << true
            << QString::fromUtf8("\xc3\x85re");
        QTest::newRow("number 42") << true << false << true << 4 << QByteArray("\x2a\0\0\0", 4) << "old"
                                   << true << "42";
        QTest::newRow("number byte order")
            << true << false << true << 4 << QByteArray("\x04\x03\x02\x01", 4) << "" << true << "16909060";
        QTest::newRow("largest number")
            << true << false << true << 4 << QByteArray("\xff\xff\xff\xff", 4) << "" << true << "4294967295";
        QTest::newRow("zero") << true << false << true << 4 << QByteArray(4, '\0') << "" << true << "0";
        QTest::newRow("expandable string keeps old")
            << true << false << true << int(kRegExpandSz) << Sz("C:\\x") << "keep" << true << "keep";
        QTest::newRow("binary keeps old") << true << false << true << int(kRegBinary)
                                          << QByteArray("\x01\x02", 2) << "keep" << true << "keep";
        QTest::newRow("missing value")
            << true << false << false << 1 << QByteArray() << "junk" << false << "";
        QTest::newRow("missing key") << false << false << false << 1 << QByteArray() << "junk" << false << "";
        QTest::newRow("key refused to this user")
            << true << true << true << 1 << Sz("abc") << "junk" << false << "";
    }
    void getKeyValue()
    {
        QFETCH(bool, keyExists);
        QFETCH(bool, denied);
        QFETCH(bool, valueExists);
        QFETCH(int, type);
        QFETCH(QByteArray, data);
        QFETCH(QString, before);
        QFETCH(bool, result);
        QFETCH(QString, after);

        Fakes fakes;
        if (keyExists) {
            auto& key = fakes.registry.keys[QStringLiteral("SOFTWARE\\Test")];
            key.denied = denied;
            if (valueExists)
                key.values[QStringLiteral("Value")] = FakeValue{std::uint32_t(type), data};
        }
        QString KeyVal = before;
        QCOMPARE(win32::GetKeyValue(fakes.registry, reg::kHkeyLocalMachine, QStringLiteral("SOFTWARE\\Test"),
                                    QStringLiteral("Value"), KeyVal),
                 result);
        QCOMPARE(KeyVal, after);
        QCOMPARE(fakes.registry.accesses, QList<std::uint32_t>({0x20019u}));
        QCOMPARE(fakes.registry.roots, QList<std::uint32_t>({0x80000002u}));
        QVERIFY2(fakes.registry.open.isEmpty(), "a key was left open");
        QVERIFY(fakes.registry.buffersClean);
    }

    void getKeyValueWithNothingStoredIsARuntimeError()
    {
        Fakes fakes;
        fakes.registry.keys[QStringLiteral("K")].values[QStringLiteral("V")] = FakeValue{reg::kRegSz, {}};
        QString KeyVal = QStringLiteral("old");
        QVERIFY_THROWS_EXCEPTION(reg::EmptyRegistryValue,
                                 win32::GetKeyValue(fakes.registry, reg::kHkeyLocalMachine,
                                                    QStringLiteral("K"), QStringLiteral("V"), KeyVal));
        QVERIFY2(fakes.registry.open.isEmpty(), "the key was left open");
    }

    // Where the tool is found: which keys are opened and what comes back.
    // The values may name files in a folder of the test's, written <dir>.
    void locate_data()
    {
        QTest::addColumn<int>("pathType");  // 0: no value
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("folderType");
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<bool>("keysDenied");
        QTest::addColumn<QStringList>("files");  // made in <dir>
        QTest::addColumn<QStringList>("opens");
        QTest::addColumn<QString>("located");  // "!" : an error

        const QByteArray tool = "<dir>\\sysinfo.exe";
        const QString inFolder = QStringLiteral("<dir>\\Shared\\MSINFO32.EXE");
        const QStringList allFiles{QStringLiteral("sysinfo.exe"), QStringLiteral("Shared/MSINFO32.EXE")};
        const QStringList first{kToolKey};
        const QStringList both{kToolKey, kLocationKey};

        QTest::newRow("a standard user finds the tool") << 1 << Sz(tool) << 1 << Sz("<dir>\\Shared") << false
                                                        << allFiles << first << QString::fromLatin1(tool);
        QTest::newRow("first value without its NUL")
            << 1 << tool << 0 << QByteArray() << false << allFiles << first << QString::fromLatin1(tool);
        QTest::newRow("first value, no file there: no second lookup")
            << 1 << Sz(tool) << 1 << Sz("<dir>\\Shared") << false << QStringList{"Shared/MSINFO32.EXE"}
            << first << "";
        QTest::newRow("first value, a folder there")
            << 1 << Sz("<dir>\\Shared") << 0 << QByteArray() << false << allFiles << first << "";
        QTest::newRow("first value with a quote and an argument")
            << 1 << Sz(tool + "\" C:\\evil.txt") << 0 << QByteArray() << false << allFiles << first << "";
        QTest::newRow("only second, file in folder")
            << 0 << QByteArray() << 1 << Sz("<dir>\\Shared") << false << allFiles << both << inFolder;
        QTest::newRow("only second, no file in folder") << 0 << QByteArray() << 1 << Sz("<dir>\\Shared")
                                                        << false << QStringList{"sysinfo.exe"} << both << "";
        QTest::newRow("neither value")
            << 0 << QByteArray() << 0 << QByteArray() << false << allFiles << both << "";
        QTest::newRow("keys refused to this user")
            << 1 << Sz(tool) << 1 << Sz("<dir>\\Shared") << true << allFiles << both << "";
        QTest::newRow("first over 1024 bytes counts as missing")
            << 1 << Sz(QByteArray(1100, 'x')) << 1 << Sz("<dir>\\Shared") << false << allFiles << both
            << inFolder;
        QTest::newRow("first over 1024 bytes, no second")
            << 1 << Sz(QByteArray(1100, 'x')) << 0 << QByteArray() << false << allFiles << both << "";
        QTest::newRow("first stored empty: an error, no second lookup")
            << 1 << QByteArray() << 1 << Sz("<dir>\\Shared") << false << allFiles << first << "!";
        QTest::newRow("second stored empty: an error")
            << 0 << QByteArray() << 1 << QByteArray() << false << allFiles << both << "!";
        QTest::newRow("first of an unusable type")
            << int(kRegExpandSz) << Sz(tool) << 0 << QByteArray() << false << allFiles << first << "";
        QTest::newRow("first a number")
            << 4 << QByteArray("\x2a\0\0\0", 4) << 0 << QByteArray() << false << allFiles << first << "";
        QTest::newRow("first an empty text")
            << 1 << Sz("") << 0 << QByteArray() << false << allFiles << first << "";
        QTest::newRow("second of an unusable type")
            << 0 << QByteArray() << int(kRegBinary) << QByteArray("\x01", 1) << false << allFiles << both
            << "";
    }
    void locate()
    {
        QFETCH(int, pathType);
        QFETCH(QByteArray, path);
        QFETCH(int, folderType);
        QFETCH(QByteArray, folder);
        QFETCH(bool, keysDenied);
        QFETCH(QStringList, files);
        QFETCH(QStringList, opens);
        QFETCH(QString, located);

        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("Shared")));
        for (const QString& name : files) {
            QFile file(dir.filePath(name));
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
        const QByteArray native = QDir::toNativeSeparators(dir.path()).toLocal8Bit();
        Fakes fakes;
        auto& toolKey = fakes.registry.keys[kToolKey];
        auto& locationKey = fakes.registry.keys[kLocationKey];
        toolKey.denied = locationKey.denied = keysDenied;
        if (pathType)
            toolKey.values[QStringLiteral("PATH")] =
                FakeValue{std::uint32_t(pathType), QByteArray(path).replace("<dir>", native)};
        if (folderType)
            locationKey.values[QStringLiteral("MSINFO")] =
                FakeValue{std::uint32_t(folderType), QByteArray(folder).replace("<dir>", native)};

        QString found;
        try {
            found = win32::LocateSysInfo(fakes.registry);
        } catch (const reg::EmptyRegistryValue&) {
            found = QStringLiteral("!");
        }
        QCOMPARE(found, QString(located).replace(QStringLiteral("<dir>"), QString::fromLocal8Bit(native)));
        QCOMPARE(fakes.registry.opened, opens);
        for (std::uint32_t access : fakes.registry.accesses)
            QCOMPARE(access, 0x20019u);
        QVERIFY2(fakes.registry.open.isEmpty(), "a key was left open");
    }

    // The options go under Tarmalo's own key, as REG_SZ texts, and read
    // back as stored.
    void settingsInTheRegistry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("on");
        QTest::newRow("Depart off") << "Depart" << false;
        QTest::newRow("Count on") << "Count" << true;
    }
    void settingsInTheRegistry()
    {
        QFETCH(QString, name);
        QFETCH(bool, on);
        const wchar_t* key = L"Software\\Tarmalo\\Tarmalo\\Setting";
        // This run's registry is Wine's own; a real one keeps the pilot's value.
        QCoreApplication::setApplicationName(QStringLiteral("Tarmalo"));
        const std::optional<Texts> before = options::Read();
        QVERIFY(before);
        auto restore = qScopeGuard([&] {
            if (before->contains(name))
                options::Write({{name, before->value(name)}}, [] { return false; });
            else
                RegDeleteKeyValueW(HKEY_CURRENT_USER, key, reinterpret_cast<const wchar_t*>(name.utf16()));
        });
        QSettingsStore store;
        QSignalSpy told(&store, &SettingsStore::Tell);
        store.Load();
        store.Save(name, on);
        QCOMPARE(store.Finish(), QString());
        QCoreApplication::processEvents();
        QCOMPARE(told.count(), 0);
        const auto [type, text] = RawValue(HKEY_CURRENT_USER, key, name);
        QCOMPARE(type, DWORD(REG_SZ));
        QCOMPARE(text, on ? QStringLiteral("True") : QStringLiteral("False"));
        // As the next start of the program reads it.
        QCOMPARE(options::Read().value_or(Texts()).value(name), text);
    }

    // The About box with the real registry (Wine's, of this test run) and
    // Wine's own msinfo32.exe: what the PATH value names is started as one
    // program; a value with more after a quote starts nothing.
    void systemInfoStartsWhatTheRegistryNames_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("message");
        QTest::newRow("msinfo32.exe") << "C:\\windows\\system32\\msinfo32.exe" << false;
        QTest::newRow("a quote and an argument")
            << "C:\\windows\\system32\\msinfo32.exe\" C:\\evil.txt" << true;
    }
    void systemInfoStartsWhatTheRegistryNames()
    {
        QFETCH(QString, path);
        QFETCH(bool, message);
        const wchar_t* key = L"SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
        const auto [oldType, oldPath] = RawValue(HKEY_LOCAL_MACHINE, key, QStringLiteral("PATH"));
        QCOMPARE(RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, L"PATH", REG_SZ, path.utf16(),
                                 DWORD((path.size() + 1) * sizeof(wchar_t))),
                 LONG(ERROR_SUCCESS));
        const auto restore = qScopeGuard([&, type = oldType, text = oldPath] {
            if (type)
                RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, L"PATH", type, text.utf16(),
                                DWORD((text.size() + 1) * sizeof(wchar_t)));
            else
                RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, key, L"PATH");
        });
        RecordingMessageBoxes messages;
        frmAbout box(SysInfoTool, messages);
        box.StartSysInfo();
        QCOMPARE(messages.shown.size(), message ? 1 : 0);
    }
};

QTEST_MAIN(TestRegistry)
#include "test_registry.moc"
