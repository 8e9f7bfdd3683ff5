// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "platform/SettingsStore.h"

#include "platform/Conversions.h"

#include <QSettings>

namespace plat {

namespace {

const QString kApp = QStringLiteral("Tarmalo");

struct Switch {
    const char* key;
    bool def;
};
// In the order of Option.
constexpr Switch kSwitches[] = {
    {"Depart", true}, {"Count", false}, {"Boarding", true}, {"Gate", true}, {"Brief", true},
};

QString Path(const QString& key)
{
    return QStringLiteral("Setting/") + key;
}

}  // namespace

QString SettingsStore::Key(Option option)
{
    return QString::fromLatin1(kSwitches[static_cast<int>(option)].key);
}

bool SettingsStore::Read(Option option)
{
    const bool def = kSwitches[static_cast<int>(option)].def;
    const std::optional<QString> text = Text(Key(option));
    return text ? CBool(*text).value_or(def) : def;
}

bool SettingsStore::Save(Option option, bool on)
{
    return setText(Key(option), on ? QStringLiteral("True") : QStringLiteral("False"));
}

QSettingsStore::QSettingsStore(QString organisation) : m_organisation(std::move(organisation)) { }

QSettingsStore::~QSettingsStore() = default;

std::unique_ptr<QSettings> QSettingsStore::open() const
{
    auto s = std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                         m_organisation.isEmpty() ? kApp : m_organisation, kApp);
    // Only Tarmalo's own values: no organisation-wide or machine-wide
    // defaults (on Windows QSettings would also read those).
    s->setFallbacksEnabled(false);
    return s;
}

std::optional<QString> QSettingsStore::Text(const QString& key)
{
    if (!m_settings)
        m_settings = open();
    const QVariant v = m_settings->value(Path(key));
    if (!v.isValid())
        return std::nullopt;
    return v.toString();
}

bool QSettingsStore::setText(const QString& key, const QString& text)
{
    if (!m_settings)
        m_settings = open();
    if (!m_settings->isWritable())
        return false;
    const QString path = Path(key);
    const QVariant before = m_settings->value(path);
    m_settings->setValue(path, text);
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError)
        return true;
    // The status keeps the first error of the object's life, a file that did
    // not parse included, so it cannot tell whether this write landed. A fresh
    // object on the same file writes whatever is still pending and starts
    // with a clean status.
    m_settings = open();
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError)
        return true;
    // Not stored: this run goes on with what the store holds.
    if (before.isValid())
        m_settings->setValue(path, before);
    else
        m_settings->remove(path);
    m_settings.reset();
    return false;
}

}  // namespace plat
