// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QDialog>

#include <array>
#include <functional>

#include "platform/Desktop.h"

class QLabel;
class QPushButton;

namespace common {
class MessageBoxes;
}

// "Version 1.0", with ".revision" only when the revision is above 0.
QString VersionLabel(int major, int minor, int revision);

// The About box: name, version, credits, and a button that starts the
// system's System Information tool. Modal; a fresh one for every showing.
class frmAbout : public QDialog {
    Q_OBJECT
public:
    // locateTool names the System Information program (empty: none).
    frmAbout(std::function<QString()> locateTool, common::MessageBoxes& messages);

    // What Help > About calls: a new box, modal without owner, gone when closed.
    static void ShowModal(std::function<QString()> locateTool, common::MessageBoxes& messages);

    // Starts the System Information tool without waiting for it, or says it cannot.
    void StartSysInfo();

    QLabel* picIcon = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;
    std::array<QWidget*, 2> Line1{};
    QLabel* lblTitle = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblDisclaimer = nullptr;

public slots:
    void reject() override;  // Esc and the close box do what OK does

protected:
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ApplyColours();

    std::function<QString()> m_locateTool;
    common::MessageBoxes& m_messages;
};
