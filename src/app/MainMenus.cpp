// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "app/MainMenus.h"

#include "common/Conversions.h"
#include "common/MessageBox.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>

using Option = BoardingForm::Option;

namespace {

// The Options menu's switches, top to bottom, in the order of Option: the
// item, its caption, the key it is stored under and its value when nothing
// is stored.
struct OptionSwitch {
    QAction* MainMenus::*item;
    const char* name;
    const char* caption;
    const char* key;
    bool def;
};
constexpr OptionSwitch kOptions[] = {
    {&MainMenus::mnuOptionsDepart, "mnuOptionsDepart", "&Depart on clock", "Depart", true},
    {&MainMenus::mnuOptionsCountdown, "mnuOptionsCountdown", "C&ountdown time", "Count", false},
    {&MainMenus::mnuOptionsBoarding, "mnuOptionsBoarding", "Play \"boarding &complete\" sound", "Boarding",
     true},
    {&MainMenus::mnuOptionsGate, "mnuOptionsGate", "Play \"&gate departure\" sound", "Gate", true},
    {&MainMenus::mnuOptionsBriefing, "mnuOptionsBriefing", "Play \"&briefing\" sound", "Brief", true},
};

QMenu* AddMenu(QMainWindow& window, const char* name, const QString& caption)
{
    QMenu* menu = window.menuBar()->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QAction* AddItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    return item;
}

}  // namespace

QAction* MainMenus::OptionItem(Option option) const
{
    return this->*kOptions[static_cast<int>(option)].item;
}

void MainMenus::ReadOptions()
{
    for (const OptionSwitch& s : kOptions)
        (this->*s.item)->setChecked(s.def);
    m_settings->Load();
}

void MainMenus::OptionsLoaded(const plat::Texts& stored)
{
    // A switch clicked before the stored ones came keeps the click.
    for (const OptionSwitch& s : kOptions)
        if (const auto text = stored.find(QLatin1String(s.key));
            text != stored.end() && !(this->*s.item)->data().toBool())
            (this->*s.item)->setChecked(common::SwitchFromText(*text).value_or(s.def));
}

void MainMenus::Tell(const QString& text)
{
    // One message on screen says it for every choice.
    if (m_telling)
        return;
    m_telling = true;
    m_messages->Show(m_window, text, QMessageBox::Warning, common::ProgramTitle());
    m_telling = false;
}

void MainMenus::BuildMenus(QMainWindow& window, plat::SettingsStore& settings, common::MessageBoxes& messages)
{
    m_window = &window;
    m_settings = &settings;
    m_messages = &messages;
    QObject::connect(&settings, &plat::SettingsStore::Loaded, &window,
                     [this](const plat::Texts& stored) { OptionsLoaded(stored); });
    // Told once the window shows, not from inside its start-up.
    QObject::connect(
        &settings, &plat::SettingsStore::Tell, &window, [this](const QString& text) { Tell(text); },
        Qt::QueuedConnection);
    QMenu* mnuFile = AddMenu(window, "mnuFile", QStringLiteral("&File"));
    mnuFileStart = AddItem(mnuFile, "mnuFileStart", QStringLiteral("&Start"));
    mnuFileStart->setCheckable(true);
    mnuFileStart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileFiller"));
    mnuFileExit = AddItem(mnuFile, "mnuFileExit", QStringLiteral("E&xit"));

    QMenu* mnuOptions = AddMenu(window, "mnuOptions", QStringLiteral("&Options"));
    int index = 0;
    for (const OptionSwitch& s : kOptions) {
        // Depart on clock, the countdown and the sounds are three groups.
        if (index == 1 || index == 2)
            mnuOptions->addSeparator()->setObjectName(QStringLiteral("mnuOptionsFiller%1").arg(index));
        ++index;
        QAction* item = AddItem(mnuOptions, s.name, QString::fromUtf8(s.caption));
        item->setCheckable(true);
        QObject::connect(item, &QAction::triggered, &window, [this, item, key = s.key](bool on) {
            item->setData(true);
            m_settings->Save(QLatin1String(key), on);
        });
        this->*s.item = item;
    }

    QMenu* mnuHelp = AddMenu(window, "mnuHelp", QStringLiteral("&Help"));
    mnuHelpHelp = AddItem(mnuHelp, "mnuHelpHelp", QStringLiteral("&Help..."));
    mnuHelpHelp->setShortcut(QKeySequence(Qt::Key_F1));
    mnuHelpAbout = AddItem(mnuHelp, "mnuHelpAbout", QStringLiteral("&About Tarmalo..."));

    // Shortcuts work from anywhere in the window, also with the menus closed.
    for (QAction* a : {mnuFileStart, mnuHelpHelp}) {
        a->setShortcutContext(Qt::WindowShortcut);
        window.addAction(a);
    }
}
