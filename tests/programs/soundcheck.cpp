// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// The packaging stage's check of an installed program, as a tool of its own
// so that the program itself needs no switch for it. Copied beside the
// installed program and started through a link as the program is, it builds
// the main window on the real services (not shown), prints the sound folder
// it settled on and, for each of the four announcements, whether the file is
// there and the player's reader takes it.
#include "app/AppServices.h"
#include "app/frmMain.h"
#include "boarding/Boarding.h"
#include "boarding/WavFile.h"
#include "support/ProgramProbe.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarmalo"));
    QTextStream out(stdout);
    // The window fills m_sPath at load exactly as on a normal start.
    const auto window = std::make_unique<frmMain>(AppServices::System());
    const QString folder = ProgramProbe::Path(ProgramProbe::Run(*window));
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
