#pragma once
#include <QString>
#include <QList>
#include <QStringList>
#include <functional>

class QWidget;

namespace plat {

// Message box styles of the old platform, as far as the program uses them.
inline constexpr int vbOKOnly = 0;
inline constexpr int vbCritical = 16;
inline constexpr int vbExclamation = 48;
inline constexpr int vbInformation = 64;

// Shows message boxes; modal, returns when dismissed. Tests record instead.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    virtual void MsgBox(QWidget* parent, const QString& text, int style, const QString& title) = 0;
};

class QtMessageBoxes final : public MessageBoxes {
public:
    void MsgBox(QWidget* parent, const QString& text, int style, const QString& title) override;
};

struct RecordedMessage {
    QString text;
    int style;
    QString title;
};

class RecordingMessageBoxes final : public MessageBoxes {
public:
    void MsgBox(QWidget* parent, const QString& text, int style, const QString& title) override;
    QList<RecordedMessage> shown;
    // Runs while the "box" is open, e.g. to deliver events meanwhile.
    std::function<void()> whileOpen;
};

// The program's title, as message boxes show it.
QString AppTitle();

}  // namespace plat
