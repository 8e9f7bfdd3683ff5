// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Local times are read through the C runtime, which looks the time zone up
// once. Windows tells every top-level window when the time or the time zone
// has been changed (WM_TIMECHANGE); the zone is then looked up again, so the
// clock shows the new zone's time at once. A boarding in progress keeps its
// departure instant either way, as the present moment is read as UTC.
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>

#include <ctime>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace {

class TimeZoneWatch final : public QAbstractNativeEventFilter {
public:
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override
    {
        if (static_cast<const MSG*>(message)->message == WM_TIMECHANGE)
            _tzset();
        return false;
    }
};

void WatchTimeZone()
{
    static TimeZoneWatch watch;
    QCoreApplication::instance()->installNativeEventFilter(&watch);
}

}  // namespace

Q_COREAPP_STARTUP_FUNCTION(WatchTimeZone)
