// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The options on Windows: HKEY_CURRENT_USER\Software\Tarmalo\Tarmalo\Setting,
// as REG_SZ texts.
#include "platform/SettingsStore.h"

#include <QCoreApplication>
#include <QSettings>

namespace plat::options {

namespace {

std::unique_ptr<QSettings> Open()
{
    const QString app = QCoreApplication::applicationName();
    auto settings = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, app, app);
    // Only Tarmalo's own values: no organisation-wide or machine-wide ones.
    settings->setFallbacksEnabled(false);
    settings->beginGroup(QStringLiteral("Setting"));
    return settings;
}

}  // namespace

std::optional<Texts> Read()
{
    const std::unique_ptr<QSettings> settings = Open();
    Texts texts;
    for (const QString& key : settings->childKeys())
        texts.insert(key, settings->value(key).toString());
    return settings->status() == QSettings::NoError ? std::optional(texts) : std::nullopt;
}

// The registry has no lock of Tarmalo's to wait for. A value it refused
// shows only on a fresh look.
bool Write(const Texts& texts, const std::function<bool()>&)
{
    {
        const std::unique_ptr<QSettings> settings = Open();
        for (auto it = texts.begin(); it != texts.end(); ++it)
            settings->setValue(it.key(), it.value());
    }
    const std::optional<Texts> stored = Read();
    for (auto it = texts.begin(); it != texts.end(); ++it)
        if (!stored || stored->value(it.key()) != it.value())
            return false;
    return true;
}

}  // namespace plat::options
