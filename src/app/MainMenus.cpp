#include "app/MainMenus.h"

#include "platform/Conversions.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>

#include <algorithm>

using Option = BoardingForm::Option;

namespace {

// Each switch's item, and its key in the store with the text that stands
// for it while the key is absent.
struct OptionSwitch {
    Option option;
    QAction* MainMenus::*item;
    const char* key;
    const char* def;
};
constexpr OptionSwitch kOptions[] = {
    {Option::Depart, &MainMenus::mnuOptionsDepart, "Depart", "-1"},
    {Option::Countdown, &MainMenus::mnuOptionsCountdown, "Count", "0"},
    {Option::Boarding, &MainMenus::mnuOptionsBoarding, "Boarding", "-1"},
    {Option::Gate, &MainMenus::mnuOptionsGate, "Gate", "-1"},
    {Option::Briefing, &MainMenus::mnuOptionsBriefing, "Brief", "-1"},
};
const QString kApp = QStringLiteral("Tarmalo");
const QString kSection = QStringLiteral("Setting");

const OptionSwitch& SwitchOf(Option option)
{
    return *std::find_if(std::begin(kOptions), std::end(kOptions),
                         [option](const OptionSwitch& s) { return s.option == option; });
}

}  // namespace

QAction* MainMenus::OptionItem(Option option) const
{
    return this->*SwitchOf(option).item;
}

void MainMenus::ReadOptions()
{
    for (const OptionSwitch& s : kOptions) {
        const QString def = QString::fromLatin1(s.def);
        const QString text = m_settings->GetSetting(kApp, kSection, QString::fromLatin1(s.key), def);
        // A hand-edited value that is neither a number nor True/False falls
        // back to the default.
        (this->*s.item)->setChecked(plat::CBool(text).value_or(*plat::CBool(def)));
    }
}

void MainMenus::ToggleOption(Option option)
{
    QAction* item = OptionItem(option);
    item->setChecked(!item->isChecked());
    const QString text = item->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
    if (m_settings->SaveSetting(kApp, kSection, QString::fromLatin1(SwitchOf(option).key), text)
        || m_toldSaveFailed)
        return;
    m_toldSaveFailed = true;
    m_messages->MsgBox(m_window,
                       tr("Tarmalo could not save this choice in your settings. "
                          "It applies until Tarmalo is closed."),
                       plat::vbExclamation, plat::AppTitle());
}

void MainMenus::OnClick(QAction* item, QObject* context, std::function<void()> handler)
{
    // Qt toggles a checkable item before telling; that toggle is undone.
    QObject::connect(item, &QAction::triggered, context, [item, handler = std::move(handler)](bool checked) {
        if (item->isCheckable())
            item->setChecked(!checked);
        handler();
    });
}

QAction* MainMenus::AddItem(QMenu* menu, const char* name, const QString& caption)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(QLatin1String(name));
    return item;
}

QAction* MainMenus::AddSwitch(QMenu* menu, const char* name, const QString& caption, bool on)
{
    QAction* item = AddItem(menu, name, caption);
    item->setCheckable(true);
    item->setChecked(on);
    return item;
}

void MainMenus::BuildMenus(QMainWindow& window, plat::SettingsStore& settings, plat::MessageBoxes& messages)
{
    m_window = &window;
    m_settings = &settings;
    m_messages = &messages;
    QMenu* mnuFile = window.menuBar()->addMenu(tr("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileStart = AddSwitch(mnuFile, "mnuFileStart", tr("&Start"), true);
    mnuFileStart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileFiller"));
    mnuFileExit = AddItem(mnuFile, "mnuFileExit", tr("E&xit"));

    QMenu* mnuOptions = window.menuBar()->addMenu(tr("&Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuOptionsDepart = AddSwitch(mnuOptions, "mnuOptionsDepart", tr("&Depart on clock"), true);
    mnuOptions->addSeparator()->setObjectName(QStringLiteral("mnuOptionsFiller1"));
    mnuOptionsCountdown = AddSwitch(mnuOptions, "mnuOptionsCountdown", tr("C&ountdown time"), false);
    mnuOptions->addSeparator()->setObjectName(QStringLiteral("mnuOptionsFiller2"));
    mnuOptionsBoarding =
        AddSwitch(mnuOptions, "mnuOptionsBoarding", tr("Play \"boarding &complete\" sound"), true);
    mnuOptionsGate = AddSwitch(mnuOptions, "mnuOptionsGate", tr("Play \"&gate departure\" sound"), true);
    mnuOptionsBriefing = AddSwitch(mnuOptions, "mnuOptionsBriefing", tr("Play \"&briefing\" sound"), true);

    QMenu* mnuHelp = window.menuBar()->addMenu(tr("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpHelp = AddItem(mnuHelp, "mnuHelpHelp", tr("&Help..."));
    mnuHelpHelp->setShortcut(QKeySequence(Qt::Key_F1));
    mnuHelpAbout = AddItem(mnuHelp, "mnuHelpAbout", tr("&About Tarmalo..."));

    // Shortcuts work from anywhere in the window, also with the menus closed.
    for (QAction* a : {mnuFileStart, mnuHelpHelp}) {
        a->setShortcutContext(Qt::WindowShortcut);
        window.addAction(a);
    }
}
