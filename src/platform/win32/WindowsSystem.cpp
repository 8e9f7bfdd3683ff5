// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// What Windows gives the program: System Information from the registry,
// screen readers' news, news of a jumping clock. The sound output is in
// WaveOutOutput.cpp, the options' place in WindowsSettings.cpp.
#include "platform/Desktop.h"
#include "platform/win32/RegistrySysInfo.h"
#include "platform/win32/WinRegistry.h"

#include <QAbstractNativeEventFilter>
#include <QAccessible>
#include <QCoreApplication>
#include <QPointer>
#include <QWidget>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

// Windows tells every top-level window when its clock was set and when it
// woke from sleep.
class ClockJumpFilter final : public QAbstractNativeEventFilter {
public:
    ClockJumpFilter(QObject* owner, std::function<void()> jumped)
        : m_owner(owner), m_jumped(std::move(jumped))
    { }
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override
    {
        const MSG* msg = static_cast<const MSG*>(message);
        const bool woke = msg->message == WM_POWERBROADCAST
                          && (msg->wParam == PBT_APMRESUMEAUTOMATIC || msg->wParam == PBT_APMRESUMESUSPEND);
        // Queued: the time zone is looked up again first.
        if ((woke || msg->message == WM_TIMECHANGE) && m_owner)
            QMetaObject::invokeMethod(m_owner, m_jumped, Qt::QueuedConnection);
        return false;
    }

private:
    QPointer<QObject> m_owner;
    std::function<void()> m_jumped;
};

}  // namespace

namespace plat {

QString SysInfoTool()
{
    win32::WinRegistry registry;
    return win32::LocateSysInfo(registry);
}

// The setup and the uninstaller refuse to touch the program while this mark
// exists: files in use would be left half-removed. Held until the process
// ends; the Global name reaches a setup run from another session.
void MarkRunning()
{
    CreateMutexW(nullptr, FALSE, L"Tarmalo.Running");
    CreateMutexW(nullptr, FALSE, L"Global\\Tarmalo.Running");
}

// Windows has one window system.
bool ChooseWindowSystem()
{
    return false;
}

// UI Automation drops the show event of a notification; a changed value is
// what Narrator and NVDA read out.
void SayTextChanged(QWidget* label, const QString& text)
{
    QAccessibleValueChangeEvent said(label, text);
    QAccessible::updateAccessibility(&said);
}

void WatchClockJumps(QObject* owner, std::function<void()> jumped)
{
    auto* filter = new ClockJumpFilter(owner, std::move(jumped));
    QCoreApplication::instance()->installNativeEventFilter(filter);
    QObject::connect(owner, &QObject::destroyed, [filter] {
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(filter);
        delete filter;
    });
}

// Windows asks a window program to end through its windows' messages, which
// Qt answers; there is no signal to catch.
void EndOnRequest() { }

}  // namespace plat
