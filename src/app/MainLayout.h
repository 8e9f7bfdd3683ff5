// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QString>
#include <array>

class ClockPanel;
class MaskEdBox;
class QGroupBox;
class QLabel;
class QMainWindow;
class QProgressBar;
class TextBox;
namespace common {
class Clock;
}

// The main window's controls, by their names, where they stand.
struct MainLayout {
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
    ClockPanel* stsStatusClock = nullptr;

protected:
    void BuildLayout(QMainWindow& window, common::Clock& clock);
    // Fixes the window's size and its place on the screen.
    void FitWindow(QMainWindow& window);
};
