// The About box: its texts and layout, closing it, and finding the System
// Information tool through a fake registry, file lookup and launcher.
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QScopeGuard>
#include <QSet>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <functional>
#include <map>

#include "Version.h"
#include "info/WindowHints.h"
#include "info/frmAbout.h"
#include "platform/MessageBox.h"
#include "platform/RuntimeError.h"
#include "support/FakeServices.h"

using namespace plat;

namespace {

constexpr std::uint32_t kKeyRead = 0x20019;  // what a read-only key grants
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
        bool readOnly = false;  // refuses anything beyond reading
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
            return reg::kErrorFileNotFound;
        if (found->second.readOnly && (access & ~kKeyRead))
            return reg::kErrorAccessDenied;
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
            return reg::kErrorInvalidHandle;
        // The caller hands over 1024 NUL characters and says so.
        if (size != reg::kValueBufferSize
            || QByteArray(data, size) != QByteArray(int(reg::kValueBufferSize), '\0'))
            buffersClean = false;
        const Key& k = keys[m_names[key]];
        const auto found = k.values.find(QString::fromStdString(valueName));
        if (found == k.values.end())
            return reg::kErrorFileNotFound;
        const std::uint32_t needed = std::uint32_t(found->second.data.size());
        type = found->second.type;
        if (needed > size) {
            size = needed;
            return reg::kErrorMoreData;
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

class FakeFiles final : public FileLookup {
public:
    QSet<QString> files;
    QStringList lookups;
    QString Dir(const QString& path) override
    {
        lookups << path;
        return files.contains(path) ? path.mid(path.lastIndexOf(QLatin1Char('\\')) + 1) : QString();
    }
};

class FakeLauncher final : public Launcher {
public:
    QSet<QString> startable;
    QStringList attempts;
    QList<int> styles;
    int started = 0;
    qint64 Shell(const QString& pathName, int windowStyle) override
    {
        attempts << pathName;
        styles << windowStyle;
        if (!startable.contains(pathName))
            throw RuntimeError(ERR_FILE_NOT_FOUND, QStringLiteral("File not found"));
        return 4000 + ++started;
    }
};

struct Fakes {
    FakeRegistry registry;
    FakeFiles files;
    FakeLauncher launcher;
    RecordingMessageBoxes messages;
    SysInfoServices services() { return {&registry, &files, &launcher, &messages}; }
};

QByteArray Sz(const QByteArray& text)
{
    return text + QByteArray(1, '\0');
}

// Runs the box the way Help > About does, with `inside` acting while it is
// open; a box that does not close within 5 s is closed here and reported.
struct ModalRun {
    QPointer<frmAbout> box;
    bool wasModal = false;
    bool hung = false;
};
ModalRun RunModal(const SysInfoServices& services, const std::function<void(frmAbout*)>& inside)
{
    auto run = std::make_shared<ModalRun>();
    QTimer::singleShot(50, [run, inside] {
        run->box = qobject_cast<frmAbout*>(QApplication::activeModalWidget());
        if (!run->box)
            return;
        run->wasModal = run->box->isModal() && run->box->isVisible();
        inside(run->box);
    });
    QTimer::singleShot(5000, [run] {
        if (run->box) {
            run->hung = true;
            run->box->done(0);
        }
    });
    frmAbout::ShowModal(services);
    return *run;
}

}  // namespace

class TestAbout : public QObject {
    Q_OBJECT
private slots:
    void versionLabel_data()
    {
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("revision");
        QTest::addColumn<QString>("label");
        QTest::newRow("1.0.0") << 1 << 0 << 0 << "Version 1.0";
        QTest::newRow("2.5.0") << 2 << 5 << 0 << "Version 2.5";
        QTest::newRow("2.5.3") << 2 << 5 << 3 << "Version 2.5.3";
        QTest::newRow("10.2.7") << 10 << 2 << 7 << "Version 10.2.7";
        QTest::newRow("revision 1") << 1 << 0 << 1 << "Version 1.0.1";
        QTest::newRow("0.0.0") << 0 << 0 << 0 << "Version 0.0";
        QTest::newRow("no leading zeros") << 3 << 10 << 100 << "Version 3.10.100";
    }
    void versionLabel()
    {
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, revision);
        QFETCH(QString, label);
        QCOMPARE(frmAbout::VersionLabel(major, minor, revision), label);
    }

