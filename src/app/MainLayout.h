// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QLabel>
#include <QLineEdit>
#include <QString>
#include <array>

class QGroupBox;
class QMainWindow;
class QProgressBar;
namespace common {
class Clock;
class Timer;
}  // namespace common

// A single-line text box that reports when it receives the focus. Locked
// (disabled), it keeps its text whatever writes to it: assistive software
// can still reach a disabled box, and a run reads its fields on every tick.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget* parent = nullptr);
    virtual QString Text() const { return text(); }

signals:
    void GotFocus();

protected:
    void focusInEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QString m_lockedText;
};

// The masked time entry "hh:mm": four digit places, each blank until typed
// and shown as "_"; typing skips the ":".
class MaskEdBox : public TextBox {
    Q_OBJECT
public:
    explicit MaskEdBox(QWidget* parent = nullptr);
    // Always five characters; digits of any script read as 0-9, any other
    // number as a blank.
    QString Text() const override;
};

// The status bar's clock panel, hours and minutes. It wakes just past each
// minute, and whenever Update is called.
class ClockPanel : public QLabel {
    Q_OBJECT
public:
    ClockPanel(common::Clock& clock, QWidget* parent);

    // Anything that ticks anyway may call it, so a clock that was set shows sooner.
    void Update();
    void Stop();

private:
    const common::Clock& m_clock;
    common::Timer* m_timer = nullptr;
};

// The main window's controls, by their names, where they stand.
struct MainLayout {
    QLabel* Image1 = nullptr;
    QLabel* Label5 = nullptr;
    MaskEdBox* txtTime = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label2 = nullptr;
    TextBox* txtTotal = nullptr;
    QLabel* Label3 = nullptr;
    std::array<QLabel*, 2> lblPAX{};
    QLabel* Label4 = nullptr;
    QProgressBar* pgbInAC = nullptr;
    QLabel* stsStatusInfo = nullptr;
    ClockPanel* stsStatusClock = nullptr;

protected:
    void BuildLayout(QMainWindow& window, common::Clock& clock);
    // Fixes the window's size and its place on the screen.
    void FitWindow(QMainWindow& window);
};
