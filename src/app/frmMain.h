// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "app/AppServices.h"
#include "app/MainLayout.h"
#include "app/MainMenus.h"
#include "boarding/Boarding.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>

// The main window: it routes its controls' events to the handlers and
// answers what a boarding asks of it.
class frmMain : public QMainWindow, public MainLayout, public MainMenus, public BoardingForm {
    Q_OBJECT
public:
    explicit frmMain(const AppServices& services, QWidget* parent = nullptr);

    void Form_Load();
    void Form_Unload();
    void mnuFileStart_Click() { m_boarding->mnuFileStart_Click(); }
    void mnuFileExit_Click() { m_services.endProgram(); }
    void mnuHelpHelp_Click();
    void mnuHelpAbout_Click() { m_services.showAbout(); }
    void txtTotal_Change();
    void txtTotal_GotFocus();
    void txtTime_GotFocus() { txtTime->selectAll(); }

    common::Timer& tmrTimer() { return m_boarding->tmrTimer(); }

    bool StartChecked() const override { return mnuFileStart->isChecked(); }
    void setStartChecked(bool on) override { mnuFileStart->setChecked(on); }
    bool OptionChecked(Option option) const override { return OptionItem(option)->isChecked(); }
    void setEntriesEnabled(bool on) override;
    QString TotalText() const override { return txtTotal->Text(); }
    QString TimeText() const override { return txtTime->Text(); }
    void FocusField(Field field) override;
    QString PaxCaption(int index) const override { return lblPAX.at(index)->text(); }
    void setPaxCaption(int index, const QString& caption) override { lblPAX.at(index)->setText(caption); }
    void setProgressMax(float maximum) override;
    void setProgressValue(float value) override;
    void setProgressVisible(bool on) override { pgbInAC->setVisible(on); }
    void setStatusInfo(const QString& text) override;
    void setStatusToolTip(const QString& text) override;
    QWidget* MessageParent() override { return this; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    AppServices m_services;
    QWidget* m_notice = nullptr;  // the gate status as screen readers hear it
    TextBox* m_entryFocus = nullptr;  // the field that had the focus at Start
    MediaPlayer* m_player = nullptr;
    Boarding* m_boarding = nullptr;
};