    void loadSetsTheTexts()
    {
        Fakes fakes;
        frmAbout box(fakes.services());
        QCOMPARE(box.windowTitle(), QStringLiteral("About Tarmalo"));
        QCOMPARE(box.lblTitle->text(), QStringLiteral("Tarmalo"));
        QCOMPARE(box.lblVersion->text(),
                 frmAbout::VersionLabel(kVersionMajor, kVersionMinor, kVersionRevision));
        QVERIFY(box.lblVersion->text().startsWith(QStringLiteral("Version ")));
        QCOMPARE(box.cmdOK->text(), QStringLiteral("OK"));
        QCOMPARE(box.cmdSysInfo->text(), QStringLiteral("&System Info..."));
        QCOMPARE(box.lblDisclaimer->text(),
                 QString(frmAbout::DisclaimerText()).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        QVERIFY(!box.lblDisclaimer->text().contains(QLatin1Char('\r')));
    }

    void versionRecordIsTheProjects()
    {
        // The numbers come from the build's project version, one place only.
        QCOMPARE(QStringLiteral("%1.%2.%3").arg(kVersionMajor).arg(kVersionMinor).arg(kVersionRevision),
                 QString::fromLatin1(kVersionText));
    }

    void disclaimerPieces()
    {
        const QString text = frmAbout::DisclaimerText();
        QVERIFY(!text.endsWith(QLatin1Char('\n')));
        QCOMPARE(text.count(QLatin1Char('\r')), text.count(QStringLiteral("\r\n")));
        QCOMPARE(text.count(QLatin1Char('\n')), text.count(QStringLiteral("\r\n")));
        const QStringList lines = text.split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 5);
        QCOMPARE(lines[0], QString());  // the free-use notice, empty
        const QString credit = lines[1];
        const qsizetype gnd = credit.indexOf(QStringLiteral("Gndbrief.wav"));
        const qsizetype pre = credit.indexOf(QStringLiteral("Pretaxbr.wav"));
        const qsizetype ding = credit.indexOf(QStringLiteral("Ding.wav"));
        QVERIFY(gnd >= 0 && pre > gnd && ding > pre);
        QCOMPARE(lines[2], QString());  // an empty line after the credit line
        QVERIFY(lines[3].contains(QRegularExpression(QStringLiteral("^Copyright \u00A9 20\\d\\d \\S"))));
        QVERIFY(lines[4].contains(QRegularExpression(QStringLiteral("^[\\w.+-]+@[\\w-]+(\\.[\\w-]+)+$"))));
    }

