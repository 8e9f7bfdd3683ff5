// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include "app/EntryFields.h"
#include "app/MainLayout.h"
#include "app/MainMenus.h"
#include "boarding/BoardingForm.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>

// What a boarding asks of the main window, answered by its controls and
// menu items.
class BoardingFormAdapter final : public BoardingForm {
public:
    BoardingFormAdapter(MainLayout& controls, MainMenus& menus, QWidget* window)
        : m_controls(controls), m_menus(menus), m_window(window)
    { }

    bool StartChecked() const override { return m_menus.mnuFileStart->isChecked(); }
    void setStartChecked(bool on) override { m_menus.mnuFileStart->setChecked(on); }
    bool OptionChecked(Option option) const override { return m_menus.OptionItem(option)->isChecked(); }
    void setEntriesEnabled(bool on) override;
    QString TotalText() const override { return m_controls.txtTotal->Text(); }
    QString TimeText() const override { return m_controls.txtTime->Text(); }
    void FocusField(Field field) override;
    QString PaxCaption(int index) const override { return m_controls.lblPAX.at(index)->text(); }
    void setPaxCaption(int index, const QString& caption) override
    {
        m_controls.lblPAX.at(index)->setText(caption);
    }
    void setProgressMax(float maximum) override;
    void setProgressValue(float value) override;
    void setProgressVisible(bool on) override { m_controls.pgbInAC->setVisible(on); }
    void setStatusInfo(const QString& text) override;
    void setStatusToolTip(const QString& text) override;
    QWidget* MessageParent() override { return m_window; }

private:
    MainLayout& m_controls;
    MainMenus& m_menus;
    QWidget* m_window;
    QWidget* m_notice = nullptr;
};
