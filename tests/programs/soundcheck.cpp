// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The packaging stage's check of an installed program, as a tool of its own
// so that the program itself needs no switch for it. Copied beside the
// installed program and started through a link as the program is, it prints
// the sound folder the real services name (the main window looks there) and,
// for each of the four announcements, whether the file is there and the
// player's reader takes it.
#include "app/AppServices.h"
#include "boarding/Boarding.h"
#include "boarding/SoundPlayer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarmalo"));
    QTextStream out(stdout);
    const QString folder = AppServices::System().appPath;
    out << "sound folder: " << folder << Qt::endl;

    bool allGood = !folder.isEmpty();
    for (const QString& name :
         {Boarding::kDing, Boarding::kBoardComplete, Boarding::kGndbrief, Boarding::kPretaxbr}) {
        const QString path = QDir(folder).filePath(name);
        QString status = QStringLiteral("loads");
        QFile file(path);
        if (!QFileInfo(path).isFile())
            status = QStringLiteral("missing");
        else if (!file.open(QIODevice::ReadOnly))
            status = QStringLiteral("cannot be read");
        else if (!ReadWav(file))
            status = QStringLiteral("not a sound the player takes");
        const bool ok = status == QLatin1String("loads");
        out << (ok ? "ok      " : "FAILED  ") << path << ": " << status << Qt::endl;
        allGood = allGood && ok;
    }
    return allGood ? 0 : 1;
}
