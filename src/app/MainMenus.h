// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "boarding/Boarding.h"
#include "platform/SettingsStore.h"

#include <QString>

class QAction;
class QMainWindow;
class QMenu;
namespace common {
class MessageBoxes;
}

// The main window's menu bar and its items, by their names: captions,
// access keys, shortcuts and check marks. The five option switches are
// check marks kept in the settings store.
struct MainMenus {
    QAction* mnuFileStart = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuOptionsDepart = nullptr;
    QAction* mnuOptionsCountdown = nullptr;
    QAction* mnuOptionsBoarding = nullptr;
    QAction* mnuOptionsGate = nullptr;
    QAction* mnuOptionsBriefing = nullptr;
    QAction* mnuHelpHelp = nullptr;
    QAction* mnuHelpAbout = nullptr;

    QAction* OptionItem(BoardingForm::Option option) const;

protected:
    // Each switch's click is stored at once; a choice the store could not
    // keep is told.
    void BuildMenus(QMainWindow& window, plat::SettingsStore& settings, common::MessageBoxes& messages);
    // Sets the switches to their defaults, and to what is stored once it comes.
    void ReadOptions();

private:
    void OptionsLoaded(const plat::Texts& stored);
    void Tell(const QString& text);

    QMainWindow* m_window = nullptr;
    plat::SettingsStore* m_settings = nullptr;
    common::MessageBoxes* m_messages = nullptr;
    bool m_telling = false;  // the message is on screen
};
