// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QDialog>
#include <QString>

#include <array>
#include <functional>

#include "platform/Desktop.h"

class QLabel;
class QPushButton;

namespace common {
class MessageBoxes;
}

// The About box: name, version, credits, and a button that starts the
// system's System Information tool. Modal; a fresh one for every showing.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // locateTool names the System Information program (empty: none); tests
    // hand in their own, and message boxes that record (null: the real ones).
    explicit frmAbout(std::function<QString()> locateTool = plat::SysInfoTool,
                      common::MessageBoxes* messages = nullptr);

    // Builds a new box, runs it modal without owner, and releases it when
    // closed. What Help > About calls.
    static void ShowModal(std::function<QString()> locateTool = plat::SysInfoTool,
                          common::MessageBoxes* messages = nullptr);

    static const QString kUnavailableMessage;

    // Finds and starts the System Information tool without waiting for it,
    // or says it cannot.
    void StartSysInfo();

    QLabel* picIcon = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    std::array<QWidget*, 2> Line1{};
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDisclaimer = nullptr;

public slots:
    // Esc and the close box do what OK does.
    void reject() override;

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Form_Load();
    void ApplyColours();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    std::function<QString()> m_locateTool;
    common::MessageBoxes* m_messages;
};