    void layout_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");  // twips / 15
        QTest::newRow("cmdOK") << "cmdOK" << QRect(283, 88, 84, 23);
        QTest::newRow("cmdSysInfo") << "cmdSysInfo" << QRect(284, 117, 83, 23);
        QTest::newRow("lblTitle") << "lblTitle" << QRect(70, 16, 259, 32);
        QTest::newRow("lblVersion") << "lblVersion" << QRect(70, 52, 259, 15);
        QTest::newRow("lblDisclaimer") << "lblDisclaimer" << QRect(12, 88, 263, 121);
        // Grey from x 90 to 5654 at y 1125; white from x 105, one pixel lower, 2 thick.
        QTest::newRow("Line1 index 1") << "Line1_1" << QRect(6, 75, 371, 1);
        QTest::newRow("Line1 index 0") << "Line1_0" << QRect(7, 76, 370, 2);
    }
    void layout()
    {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        Fakes fakes;
        frmAbout box(fakes.services());
        auto* control = box.findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->parentWidget(), &box);
        QCOMPARE(control->geometry(), rect);
    }

    void separatorColours()
    {
        Fakes fakes;
        frmAbout box(fakes.services());
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        const QImage image = box.grab().toImage();
        QCOMPARE(QColor(image.pixel(6, 75)), QColor(128, 128, 128));
        QCOMPARE(QColor(image.pixel(376, 75)), QColor(128, 128, 128));
        QCOMPARE(QColor(image.pixel(7, 76)), QColor(Qt::white));
        QCOMPARE(QColor(image.pixel(376, 77)), QColor(Qt::white));
        QVERIFY(QColor(image.pixel(6, 76)) != QColor(Qt::white));  // the white starts one further in
        QVERIFY(QColor(image.pixel(200, 74)) != QColor(128, 128, 128));
        QVERIFY(QColor(image.pixel(200, 78)) != QColor(Qt::white));
    }

    // Black stays black on a light window; on a dark one the palette's own
    // text colour, and an etched line in its shades rather than a white bar.
    void darkWindow()
    {
        const QPalette before = QApplication::palette();
        const QPalette dark(QColor(53, 53, 53));
        QApplication::setPalette(dark);
        const auto restore = qScopeGuard([&] { QApplication::setPalette(before); });
        Fakes fakes;
        frmAbout box(fakes.services());
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QCOMPARE(box.lblTitle->palette().color(QPalette::WindowText), dark.color(QPalette::WindowText));
        QCOMPARE(box.lblDisclaimer->palette().color(QPalette::WindowText), dark.color(QPalette::WindowText));
        const QImage image = box.grab().toImage();
        // Sampled in the middle of each logical pixel, at any scale.
        const auto grey = [&](int x, int y) {
            const qreal dpr = image.devicePixelRatio();
            return qGray(image.pixel(int((x + 0.5) * dpr), int((y + 0.5) * dpr)));
        };
        const int window = grey(200, 72);
        QVERIFY(grey(200, 75) < window);
        QVERIFY(grey(200, 76) > window);
        QVERIFY(grey(200, 76) < window + 64);
    }

    void windowProperties()
    {
        Fakes fakes;
        frmAbout box(fakes.services());
        QCOMPARE(box.parentWidget(), nullptr);
        QCOMPARE(box.windowType(), Qt::Dialog);
        const Qt::WindowFlags flags = box.windowFlags();
        QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
        QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
        QVERIFY(!(flags & Qt::WindowContextHelpButtonHint));
        QVERIFY(flags & Qt::WindowCloseButtonHint);
        QCOMPARE(box.minimumSize(), QSize(382, 213));
        QCOMPARE(box.maximumSize(), QSize(382, 213));
        QVERIFY(!box.isSizeGripEnabled());

        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        // The client area from the screen's corner: 2340, 1935 twips.
        QCOMPARE(box.geometry(), QRect(156, 129, 382, 213));
    }

    void titleFont()
    {
        Fakes fakes;
        frmAbout box(fakes.services());
        const QFont font = box.lblTitle->font();
        QCOMPARE(font.pointSize(), 18);
        QCOMPARE(font.weight(), QFont::Normal);
        QVERIFY(!font.italic());
        QCOMPARE(font.styleHint(), QFont::SansSerif);
        QCOMPARE(QFontInfo(font).pointSize(), 18);
        QCOMPARE(box.lblTitle->palette().color(QPalette::WindowText), QColor(Qt::black));
        QCOMPARE(box.lblDisclaimer->palette().color(QPalette::WindowText), QColor(Qt::black));
    }

    // The texts must fit their labels with the fonts this system gives them.
    void textsFitTheirLabels_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("lblTitle") << "lblTitle";
        QTest::newRow("lblVersion") << "lblVersion";
        QTest::newRow("lblDisclaimer") << "lblDisclaimer";
    }
    void textsFitTheirLabels()
    {
        QFETCH(QString, name);
        Fakes fakes;
        frmAbout box(fakes.services());
        auto* label = box.findChild<QLabel*>(name);
        QVERIFY(label);
        QVERIFY(label->wordWrap());
        const int needed = label->heightForWidth(label->width());
        QVERIFY2(needed <= label->height(),
                 qPrintable(QStringLiteral("needs %1 px, has %2").arg(needed).arg(label->height())));
    }

    void pictureShowsTheProgramIcon()
    {
        Fakes fakes;
        frmAbout box(fakes.services());
        QCOMPARE(box.picIcon->pos(), QPoint(16, 16));
        QCOMPARE(box.picIcon->frameShadow(), QFrame::Sunken);
        QVERIFY(box.picIcon->frameShape() != QFrame::NoFrame);
        if (!QFile::exists(QStringLiteral(":/tarmalo/tarmalo-32.png")))
            QSKIP("the program icon resource is not linked into this build");
        QCOMPARE(box.picIcon->pixmap().deviceIndependentSize().toSize(), QSize(32, 32));
        // Sized to the picture and its border: 540 twips.
        QCOMPARE(box.picIcon->size(), QSize(36, 36));
        // At 1.5x and 2x the picture drawn for that size, not the 32 enlarged.
        for (const int pixels : {48, 64}) {
            QImage shown = ProgramIcon().pixmap(QSize(32, 32), pixels / 32.0).toImage();
            shown.setDevicePixelRatio(1);
            const QImage drawn(QStringLiteral(":/tarmalo/hicolor/%1/tarmalo.png").arg(pixels));
            QCOMPARE(shown.size(), QSize(pixels, pixels));
            QCOMPARE(shown.convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     drawn.convertToFormat(QImage::Format_ARGB32_Premultiplied));
        }
    }

    void okHasTheFocusAndIsDefault()
    {
        Fakes fakes;
        frmAbout box(fakes.services());
        QVERIFY(box.cmdOK->isDefault());  // by itself, not only for having the focus
        QVERIFY(!box.cmdSysInfo->isDefault());
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        QCOMPARE(QApplication::focusWidget(), box.cmdOK);
        QVERIFY(box.cmdOK->isDefault());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), box.cmdSysInfo);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), box.cmdOK);
    }

    void closing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Enter") << "enter";
        QTest::newRow("Return") << "return";
        QTest::newRow("Esc") << "escape";
        QTest::newRow("OK clicked") << "ok";
        QTest::newRow("close box") << "close";
    }
    void closing()
    {
        QFETCH(QString, how);
        Fakes fakes;
        const ModalRun run = RunModal(fakes.services(), [how](frmAbout* box) {
            if (how == "enter")
                QTest::keyClick(box, Qt::Key_Enter);
            else if (how == "return")
                QTest::keyClick(box, Qt::Key_Return);
            else if (how == "escape")
                QTest::keyClick(box, Qt::Key_Escape);
            else if (how == "ok")
                QTest::mouseClick(box->cmdOK, Qt::LeftButton);
            else if (how == "close")
                box->close();
        });
        QVERIFY2(run.wasModal, "no modal About box was open");
        QVERIFY2(!run.hung, "the box did not close");
        QVERIFY2(run.box.isNull(), "the box outlived its showing");
        QVERIFY(fakes.launcher.attempts.isEmpty());
        QVERIFY(fakes.messages.shown.isEmpty());
    }

    void secondChoiceShowsAFreshBox()
    {
        Fakes fakes;
        QString firstTitle;
        const ModalRun first = RunModal(fakes.services(), [&](frmAbout* box) {
            firstTitle = box->lblTitle->text();
            box->lblTitle->setText(QStringLiteral("changed"));
            box->setWindowTitle(QStringLiteral("changed"));
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QVERIFY(first.wasModal && !first.hung);
        QVERIFY(first.box.isNull());
        QStringList secondTexts;
        const ModalRun second = RunModal(fakes.services(), [&](frmAbout* box) {
            secondTexts << box->windowTitle() << box->lblTitle->text() << box->lblVersion->text()
                        << box->lblDisclaimer->text();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QVERIFY(second.wasModal && !second.hung);
        QCOMPARE(firstTitle, QStringLiteral("Tarmalo"));
        Fakes other;
        frmAbout reference(other.services());
        QCOMPARE(secondTexts, QStringList({reference.windowTitle(), reference.lblTitle->text(),
                                           reference.lblVersion->text(), reference.lblDisclaimer->text()}));
    }

    void timersKeepTickingWhileOpen()
    {
        Fakes fakes;
        int ticks = 0;
        QTimer timer;
        timer.setInterval(20);
        connect(&timer, &QTimer::timeout, [&ticks] { ++ticks; });
        timer.start();
        int ticksAtOpen = -1;
        int ticksBeforeClose = -1;
        const ModalRun run = RunModal(fakes.services(), [&](frmAbout* box) {
            ticksAtOpen = ticks;
            QTest::qWait(300);
            ticksBeforeClose = ticks;
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QVERIFY(run.wasModal && !run.hung);
        QVERIFY2(ticksBeforeClose - ticksAtOpen >= 5,
                 qPrintable(QStringLiteral("%1 ticks").arg(ticksBeforeClose - ticksAtOpen)));
    }

    // GetKeyValue on its own: what one value gives.
    void getKeyValue_data()
    {
        QTest::addColumn<bool>("keyExists");
        QTest::addColumn<bool>("readOnly");
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
        QTest::newRow("UTF-8 text") << true << false << true << 1 << Sz("\xc3\x85re") << "" << true
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
        QTest::newRow("key refused for 0x2003F")
            << true << true << true << 1 << Sz("abc") << "junk" << false << "";
    }
    void getKeyValue()
    {
        QFETCH(bool, keyExists);
        QFETCH(bool, readOnly);
        QFETCH(bool, valueExists);
        QFETCH(int, type);
        QFETCH(QByteArray, data);
        QFETCH(QString, before);
        QFETCH(bool, result);
        QFETCH(QString, after);

        Fakes fakes;
        if (keyExists) {
            auto& key = fakes.registry.keys[QStringLiteral("SOFTWARE\\Test")];
            key.readOnly = readOnly;
            if (valueExists)
                key.values[QStringLiteral("Value")] = FakeValue{std::uint32_t(type), data};
        }
        frmAbout box(fakes.services());
        QString KeyVal = before;
        QCOMPARE(box.GetKeyValue(reg::kHkeyLocalMachine, QStringLiteral("SOFTWARE\\Test"),
                                 QStringLiteral("Value"), KeyVal),
                 result);
        QCOMPARE(KeyVal, after);
        QCOMPARE(fakes.registry.accesses, QList<std::uint32_t>({reg::kKeyAccessRequested}));
        QCOMPARE(fakes.registry.roots, QList<std::uint32_t>({0x80000002u}));
        QVERIFY2(fakes.registry.open.isEmpty(), "a key was left open");
        QVERIFY(fakes.registry.buffersClean);
        QVERIFY(fakes.messages.shown.isEmpty());
    }

    void getKeyValueWithNothingStoredIsARuntimeError()
    {
        Fakes fakes;
        fakes.registry.keys[QStringLiteral("K")].values[QStringLiteral("V")] = FakeValue{reg::kRegSz, {}};
        frmAbout box(fakes.services());
        QString KeyVal = QStringLiteral("old");
        QVERIFY_THROWS_EXCEPTION(
            reg::InvalidProcedureCall,
            box.GetKeyValue(reg::kHkeyLocalMachine, QStringLiteral("K"), QStringLiteral("V"), KeyVal));
        QVERIFY2(fakes.registry.open.isEmpty(), "the key was left open");
    }

    // StartSysInfo through the fakes: which lookups, which start, which message.
    void startSysInfo_data()
    {
        QTest::addColumn<int>("pathType");  // 0: no value
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<int>("folderType");
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<bool>("keysReadOnly");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QStringList>("startable");
        QTest::addColumn<QStringList>("opens");
        QTest::addColumn<QStringList>("lookups");
        QTest::addColumn<QStringList>("attempts");
        QTest::addColumn<bool>("message");

        const QString tool = QStringLiteral("C:\\Tools\\sysinfo.exe");
        const QString inFolder = QStringLiteral("C:\\Shared\\MSINFO32.EXE");
        const QStringList first{kToolKey};
        const QStringList both{kToolKey, kLocationKey};
        const QStringList none;

        QTest::newRow("first value starts that path")
            << 1 << Sz(tool.toLatin1()) << 0 << QByteArray() << false << none << QStringList{tool} << first
            << none << QStringList{tool} << false;
        QTest::newRow("first value without its NUL")
            << 1 << tool.toLatin1() << 0 << QByteArray() << false << none << QStringList{tool} << first
            << none << QStringList{tool} << false;
        QTest::newRow("first value, nothing there: start fails")
            << 1 << Sz(tool.toLatin1()) << 0 << QByteArray() << false << none << none << first << none
            << QStringList{tool} << true;
        QTest::newRow("first value wins over the second")
            << 1 << Sz(tool.toLatin1()) << 1 << Sz("C:\\Shared") << false << QStringList{inFolder}
            << QStringList{tool, inFolder} << first << none << QStringList{tool} << false;
        QTest::newRow("only second, file in folder")
            << 0 << QByteArray() << 1 << Sz("C:\\Shared") << false << QStringList{inFolder}
            << QStringList{inFolder} << both << QStringList{inFolder} << QStringList{inFolder} << false;
        QTest::newRow("only second, no file in folder")
            << 0 << QByteArray() << 1 << Sz("C:\\Shared") << false << none << QStringList{inFolder} << both
            << QStringList{inFolder} << none << true;
        QTest::newRow("only second, file there but will not start")
            << 0 << QByteArray() << 1 << Sz("C:\\Shared") << false << QStringList{inFolder} << none << both
            << QStringList{inFolder} << QStringList{inFolder} << true;
        QTest::newRow("neither value") << 0 << QByteArray() << 0 << QByteArray() << false << none << none
                                       << both << none << none << true;
        QTest::newRow("keys refused for 0x2003F")
            << 1 << Sz(tool.toLatin1()) << 1 << Sz("C:\\Shared") << true << QStringList{inFolder}
            << QStringList{tool, inFolder} << both << none << none << true;
        QTest::newRow("first over 1024 bytes counts as missing")
            << 1 << Sz(QByteArray(1100, 'x')) << 1 << Sz("C:\\Shared") << false << QStringList{inFolder}
            << QStringList{inFolder} << both << QStringList{inFolder} << QStringList{inFolder} << false;
        QTest::newRow("first over 1024 bytes, no second")
            << 1 << Sz(QByteArray(1100, 'x')) << 0 << QByteArray() << false << none << none << both << none
            << none << true;
        QTest::newRow("first stored empty: runtime error, no second lookup")
            << 1 << QByteArray() << 1 << Sz("C:\\Shared") << false << QStringList{inFolder}
            << QStringList{inFolder} << first << none << none << true;
        QTest::newRow("second stored empty: runtime error") << 0 << QByteArray() << 1 << QByteArray() << false
                                                            << none << none << both << none << none << true;
        QTest::newRow("first of an unusable type starts nothing")
            << int(kRegExpandSz) << Sz(tool.toLatin1()) << 0 << QByteArray() << false << none
            << QStringList{tool} << first << none << QStringList{QString()} << true;
        QTest::newRow("first a number")
            << 4 << QByteArray("\x2a\0\0\0", 4) << 0 << QByteArray() << false << none << QStringList{tool}
            << first << none << QStringList{QStringLiteral("42")} << true;
        QTest::newRow("first an empty text") << 1 << Sz("") << 0 << QByteArray() << false << none << none
                                             << first << none << QStringList{QString()} << true;
        QTest::newRow("second of an unusable type")
            << 0 << QByteArray() << int(kRegBinary) << QByteArray("\x01", 1) << false << none << none << both
            << QStringList{QStringLiteral("\\MSINFO32.EXE")} << none << true;
    }
    void startSysInfo()
    {
        QFETCH(int, pathType);
        QFETCH(QByteArray, path);
        QFETCH(int, folderType);
        QFETCH(QByteArray, folder);
        QFETCH(bool, keysReadOnly);
        QFETCH(QStringList, files);
        QFETCH(QStringList, startable);
        QFETCH(QStringList, opens);
        QFETCH(QStringList, lookups);
        QFETCH(QStringList, attempts);
        QFETCH(bool, message);

        Fakes fakes;
        auto& toolKey = fakes.registry.keys[kToolKey];
        auto& locationKey = fakes.registry.keys[kLocationKey];
        toolKey.readOnly = locationKey.readOnly = keysReadOnly;
        if (pathType)
            toolKey.values[QStringLiteral("PATH")] = FakeValue{std::uint32_t(pathType), path};
        if (folderType)
            locationKey.values[QStringLiteral("MSINFO")] = FakeValue{std::uint32_t(folderType), folder};
        fakes.files.files = QSet<QString>(files.begin(), files.end());
        fakes.launcher.startable = QSet<QString>(startable.begin(), startable.end());

        frmAbout box(fakes.services());
        box.StartSysInfo();

        QCOMPARE(fakes.registry.opened, opens);
        QCOMPARE(fakes.files.lookups, lookups);
        QCOMPARE(fakes.launcher.attempts, attempts);
        for (int style : fakes.launcher.styles)
            QCOMPARE(style, vbNormalFocus);
        for (std::uint32_t access : fakes.registry.accesses)
            QCOMPARE(access, 0x2003Fu);
        QVERIFY2(fakes.registry.open.isEmpty(), "a key was left open");
        if (message) {
            QCOMPARE(fakes.messages.shown.size(), 1);
            QCOMPARE(fakes.messages.shown[0].text,
                     QStringLiteral("System Information Is Unavailable At This Time"));
            QCOMPARE(fakes.messages.shown[0].style, 0);
            QCOMPARE(fakes.messages.shown[0].title, AppTitle());
            QCOMPARE(fakes.messages.shown[0].title, QStringLiteral("Tarmalo"));
        } else {
            QCOMPARE(fakes.messages.shown.size(), 0);
        }
    }

    void systemInfoButtonStartsEachTime_data()
    {
        QTest::addColumn<bool>("byKey");
        QTest::newRow("clicked") << false;
        QTest::newRow("Alt+S") << true;
    }
    void systemInfoButtonStartsEachTime()
    {
        QFETCH(bool, byKey);
        Fakes fakes;
        const QString tool = QStringLiteral("C:\\Tools\\sysinfo.exe");
        fakes.registry.keys[kToolKey].values[QStringLiteral("PATH")] =
            FakeValue{reg::kRegSz, Sz(tool.toLatin1())};
        fakes.launcher.startable = {tool};
        frmAbout box(fakes.services());
        box.show();
        QVERIFY(QTest::qWaitForWindowActive(&box));
        for (int press = 1; press <= 2; ++press) {
            if (byKey)
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::AltModifier);
            else
                QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);
            // An access key presses the button with a short animation.
            QTRY_COMPARE(fakes.launcher.attempts.size(), press);
        }
        QCOMPARE(fakes.launcher.attempts, QStringList({tool, tool}));
        QCOMPARE(fakes.launcher.started, 2);
        QVERIFY(box.isVisible());  // the box stays open
        QCOMPARE(fakes.registry.opened.size(), 2);  // nothing remembered between presses
        QVERIFY(fakes.messages.shown.isEmpty());
    }

    void failedPressesEachShowTheMessage()
    {
        Fakes fakes;
        frmAbout box(fakes.services());
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);
        QTest::mouseClick(box.cmdSysInfo, Qt::LeftButton);
        QCOMPARE(fakes.messages.shown.size(), 2);
        QVERIFY(box.isVisible());
    }
};

QTEST_MAIN(TestAbout)
#include "test_about.moc"
