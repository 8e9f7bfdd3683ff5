#pragma once
#include <QObject>
#include <QString>

namespace plat {

// Play states as the old media player control reported them. Only 2 counts
// as playing; everything else is "not playing".
inline constexpr int mpStopped = 0;
inline constexpr int mpPlaying = 2;
inline constexpr int mpWaiting = 3;

// One announcement player. PlayStateChange is always delivered through the
// event loop, never from inside setFileName() or play(), so a handler that
// started a sound has returned before its notification arrives.
class MediaPlayer : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // The file to play (full path). May throw RuntimeError.
    virtual void setFileName(const QString& path) = 0;
    virtual QString fileName() const = 0;
    // Starts the current file and returns at once. May throw RuntimeError.
    virtual void play() = 0;
    // Ends playback now without reporting it (the program is closing).
    virtual void stop() = 0;
    virtual int playState() const = 0;

signals:
    void PlayStateChange(int oldState, int newState);
};

// Joins a folder and a file name with one separator, added only when the
// folder does not already end in one.
QString BuildPath(const QString& folder, const QString& name);

}  // namespace plat
