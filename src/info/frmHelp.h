// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#pragma once
#include <QWidget>

class QPlainTextEdit;

// The Help window: the usage text in a sizable window of its own. Each one
// is independent; it deletes itself when closed.
class frmHelp : public QWidget {
    Q_OBJECT
public:
    frmHelp();

    // Opens a new Help window, modeless and without owner, that lives until
    // the user closes it.
    static void ShowNew();

    QPlainTextEdit* txtHelp = nullptr;
};
