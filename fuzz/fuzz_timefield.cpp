// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Reading the time field: whatever is typed or pasted into the masked box,
// it shows "hh:mm" with digits or blanks, and the time is read from it
// exactly when it is a whole time of day.
#include "FuzzCommon.h"
#include "app/MainLayout.h"
#include "common/Conversions.h"
#include "common/DateTime.h"

#include <QApplication>
#include <QKeyEvent>
#include <cstdlib>
#include <cstring>
#include <optional>

namespace {

QApplication* app = nullptr;
MaskEdBox* box = nullptr;
// A plain line edit with the same mask, fed the same edits: the field must
// behave the same and read the same but for non-ASCII characters.
QLineEdit* plain = nullptr;

QString folded(const QString& shown)
{
    QString out = shown;
    for (QChar& c : out) {
        if (c.unicode() >= 128) {
            const int digit = c.digitValue();
            c = digit >= 0 && digit <= 9 && c.isDigit() ? QChar(u'0' + digit) : QChar(u'_');
        }
    }
    return out;
}

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
    FUZZ_CHECK(common::IsTimeOfDay(t) == minutes.has_value(), t, c);
    try {
        const common::Date d = common::ReadTimeOfDay(t);
        FUZZ_CHECK(minutes.has_value(), t, c);
        FUZZ_CHECK(common::ToMillis(d) == *minutes * 60000LL, t, c);
    } catch (const common::RuntimeError& e) {
        FUZZ_CHECK(!minutes.has_value(), t, c);
        FUZZ_CHECK(std::strcmp(e.what(), "Type mismatch") == 0, t, c);
    }
}

void checkField()
{
    const QString t = box->Text();
    const QLocale& c = fuzz::localeAt(0);
    FUZZ_CHECK(t == folded(plain->displayText()), t, c);
    FUZZ_CHECK(box->displayText() == plain->displayText(), t, c);
    FUZZ_CHECK(box->cursorPosition() == plain->cursorPosition(), t, c);
    FUZZ_CHECK(t.size() == 5, t, c);
    FUZZ_CHECK(t[2] == u':', t, c);
    for (const int i : {0, 1, 3, 4})
        FUZZ_CHECK(t[i] == u'_' || (t[i] >= u'0' && t[i] <= u'9'), t, c);
    checkReading(t);
}

void typeKeys(QLineEdit* field, const QString& keys)
{
    for (const QChar ch : keys) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(field, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QCoreApplication::sendEvent(field, &release);
    }
}

template <typename Edit>
void both(Edit edit)
{
    edit(static_cast<QLineEdit*>(box));
    edit(plain);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    app = new QApplication(*argc, *argv);
    return 0;
}

// The input is a script: bytes below 0x10 are editing commands, the text
// between them goes in by insert(), setText() or key presses.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString script =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkReading(script);

    // Fresh fields each time: their undo history would grow without end.
    MaskEdBox field;
    QLineEdit reference;
    reference.setInputMask(QStringLiteral("99:99;_"));
    box = &field;
    plain = &reference;
    enum class Mode { Insert, SetText, Keys } mode = Mode::Insert;
    QString pending;
    auto flush = [&] {
        if (pending.isEmpty())
            return;
        switch (mode) {
        case Mode::Insert: both([&](QLineEdit* f) { f->insert(pending); }); break;
        case Mode::SetText: both([&](QLineEdit* f) { f->setText(pending); }); break;
        case Mode::Keys: both([&](QLineEdit* f) { typeKeys(f, pending); }); break;
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
        case 0x01: both([](QLineEdit* f) { f->home(false); }); break;
        case 0x02: both([](QLineEdit* f) { f->end(false); }); break;
        case 0x03: both([](QLineEdit* f) { f->backspace(); }); break;
        case 0x04: both([](QLineEdit* f) { f->del(); }); break;
        case 0x05: both([](QLineEdit* f) { f->cursorBackward(false); }); break;
        case 0x06: both([](QLineEdit* f) { f->cursorForward(false); }); break;
        case 0x07: both([](QLineEdit* f) { f->selectAll(); }); break;
        case 0x08: both([](QLineEdit* f) { f->clear(); }); break;
        case 0x09: both([](QLineEdit* f) { f->cursorBackward(true, 2); }); break;
        case 0x0a: mode = Mode::Insert; break;
        case 0x0b: mode = Mode::SetText; break;
        case 0x0c: mode = Mode::Keys; break;
        case 0x0d: both([](QLineEdit* f) { f->undo(); }); break;
        default: both([&](QLineEdit* f) { f->setCursorPosition(ch.unicode()); }); break;
        }
        checkField();
    }
    flush();
    checkField();
    return 0;
}
