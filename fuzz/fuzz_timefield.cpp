// Reading the time field: whatever is typed or pasted into the masked box,
// it shows "hh:mm" with digits or blanks, and the time is read from it
// exactly when it is a whole time of day.
#include "FuzzCommon.h"
#include "app/EntryFields.h"
#include "platform/DateTime.h"
#include "platform/RuntimeError.h"

#include <QApplication>
#include <QKeyEvent>
#include <cstdlib>
#include <optional>

namespace {

QApplication* app = nullptr;
MaskEdBox* box = nullptr;

// Minutes since midnight for a whole time of day, read independently.
std::optional<int> wholeTime(const QString& t)
{
    if (t.size() != 5 || t[2] != u':')
        return std::nullopt;
    for (const int i : {0, 1, 3, 4})
        if (t[i] < u'0' || t[i] > u'9')
            return std::nullopt;
    const int h = (t[0].unicode() - u'0') * 10 + (t[1].unicode() - u'0');
    const int m = (t[3].unicode() - u'0') * 10 + (t[4].unicode() - u'0');
    if (h > 23 || m > 59)
        return std::nullopt;
    return h * 60 + m;
}

void checkReading(const QString& t)
{
    const QLocale& c = fuzz::localeAt(0);
    const std::optional<int> minutes = wholeTime(t);
    FUZZ_CHECK(plat::IsTimeOfDay(t) == minutes.has_value(), t, c);
    try {
        const plat::Date d = plat::TimeValue(t);
        FUZZ_CHECK(minutes.has_value(), t, c);
        FUZZ_CHECK(plat::ToMillis(d) == *minutes * 60000LL, t, c);
        FUZZ_CHECK(plat::FormatHHNN(d) == t, t, c);
    } catch (const plat::RuntimeError& e) {
        FUZZ_CHECK(!minutes.has_value(), t, c);
        FUZZ_CHECK(e.number() == plat::ERR_TYPE_MISMATCH, t, c);
    }
}

void checkField()
{
    const QString t = box->Text();
    const QLocale& c = fuzz::localeAt(0);
    FUZZ_CHECK(t.size() == 5, t, c);
    FUZZ_CHECK(t[2] == u':', t, c);
    for (const int i : {0, 1, 3, 4})
        FUZZ_CHECK(t[i] == u'_' || (t[i] >= u'0' && t[i] <= u'9'), t, c);
    checkReading(t);
    if (wholeTime(t))
        FUZZ_CHECK(box->FormattedText() == t, t, c);
}

void typeKeys(const QString& keys)
{
    for (const QChar ch : keys) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(box, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(box, &release);
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    app = new QApplication(*argc, *argv);
    box = new MaskEdBox();
    return 0;
}

// The input is a script: bytes below 0x10 are editing commands, the text
// between them goes in by insert(), setText() or key presses.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString script = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkReading(script);

    box->clear();
    enum class Mode { Insert, SetText, Keys } mode = Mode::Insert;
    QString pending;
    auto flush = [&] {
        if (pending.isEmpty())
            return;
        switch (mode) {
        case Mode::Insert: box->insert(pending); break;
        case Mode::SetText: box->setText(pending); break;
        case Mode::Keys: typeKeys(pending); break;
        }
        pending.clear();
        checkField();
    };
    for (const QChar ch : script) {
        if (ch.unicode() >= 0x10) {
            pending += ch;
            continue;
        }
        flush();
        switch (ch.unicode()) {
        case 0x01: box->home(false); break;
        case 0x02: box->end(false); break;
        case 0x03: box->backspace(); break;
        case 0x04: box->del(); break;
        case 0x05: box->cursorBackward(false); break;
        case 0x06: box->cursorForward(false); break;
        case 0x07: box->selectAll(); break;
        case 0x08: box->clear(); break;
        case 0x09: box->cursorBackward(true, 2); break;
        case 0x0a: mode = Mode::Insert; break;
        case 0x0b: mode = Mode::SetText; break;
        case 0x0c: mode = Mode::Keys; break;
        case 0x0d: box->undo(); break;
        default: box->setCursorPosition(ch.unicode()); break;
        }
        checkField();
    }
    flush();
    checkField();
    return 0;
}
