#pragma once
#include "app/AppServices.h"
#include "boarding/Boarding.h"
#include "boarding/BoardingForm.h"

#include <QMainWindow>
#include <array>

class QAction;
class QGroupBox;
class QLabel;
class QProgressBar;
class MaskEdBox;
class TextBox;
namespace plat {
class Timer;
}

// The main window: departure time, booked passengers, the counters, the
// progress bar, the gate status and the menus.
class frmMain : public QMainWindow, public BoardingForm {
    Q_OBJECT
public:
    explicit frmMain(const AppServices& services, QWidget* parent = nullptr);
    ~frmMain() override;

    static inline const QString kApp = QStringLiteral("Tarmalo");
    static inline const QString kSection = QStringLiteral("Setting");

    // Handlers.
    void Form_Load();
    void Form_Unload();
    void mnuFileStart_Click() { m_boarding->mnuFileStart_Click(); }
    void mnuFileExit_Click();
    void mnuOptionsDepart_Click();
    void mnuOptionsCountdown_Click();
    void mnuOptionsBoarding_Click();
    void mnuOptionsGate_Click();
    void mnuOptionsBriefing_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAbout_Click();
    void txtTotal_Change();
    void txtTotal_GotFocus();
    void txtTime_GotFocus();

    // BoardingForm
    bool StartChecked() const override;
    void setStartChecked(bool on) override;
    bool OptionChecked(Option option) const override;
    void setCountdownEnabled(bool on) override;
    QString TotalText() const override;
    void setTotalEnabled(bool on) override;
    QString TimeText() const override;
    void setTimeEnabled(bool on) override;
    void FocusField(Field field) override;
    QString PaxCaption(int index) const override;
    void setPaxCaption(int index, const QString& caption) override;
    void setProgressMax(float maximum) override;
    void setProgressValue(float value) override;
    void setProgressVisible(bool on) override;
    void setStatusInfo(const QString& text) override;
    void setStatusToolTip(const QString& text) override;
    QWidget* MessageParent() override { return this; }

    Boarding& boarding() { return *m_boarding; }
    plat::Timer& tmrTimer() { return m_boarding->tmrTimer(); }
    QString StatusInfo() const;
    QString ClockPanelText() const;

    // Controls, by their names.
    QLabel* Image1 = nullptr;
    QLabel* Label5 = nullptr;
    MaskEdBox* txtTime = nullptr;
    QGroupBox* Frame1 = nullptr;
    QLabel* Label2 = nullptr;
    TextBox* txtTotal = nullptr;
    QLabel* Label3 = nullptr;
    std::array<QLabel*, 2> lblPAX{};
    QLabel* Label4 = nullptr;
    QProgressBar* pgbInAC = nullptr;
    QLabel* stsStatusInfo = nullptr;
    QLabel* stsStatusClock = nullptr;

    QAction* mnuFileStart = nullptr;
    QAction* mnuFileExit = nullptr;
    QAction* mnuOptionsDepart = nullptr;
    QAction* mnuOptionsCountdown = nullptr;
    QAction* mnuOptionsBoarding = nullptr;
    QAction* mnuOptionsGate = nullptr;
    QAction* mnuOptionsBriefing = nullptr;
    QAction* mnuHelpHelp = nullptr;
    QAction* mnuHelpAbout = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void BuildMenus();
    void FitHeight();
    QAction* AddItem(QMenu* menu, const QString& caption, bool checkable, void (frmMain::*handler)());
    void ToggleOption(QAction* item, const QString& key);
    void UpdateClockPanel();

    AppServices m_services;
    plat::MediaPlayer* m_player = nullptr;
    Boarding* m_boarding = nullptr;
    plat::Timer* m_clockPanelTimer = nullptr;
    bool m_toldSaveFailed = false;
};
