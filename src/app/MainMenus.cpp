#include "app/MainMenus.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>

using Option = BoardingForm::Option;

QAction* MainMenus::OptionItem(Option option) const
{
    switch (option) {
    case Option::Depart: return mnuOptionsDepart;
    case Option::Countdown: return mnuOptionsCountdown;
    case Option::Boarding: return mnuOptionsBoarding;
    case Option::Gate: return mnuOptionsGate;
    case Option::Briefing: return mnuOptionsBriefing;
    }
    return nullptr;
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

void MainMenus::BuildMenus(QMainWindow& window)
{
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
