#include "app/frmMain.h"

#include "app/ClockPanel.h"
#include "app/EntryFields.h"
#include "info/DialogFont.h"
#include "info/ProgramIcon.h"
#include "info/frmHelp.h"
#include "platform/Clock.h"
#include "platform/Conversions.h"
#include "platform/MediaPlayer.h"
#include "platform/Random.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>

frmMain::frmMain(const AppServices& services, QWidget* parent)
    : QMainWindow(parent), m_services(services), m_form(*this, *this, this)
{
    setWindowTitle(QStringLiteral("Tarmalo"));
    setFont(DialogFont());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIcon());

    m_player = m_services.makePlayer(this);
    m_boarding = new Boarding(m_form, *m_services.clock, *m_services.messages, *m_player, this);

    BuildLayout(*this, *m_services.clock);
    // A running boarding ticks anyway: the clock panel looks at every tick,
    // so a clock that was set shows within seconds, at no extra wake-up.
    connect(&tmrTimer(), &plat::Timer::Tick, stsStatusClock, &ClockPanel::Update);
    connect(txtTotal, &QLineEdit::textChanged, this, &frmMain::txtTotal_Change);
    connect(txtTotal, &TextBox::GotFocus, this, &frmMain::txtTotal_GotFocus);
    connect(txtTime, &TextBox::GotFocus, this, &frmMain::txtTime_GotFocus);

    BuildMenus(*this, *m_services.settings, *m_services.messages);
    const std::pair<QAction*, void (frmMain::*)()> routes[] = {
        {mnuFileStart, &frmMain::mnuFileStart_Click},
        {mnuFileExit, &frmMain::mnuFileExit_Click},
        {mnuOptionsDepart, &frmMain::mnuOptionsDepart_Click},
        {mnuOptionsCountdown, &frmMain::mnuOptionsCountdown_Click},
        {mnuOptionsBoarding, &frmMain::mnuOptionsBoarding_Click},
        {mnuOptionsGate, &frmMain::mnuOptionsGate_Click},
        {mnuOptionsBriefing, &frmMain::mnuOptionsBriefing_Click},
        {mnuHelpHelp, &frmMain::mnuHelpHelp_Click},
        {mnuHelpAbout, &frmMain::mnuHelpAbout_Click},
    };
    for (const auto& [item, handler] : routes)
        OnClick(item, this, [this, handler = handler] { (this->*handler)(); });

    Form_Load();
}

void frmMain::Form_Load()
{
    if (m_services.seedRandom)
        plat::Randomize(static_cast<quint64>(m_services.clock->now().toMSecsSinceEpoch()));

    FitWindow(*this);

    m_boarding->setPath(m_services.appPath);

    mnuFileStart->setChecked(false);
    mnuFileStart->setEnabled(false);

    tmrTimer().setEnabled(false);
    tmrTimer().setInterval(Boarding::kBoardingInterval);

    ReadOptions();

    m_boarding->CreateCommon();

    txtTime->setFocus(Qt::OtherFocusReason);
}

void frmMain::Form_Unload()
{
    m_boarding->ReleaseCommon();
    m_player->stop();
    stsStatusClock->Stop();
}

void frmMain::closeEvent(QCloseEvent* event)
{
    Form_Unload();
    event->accept();
}

void frmMain::mnuFileExit_Click()
{
    if (m_services.endProgram)
        m_services.endProgram();
}

void frmMain::mnuHelpHelp_Click()
{
    frmHelp::ShowNew();
}

void frmMain::mnuHelpAbout_Click()
{
    if (m_services.showAbout)
        m_services.showAbout();
}

void frmMain::txtTotal_Change()
{
    const QString trimmed = plat::TrimSpaces(txtTotal->Text());
    if (plat::IsNumeric(trimmed)) {
        mnuFileStart->setEnabled(true);
        const QString again = plat::TrimSpaces(txtTotal->Text());
        // Writing the same text raises no change; a different one runs this
        // handler once more, nested, and that run ends the chain.
        if (again != txtTotal->Text())
            txtTotal->setText(again);
    } else {
        mnuFileStart->setEnabled(false);
    }
}

void frmMain::txtTotal_GotFocus()
{
    txtTotal->selectAll();
}

void frmMain::txtTime_GotFocus()
{
    txtTime->selectAll();
}
