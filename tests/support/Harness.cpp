// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "support/Harness.h"

#include "app/MainLayout.h"

#include <QAction>

Harness::Harness(const QDateTime& start, plat::MemorySettingsStore* sharedSettings)
    : clock(start), settings(sharedSettings ? sharedSettings : &ownSettings)
{
    AppServices s;
    s.clock = &clock;
    s.settings = settings;
    s.messages = &messages;
    s.makePlayer = [this](QObject* parent) -> MediaPlayer* {
        player = new FakePlayer(parent);
        return player;
    };
    s.appPath = QStringLiteral("/opt/tarmalo");
    s.endProgram = [this] { ++exits; };
    s.showAbout = [this] { ++abouts; };
    s.random = [this] { return random(); };
    window = std::make_unique<frmMain>(s);
}

Harness::~Harness() = default;

QDateTime Harness::At(int h, int m, int s, QDate day)
{
    return QDateTime(day, QTime(h, m, s), Qt::UTC);
}

void Harness::typeTime(const QString& digits)
{
    window->txtTime->selectAll();
    window->txtTime->del();
    window->txtTime->setCursorPosition(0);
    window->txtTime->insert(digits);
}

void Harness::setTotal(const QString& text)
{
    window->txtTotal->setText(text);
}

void Harness::start()
{
    window->mnuFileStart->trigger();
}

void Harness::setOption(QAction* item, bool on)
{
    if (item->isChecked() != on)
        item->trigger();
}
