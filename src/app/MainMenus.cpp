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

template <typename T>
T* Named(T* object, const char* name)
{
    object->setObjectName(QLatin1String(name));
    return object;
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
    QMenu* mnuFile = Named(window.menuBar()->addMenu(QStringLiteral("&File")), "mnuFile");
    mnuFileStart = Named(mnuFile->addAction(QStringLiteral("&Start")), "mnuFileStart");
    mnuFileStart->setCheckable(true);
    mnuFileStart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileFiller"));
    mnuFileExit = Named(mnuFile->addAction(QStringLiteral("E&xit")), "mnuFileExit");

    QMenu* mnuOptions = Named(window.menuBar()->addMenu(QStringLiteral("&Options")), "mnuOptions");
    int index = 0;
    for (const OptionSwitch& s : kOptions) {
        // Depart on clock, the countdown and the sounds are three groups.
        if (index == 1 || index == 2)
            mnuOptions->addSeparator()->setObjectName(QStringLiteral("mnuOptionsFiller%1").arg(index));
        ++index;
        QAction* item = Named(mnuOptions->addAction(QString::fromUtf8(s.caption)), s.name);
        item->setCheckable(true);
        QObject::connect(item, &QAction::triggered, &window, [this, item, key = s.key](bool on) {
            item->setData(true);
            m_settings->Save(QLatin1String(key), on);
        });
        this->*s.item = item;
    }

    QMenu* mnuHelp = Named(window.menuBar()->addMenu(QStringLiteral("&Help")), "mnuHelp");
    mnuHelpHelp = Named(mnuHelp->addAction(QStringLiteral("&Help...")), "mnuHelpHelp");
    mnuHelpHelp->setShortcut(QKeySequence(Qt::Key_F1));
    mnuHelpAbout = Named(mnuHelp->addAction(QStringLiteral("&About Tarmalo...")), "mnuHelpAbout");

    // Shortcuts work from anywhere in the window, also with the menus closed.
    for (QAction* a : {mnuFileStart, mnuHelpHelp}) {
        a->setShortcutContext(Qt::WindowShortcut);
        window.addAction(a);
    }
}
