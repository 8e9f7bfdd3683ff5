#pragma once
#include <QSize>
#include <QString>
#include <QWidget>

class QPlainTextEdit;

// The Help window: the usage text in a sizable window of its own. Each one
// is independent; it deletes itself when closed.
class frmHelp : public QWidget {
    Q_OBJECT
public:
    frmHelp();

    // Opens a new Help window, modeless and without owner. The caller need
    // not keep the pointer: the window lives until the user closes it.
    static frmHelp* ShowNew();

    // The usage text: 23 lines joined by CR LF, no break after the last.
    static QString HelpText();

    // The field's size for a window of the given outer size (frame and title
    // bar included) and client size, in device-independent pixels: 120 twips
    // narrower and 380 twips lower than the outer size, never negative, and
    // never beyond the client area.
    static QSize FitSize(const QSize& outer, const QSize& client);

    QPlainTextEdit* txtHelp = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Form_Load();
    void Form_Resize();
};
