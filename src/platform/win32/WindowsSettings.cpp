// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The options on Windows: HKEY_CURRENT_USER\Software\Tarmalo\Tarmalo, as
// REG_SZ texts.
#include "platform/SettingsBackend.h"

namespace plat::options {

std::unique_ptr<QSettings> Open()
{
    const QString app = QStringLiteral("Tarmalo");
    auto s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, app, app);
    // Only Tarmalo's own values: no organisation-wide or machine-wide ones.
    s->setFallbacksEnabled(false);
    return s;
}

// The registry has no lock of Tarmalo's to wait for.
Turn WriteTurn()
{
    return Turn::Now;
}

}  // namespace plat::options
