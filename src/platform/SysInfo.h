#pragma once
// What the About box needs to find and start the System Information tool:
// where the desktop keeps it, a program launcher and message boxes, each
// replaceable by a fake in tests.
#include <QString>

namespace plat {

class MessageBoxes;

// Window style of the old Shell call: normal size and place, with the focus.
inline constexpr int vbNormalFocus = 1;

class Launcher {
public:
    virtual ~Launcher() = default;
    // Starts the program at `pathName` without waiting for it and returns its
    // process id; throws RuntimeError when it cannot be started.
    virtual qint64 Shell(const QString& pathName, int windowStyle) = 0;
};

class QtLauncher final : public Launcher {
public:
    // A newly started program gets the focus from the window manager.
    qint64 Shell(const QString& pathName, int windowStyle) override;
};

// Finds the desktop's System Information program. Each platform has its own
// way (the registry on Windows, the PATH elsewhere).
class SysInfoLocator {
public:
    virtual ~SysInfoLocator() = default;
    // The program's full path, or an empty text when there is none. May throw
    // a runtime error, which counts as none.
    virtual QString Locate() = 0;
};

// The services the About box is given; System() are the platform's own.
struct SysInfoServices {
    SysInfoLocator* locator = nullptr;
    Launcher* launcher = nullptr;
    MessageBoxes* messages = nullptr;

    static SysInfoServices System();
};

}  // namespace plat
