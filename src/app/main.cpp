#include "app/AppServices.h"
#include "app/SelfTest.h"
#include "app/frmMain.h"
#include "Version.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarmalo"));
    QApplication::setApplicationVersion(QString::fromLatin1(plat::kVersionText));
    QApplication::setDesktopFileName(QStringLiteral("tarmalo"));
    if (const int selfTest = RunSelfTestIfAsked(); selfTest >= 0)
        return selfTest;

    // Closing the main window drops it; a Help window may keep the program
    // running until it is closed too.
    auto* window = new frmMain(AppServices::System());
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return app.exec();
}
