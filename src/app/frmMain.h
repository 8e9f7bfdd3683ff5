// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "app/AppServices.h"
#include "app/BoardingFormAdapter.h"
#include "app/MainLayout.h"
#include "app/MainMenus.h"
#include "boarding/Boarding.h"

#include <QMainWindow>

// The main window: it holds its controls and menu items (by their names,
// from MainLayout and MainMenus) and routes their events to the handlers;
// a boarding's rules live in Boarding.
class frmMain : public QMainWindow, public MainLayout, public MainMenus {
    Q_OBJECT
public:
    explicit frmMain(const AppServices& services, QWidget* parent = nullptr);

    // Handlers.
    void Form_Load();
    void Form_Unload();
    void mnuFileStart_Click() { m_boarding->mnuFileStart_Click(); }
    void mnuFileExit_Click();
    void mnuHelpHelp_Click();
    void mnuHelpAbout_Click();
    void txtTotal_Change();
    void txtTotal_GotFocus();
    void txtTime_GotFocus();

    plat::Timer& tmrTimer() { return m_boarding->tmrTimer(); }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppServices m_services;
    BoardingFormAdapter m_form;
    plat::MediaPlayer* m_player = nullptr;
    Boarding* m_boarding = nullptr;

    friend struct ProgramProbe;  // tests look inside through one peer
};
