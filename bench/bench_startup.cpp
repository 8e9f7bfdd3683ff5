// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

// Opens one window, and ends as soon as the window server has shown it.
//
//   bench_startup main   the real main window on the real services
//   bench_startup bare   a bare QMainWindow with a menu bar and a status bar:
//                        the toolkit's own floor
//
// Wall time and peak memory are measured from outside (bench/run-startup.sh);
// the program itself prints the time from main() to the first exposure.
#include "app/AppServices.h"
#include "app/frmMain.h"
#include "platform/SettingsStore.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTimer>
#include <QWindow>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

// Reads the user's settings as the program does, never writes them.
class ReadOnlySettings final : public plat::SettingsStore {
public:
    ReadOnlySettings()
    {
        connect(&m_real, &SettingsStore::Loaded, this, &SettingsStore::Loaded);
        connect(&m_real, &SettingsStore::Tell, this, &SettingsStore::Tell);
    }
    void Load() override { m_real.Load(); }
    void Save(const QString&, bool) override { }

private:
    plat::QSettingsStore m_real;
};

// Ends the event loop once the window is on screen: after the first expose
// event has been handled, which is when Qt paints the window.
class QuitWhenExposed final : public QObject {
public:
    QuitWhenExposed(QWindow* window, const QElapsedTimer& clock) : m_window(window), m_clock(clock)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == m_window && event->type() == QEvent::Expose && m_window->isExposed() && !m_done) {
            m_done = true;
            const qint64 ms = m_clock.elapsed();
            QTimer::singleShot(0, qApp, [ms] {
                std::printf("exposed after %lld ms\n", ms);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    QWindow* m_window;
    const QElapsedTimer& m_clock;
    bool m_done = false;
};

std::unique_ptr<QMainWindow> BareWindow()
{
    auto window = std::make_unique<QMainWindow>();
    window->setWindowTitle(QStringLiteral("Bare"));
    QMenu* file = window->menuBar()->addMenu(QStringLiteral("&File"));
    file->addAction(QStringLiteral("&Start"))->setShortcut(QKeySequence(QStringLiteral("Ctrl+S")));
    file->addSeparator();
    file->addAction(QStringLiteral("E&xit"));
    QMenu* options = window->menuBar()->addMenu(QStringLiteral("&Options"));
    for (const char* item : {"&Depart on clock", "C&ountdown time", "Play boarding &complete sound",
                             "Play &gate departure sound", "Play &briefing sound"}) {
        QAction* action = options->addAction(QString::fromLatin1(item));
        action->setCheckable(true);
    }
    QMenu* help = window->menuBar()->addMenu(QStringLiteral("&Help"));
    help->addAction(QStringLiteral("&Help"))->setShortcut(QKeySequence(QStringLiteral("F1")));
    help->addAction(QStringLiteral("&About"));
    window->statusBar()->addWidget(new QLabel(QStringLiteral("Ready")), 1);
    window->statusBar()->addPermanentWidget(new QLabel(QStringLiteral("12:00")));
    window->resize(160, 200);
    return window;
}

}  // namespace

int main(int argc, char* argv[])
{
    QElapsedTimer clock;
    clock.start();
    const bool real = argc == 2 && std::strcmp(argv[1], "main") == 0;
    const bool bare = argc == 2 && std::strcmp(argv[1], "bare") == 0;
    if (!real && !bare) {
        std::fprintf(stderr, "usage: %s main|bare\n", argv[0]);
        return 2;
    }

    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarmalo"));

    ReadOnlySettings settings;
    std::unique_ptr<QMainWindow> window;
    if (real) {
        AppServices services = AppServices::System();
        services.settings = &settings;
        window = std::make_unique<frmMain>(services);
    } else {
        window = BareWindow();
    }
    window->winId();  // the native window, to watch before it is shown
    QuitWhenExposed quit(window->windowHandle(), clock);
    window->show();
    // A window that is never exposed (no window server) must not hang a run.
    QTimer::singleShot(20000, &app, [] {
        std::fprintf(stderr, "never exposed\n");
        QCoreApplication::exit(1);
    });
    return app.exec();
}
