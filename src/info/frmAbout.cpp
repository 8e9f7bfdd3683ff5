// SPDX-FileCopyrightText: 2026 The Tarmalo developers
//
// SPDX-License-Identifier: GPL-3.0-or-later

#include "info/frmAbout.h"

#include <QColor>
#include <QEvent>
#include <QFileInfo>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QRect>
#include <QWindow>

#include "Version.h"
#include "common/MessageBox.h"
#include "common/Twips.h"
#include "info/DialogFont.h"
#include "info/ProgramIcon.h"

namespace {

using common::TwipsRect;
using common::TwipsToPixels;

void SetColour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
}

// One stroke of the etched separator, a plain filled strip from x1 to x2
// (end excluded) at y, its thickness in pixels.
QWidget* MakeLine(QWidget* parent, const QString& name, int x1Twips, int x2Twips, int yTwips, int thickness)
{
    auto* line = new QWidget(parent);
    line->setObjectName(name);
    line->setAutoFillBackground(true);
    line->setGeometry(TwipsToPixels(x1Twips), TwipsToPixels(yTwips),
                      TwipsToPixels(x2Twips) - TwipsToPixels(x1Twips), thickness);
    return line;
}

QLabel* MakeLabel(QWidget* parent, const QString& name, const QRect& rect)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setWordWrap(true);
    label->setGeometry(rect);
    return label;
}

// "Version 1.0", with ".revision" only when the revision is above 0.
QString VersionLabel(int major, int minor, int revision)
{
    QString label = QStringLiteral("Version %1.%2").arg(major).arg(minor);
    if (revision > 0)
        label += QStringLiteral(".%1").arg(revision);
    return label;
}

// The notice beside the buttons: five lines, no break after the last.
QString DisclaimerText()
{
    // The free-use notice is empty: the text opens with a blank line.
    return QStringLiteral("\n"
                          "Sounds Gndbrief.wav, Pretaxbr.wav, Ding.wav and BoardComplete.wav made by the "
                          "Tarmalo developers with Festival, Flite and SoX.\n"
                          "\n"
                          "Copyright \u00A9 2026 The Tarmalo developers\n"
                          "tarmalo@example.org");
}

}  // namespace

const QString frmAbout::kUnavailableMessage =
    QStringLiteral("System Information Is Unavailable At This Time");

frmAbout::frmAbout(std::function<QString()> locateTool, common::MessageBoxes* messages)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                           | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_locateTool(std::move(locateTool)), m_messages(messages)
{
    static common::QtMessageBoxes systemMessages;
    if (!m_messages)
        m_messages = &systemMessages;
    setObjectName(QStringLiteral("frmAbout"));
    setFont(DialogFont());
    setSizeGripEnabled(false);

    // The separator is drawn on the form itself, beneath every control.
    Line1[1] = MakeLine(this, QStringLiteral("Line1_1"), 90, 5654, 1125, 1);
    Line1[0] = MakeLine(this, QStringLiteral("Line1_0"), 105, 5654, 1140, 2);

    // Created in tab order, OK first so that it has the focus at opening.
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

    lblDisclaimer = MakeLabel(this, QStringLiteral("lblDisclaimer"), TwipsRect(180, 1320, 3945, 1815));

    lblTitle = MakeLabel(this, QStringLiteral("lblTitle"), TwipsRect(1050, 240, 3885, 480));
    QFont titleFont = font();
    titleFont.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Microsoft Sans Serif"),
                           QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
    titleFont.setStyleHint(QFont::SansSerif);
    titleFont.setPointSize(18);
    titleFont.setWeight(QFont::Normal);
    lblTitle->setFont(titleFont);

    lblVersion = MakeLabel(this, QStringLiteral("lblVersion"), TwipsRect(1050, 780, 3885, 225));
    ApplyColours();

    setTabOrder(cmdOK, cmdSysInfo);
    cmdOK->setFocus();

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);

    // The client area, placed from the screen's corner rather than centred.
    setGeometry(TwipsRect(2340, 1935, 5730, 3195));
    setFixedSize(size());

    Form_Load();
}

void frmAbout::ShowModal(std::function<QString()> locateTool, common::MessageBoxes* messages)
{
    frmAbout box(std::move(locateTool), messages);
    box.exec();
}

void frmAbout::Form_Load()
{
    setWindowTitle(QStringLiteral("About Tarmalo"));
    lblVersion->setText(VersionLabel(common::kVersionMajor, common::kVersionMinor, common::kVersionRevision));
    lblTitle->setText(QStringLiteral("Tarmalo"));
    lblDisclaimer->setText(DisclaimerText());
}

// A fixed dialog: no taskbar entry and no icon in its title bar, which the
// window flags alone do not give on X11.
void frmAbout::showEvent(QShowEvent* event)
{
    plat::KeepOffTaskbar(this);
    // No icon of its own, so a title bar that can do without one shows none
    // rather than the application's.
    if (windowHandle())
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
    cmdOK_Click();
}

void frmAbout::cmdOK_Click()
{
    done(QDialog::Accepted);
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    // Every way of failing, an error while looking included, ends in the one
    // message. The path is started as one program, with no arguments.
    QString SysInfoPath;
    try {
        SysInfoPath = m_locateTool();
    } catch (const std::exception&) {
        SysInfoPath.clear();
    }
    // Started in its own folder, so Tarmalo's (a USB stick, say) is not held.
    if (SysInfoPath.isEmpty()
        || !QProcess::startDetached(SysInfoPath, QStringList(), QFileInfo(SysInfoPath).absolutePath()))
        m_messages->Show(this, kUnavailableMessage, QMessageBox::NoIcon, common::ProgramTitle());
}
