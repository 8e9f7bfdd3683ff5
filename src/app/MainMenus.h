#pragma once
#include "boarding/BoardingForm.h"

#include <QCoreApplication>
#include <functional>

class QAction;
class QMainWindow;
class QMenu;
namespace plat {
class MessageBoxes;
class SettingsStore;
}  // namespace plat

// The main window's menu bar and its items, by their names: captions,
// access keys, shortcuts and the check marks as created. The five option
// switches are check marks kept in the settings store.
struct MainMenus {
    Q_DECLARE_TR_FUNCTIONS(MainMenus)

public:
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

    // Calls `handler` for each click on `item`. A check mark changes only
    // when the handler says so.
    static void OnClick(QAction* item, QObject* context, std::function<void()> handler);

protected:
    void BuildMenus(QMainWindow& window, plat::SettingsStore& settings, plat::MessageBoxes& messages);
    // Sets the switches from the store.
    void ReadOptions();
    // Turns a switch over and stores it at once. A failed write is told
    // once; the switch then holds only until the program ends.
    void ToggleOption(BoardingForm::Option option);

private:
    static QAction* AddItem(QMenu* menu, const char* name, const QString& caption);
    static QAction* AddSwitch(QMenu* menu, const char* name, const QString& caption, bool on);

    QMainWindow* m_window = nullptr;
    plat::SettingsStore* m_settings = nullptr;
    plat::MessageBoxes* m_messages = nullptr;
    bool m_toldSaveFailed = false;
};
