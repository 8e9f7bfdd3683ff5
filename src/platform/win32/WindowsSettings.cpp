// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The options on Windows: HKEY_CURRENT_USER\Software\Tarmalo\Tarmalo, as
// REG_SZ texts.
#include "platform/SettingsBackend.h"

#include <QSettings>

namespace plat::options {

namespace {

std::unique_ptr<QSettings> OpenRegistry()
{
    const QString app = QStringLiteral("Tarmalo");
    auto s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, app, app);
    // Only Tarmalo's own values: no organisation-wide or machine-wide ones.
    s->setFallbacksEnabled(false);
    return s;
}

}  // namespace

std::unique_ptr<QSettings> Open()
{
    return OpenRegistry();
}

// The registry has no lock of Tarmalo's to wait for.
Turn WriteTurn()
{
    return Turn::Now;
}

bool Stored(QSettings& settings, const QHash<QString, QString>& values)
{
    if (settings.status() != QSettings::NoError)
        return false;
    // A registry write that fails leaves the status clean: what a fresh look
    // at the registry finds is what counts.
    const std::unique_ptr<QSettings> fresh = OpenRegistry();
    for (auto it = values.begin(); it != values.end(); ++it) {
        const QVariant found = fresh->value(it.key());
        if (!found.isValid() || found.toString() != it.value())
            return false;
    }
    return true;
}

}  // namespace plat::options
