// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/frmAbout.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QWindow>

#include "Version.h"
#include "common/MessageBox.h"
#include "common/Twips.h"
#include "info/Appearance.h"

namespace {

using common::TwipsRect;
using common::TwipsToPixels;

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// One stroke of the etched separator: a filled strip, x2 excluded.
QWidget* MakeLine(QWidget* parent, const QString& name, int x1Twips, int x2Twips, int yTwips, int thickness)
{
    auto* line = new QWidget(parent);
    line->setObjectName(name);
    line->setAutoFillBackground(true);
    line->setGeometry(TwipsToPixels(x1Twips), TwipsToPixels(yTwips),
                      TwipsToPixels(x2Twips) - TwipsToPixels(x1Twips), thickness);
    return line;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QRect& rect, const QString& text)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setGeometry(rect);
    return label;
}

}  // namespace

QString VersionLabel(int major, int minor, int revision)
{
    QString label = QStringLiteral("Version %1.%2").arg(major).arg(minor);
    if (revision > 0)
        label += QStringLiteral(".%1").arg(revision);
    return label;
}

frmAbout::frmAbout(std::function<QString()> locateTool, common::MessageBoxes& messages)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_locateTool(std::move(locateTool)), m_messages(messages)
{
    setObjectName(QStringLiteral("frmAbout"));
    setFont(DialogFont());

    // The separator is drawn on the form itself, beneath every control.
    Line1[1] = MakeLine(this, QStringLiteral("Line1_1"), 90, 5654, 1125, 1);
    Line1[0] = MakeLine(this, QStringLiteral("Line1_0"), 105, 5654, 1140, 2);

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(TwipsRect(4245, 1320, 1260, 345));
    cmdOK->setDefault(true);

    picIcon = new QLabel(this);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setGeometry(TwipsRect(240, 240, 540, 540));
    // The 32-pixel picture, or the one drawn for this screen's scale.
    const QPixmap icon = ProgramIcon().pixmap(QSize(32, 32), devicePixelRatioF());
    if (!icon.isNull()) {
        picIcon->setPixmap(icon);
        const int frame = 2 * picIcon->frameWidth();
        picIcon->resize(icon.deviceIndependentSize().toSize() + QSize(frame, frame));
    }

    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(TwipsRect(4260, 1755, 1245, 345));

    const QString name = QCoreApplication::applicationName();
    setWindowTitle(QStringLiteral("About %1").arg(name));
    // The free-use notice is empty: the text opens with a blank line.
    lblDisclaimer =
        MakeLabel(this, QStringLiteral("lblDisclaimer"), TwipsRect(180, 1320, 3945, 1815),
                  QStringLiteral("\nSounds Gndbrief.wav, Pretaxbr.wav, Ding.wav and BoardComplete.wav made "
                                 "by the %1 developers with Festival, Flite and SoX.\n\n"
                                 "Copyright \u00A9 2026 The %1 developers\ntarmalo@example.org")
                      .arg(name));

    lblTitle = MakeLabel(this, QStringLiteral("lblTitle"), TwipsRect(1050, 240, 3885, 480), name);
    QFont titleFont = font();
    titleFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                           QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    titleFont.setStyleHint(QFont::SansSerif);
    titleFont.setPointSize(18);
    titleFont.setWeight(QFont::Normal);
    lblTitle->setFont(titleFont);

    lblVersion =
        MakeLabel(this, QStringLiteral("lblVersion"), TwipsRect(1050, 780, 3885, 225),
                  VersionLabel(common::kVersionMajor, common::kVersionMinor, common::kVersionRevision));
    ApplyColours();

    cmdOK->setFocus();  // created first, so first in the tab order too
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::StartSysInfo);

    // The client area, placed from the screen's corner rather than centred.
    setGeometry(TwipsRect(2340, 1935, 5730, 3195));
    setFixedSize(size());
}

void frmAbout::ShowModal(std::function<QString()> locateTool, common::MessageBoxes& messages)
{
    frmAbout(std::move(locateTool), messages).exec();
}

// A fixed dialog: no taskbar entry and no icon in its title bar (not even
// the application's), which the window flags alone do not give on X11.
void frmAbout::showEvent(QShowEvent* event)
{
    plat::KeepOffTaskbar(this);
    windowHandle()->setIcon(QIcon());
    QDialog::showEvent(event);
}

// Black text and a grey and white etched line, as drawn for a light window.
// On a dark one black would vanish and white glare: there the palette's own
// text colour and its dark and light shades are used.
void frmAbout::ApplyColours()
{
    const QPalette& colours = palette();
    const bool dark = colours.color(QPalette::Window).lightness() < 128;
    const QColor text = dark ? colours.color(QPalette::WindowText) : QColor(Qt::black);
    SetColour(lblTitle, QPalette::WindowText, text);
    SetColour(lblDisclaimer, QPalette::WindowText, text);
    SetColour(Line1[1], QPalette::Window, dark ? colours.color(QPalette::Dark) : QColor(128, 128, 128));
    SetColour(Line1[0], QPalette::Window, dark ? colours.color(QPalette::Light) : QColor(Qt::white));
}

void frmAbout::changeEvent(QEvent* event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && lblDisclaimer)
        ApplyColours();
}

void frmAbout::reject()
{
    accept();
}

void frmAbout::StartSysInfo()
{
    // Every way of failing, an error while looking included, ends in the one
    // message. The path is started as one program, with no arguments.
    QString SysInfoPath;
    try {
        SysInfoPath = m_locateTool();
    } catch (const std::exception&) { }
    // Started in its own folder, so the program's (a USB stick, say) is not held.
    if (SysInfoPath.isEmpty()
        || !QProcess::startDetached(SysInfoPath, QStringList(), QFileInfo(SysInfoPath).absolutePath()))
        m_messages.Show(this, QStringLiteral("System Information Is Unavailable At This Time"),
                        QMessageBox::NoIcon, common::ProgramTitle());
}
