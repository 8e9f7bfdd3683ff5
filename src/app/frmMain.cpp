#include "app/frmMain.h"

#include "app/CaptionFrame.h"
#include "app/EntryFields.h"
#include "app/modCommon.h"
#include "info/DialogFont.h"
#include "info/WindowHints.h"
#include "info/frmHelp.h"
#include "platform/Clock.h"
#include "platform/Conversions.h"
#include "platform/MediaPlayer.h"
#include "platform/MessageBox.h"
#include "platform/Random.h"
#include "platform/SettingsStore.h"
#include "platform/Timer.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QProgressBar>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionFrame>
#include <cmath>

using plat::TwipsToPixels;

namespace {

struct OptionKey {
    const char* key;
    const char* def;
};
// Stored under these keys, with these defaults when absent.
constexpr OptionKey kDepart{"Depart", "-1"};
constexpr OptionKey kCount{"Count", "0"};
constexpr OptionKey kBoarding{"Boarding", "-1"};
constexpr OptionKey kGate{"Gate", "-1"};
constexpr OptionKey kBrief{"Brief", "-1"};

// The client area as laid out, and the part that stays visible above the
// status bar: the bottom of the "PAX" frame.
constexpr int kClientWidthTwips = 2355;
constexpr int kVisibleHeightTwips = 1200 + 1215;

// How far in from its right edge a line edit ends right-aligned text:
// its frame, QLineEdit's own 2-pixel margin and the pixel it keeps for the
// cursor.
int TextEndInset(const QLineEdit* edit)
{
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit);
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    const QRect contents = edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
    return edit->width() - (contents.x() + contents.width()) + edit->textMargins().right() + 2 + 1;
}

}  // namespace

frmMain::frmMain(const AppServices& services, QWidget* parent) : QMainWindow(parent), m_services(services)
{
    setWindowTitle(QStringLiteral("Tarmalo"));
    setFont(DialogFont());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                   | Qt::WindowCloseButtonHint);
    setWindowIcon(ProgramIcon());

    m_player = m_services.makePlayer(this);
    m_boarding = new Boarding(*this, *m_services.clock, *m_services.messages, *m_player, this);
    // A running boarding ticks anyway: the clock panel looks at every tick,
    // so a clock that was set shows within seconds, at no extra wake-up.
    connect(&m_boarding->tmrTimer(), &plat::Timer::Tick, this, &frmMain::UpdateClockPanel);

    BuildControls();
    BuildMenus();
    Form_Load();
}

frmMain::~frmMain() = default;

void frmMain::BuildControls()
{
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(TwipsToPixels(kClientWidthTwips), TwipsToPixels(kVisibleHeightTwips));
    setCentralWidget(client);

    auto place = [](QWidget* w, int left, int top, int width, int height) {
        w->setGeometry(plat::TwipsRect(left, top, width, height));
    };

    // The banner is drawn first so everything else lies on top of it.
    Image1 = new QLabel(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/tarmalo/banner.bmp")));
    Image1->setScaledContents(true);
    place(Image1, 0, 0, 2490, 810);

    Label5 = new QLabel(tr("&Departure time"), client);
    Label5->setObjectName(QStringLiteral("Label5"));
    place(Label5, 60, 900, 1215, 255);

    txtTime = new MaskEdBox(client);
    txtTime->setObjectName(QStringLiteral("txtTime"));
    txtTime->setAccessibleName(tr("Departure time"));
    place(txtTime, 1680, 840, 615, 315);
    Label5->setBuddy(txtTime);

    Frame1 = new CaptionFrame(tr("PAX"), client);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    place(Frame1, 0, 1200, 2355, 1215);

    Label2 = new QLabel(tr("&Total"), Frame1);
    Label2->setObjectName(QStringLiteral("Label2"));
    place(Label2, 60, 240, 1215, 255);

    txtTotal = new TextBox(Frame1);
    txtTotal->setObjectName(QStringLiteral("txtTotal"));
    txtTotal->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    txtTotal->setAccessibleName(tr("Total"));
    place(txtTotal, 1680, 180, 615, 315);
    Label2->setBuddy(txtTotal);

    Label3 = new QLabel(tr("Remaining"), Frame1);
    Label3->setObjectName(QStringLiteral("Label3"));
    place(Label3, 60, 540, 1155, 255);

    lblPAX[0] = new QLabel(Frame1);
    lblPAX[0]->setObjectName(QStringLiteral("lblPAX0"));
    lblPAX[0]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // A label's accessible name is what screen readers read: left unset, it
    // is the count itself; the caption beside it names it.
    lblPAX[0]->setAccessibleDescription(tr("Passengers still at the gate"));
    place(lblPAX[0], 1200, 540, 1095, 255);
    Label3->setBuddy(lblPAX[0]);

    Label4 = new QLabel(tr("In Aircraft"), Frame1);
    Label4->setObjectName(QStringLiteral("Label4"));
    place(Label4, 60, 780, 1215, 255);

    lblPAX[1] = new QLabel(Frame1);
    lblPAX[1]->setObjectName(QStringLiteral("lblPAX1"));
    lblPAX[1]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblPAX[1]->setAccessibleDescription(tr("Passengers in the aircraft"));
    place(lblPAX[1], 1200, 780, 1095, 255);
    Label4->setBuddy(lblPAX[1]);
    // The counts end where the digits in txtTotal end, inside its margins.
    for (QLabel* count : lblPAX)
        count->setIndent(TextEndInset(txtTotal));

    pgbInAC = new QProgressBar(Frame1);
    pgbInAC->setObjectName(QStringLiteral("pgbInAC"));
    pgbInAC->setRange(0, 100);
    pgbInAC->setValue(0);
    pgbInAC->setTextVisible(false);
    pgbInAC->setAccessibleName(tr("Boarded"));
    place(pgbInAC, 60, 1020, 2250, 150);

    // Tab order: the time, then the passengers; labels take no focus.
    for (QWidget* w :
         {static_cast<QWidget*>(Image1), static_cast<QWidget*>(Label5), static_cast<QWidget*>(Label2),
          static_cast<QWidget*>(Label3), static_cast<QWidget*>(Label4), static_cast<QWidget*>(lblPAX[0]),
          static_cast<QWidget*>(lblPAX[1]), static_cast<QWidget*>(pgbInAC)})
        w->setFocusPolicy(Qt::NoFocus);
    setTabOrder(txtTime, txtTotal);

    connect(txtTotal, &QLineEdit::textChanged, this, [this] { txtTotal_Change(); });
    connect(txtTotal, &TextBox::GotFocus, this, &frmMain::txtTotal_GotFocus);
    connect(txtTime, &TextBox::GotFocus, this, &frmMain::txtTime_GotFocus);

    // Status bar: the gate status panel "Info" and a clock panel.
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("stsStatus"));
    bar->setSizeGripEnabled(false);
    stsStatusInfo = new QLabel(bar);
    stsStatusInfo->setObjectName(QStringLiteral("Info"));
    stsStatusInfo->setAccessibleDescription(tr("Gate status"));
    stsStatusInfo->setMinimumWidth(TwipsToPixels(1000));
    bar->addWidget(stsStatusInfo, 1);
    stsStatusClock = new QLabel(bar);
    stsStatusClock->setObjectName(QStringLiteral("Clock"));
    stsStatusClock->setAccessibleDescription(tr("Time of day"));
    stsStatusClock->setAlignment(Qt::AlignCenter);
    stsStatusClock->setMinimumWidth(TwipsToPixels(700));
    bar->addPermanentWidget(stsStatusClock);

    // The clock panel wakes once a minute, on the minute.
    m_clockPanelTimer = new plat::Timer(*m_services.clock, this);
    m_clockPanelTimer->setPrecise(true);
    connect(m_clockPanelTimer, &plat::Timer::Tick, this, &frmMain::UpdateClockPanel);
    UpdateClockPanel();
}

QAction* frmMain::AddItem(QMenu* menu, const QString& caption, bool checkable, void (frmMain::*handler)())
{
    auto* item = menu->addAction(caption);
    item->setCheckable(checkable);
    // A check mark changes only when the handler says so: undo Qt's own
    // toggle before the handler runs.
    connect(item, &QAction::triggered, this, [this, item, checkable, handler](bool checked) {
        if (checkable)
            item->setChecked(!checked);
        (this->*handler)();
    });
    return item;
}

void frmMain::BuildMenus()
{
    QMenu* mnuFile = menuBar()->addMenu(tr("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    mnuFileStart = AddItem(mnuFile, tr("&Start"), true, &frmMain::mnuFileStart_Click);
    mnuFileStart->setObjectName(QStringLiteral("mnuFileStart"));
    mnuFileStart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    mnuFileStart->setChecked(true);
    mnuFile->addSeparator()->setObjectName(QStringLiteral("mnuFileFiller"));
    mnuFileExit = AddItem(mnuFile, tr("E&xit"), false, &frmMain::mnuFileExit_Click);
    mnuFileExit->setObjectName(QStringLiteral("mnuFileExit"));

    QMenu* mnuOptions = menuBar()->addMenu(tr("&Options"));
    mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
    mnuOptionsDepart = AddItem(mnuOptions, tr("&Depart on clock"), true, &frmMain::mnuOptionsDepart_Click);
    mnuOptionsDepart->setObjectName(QStringLiteral("mnuOptionsDepart"));
    mnuOptionsDepart->setChecked(true);
    mnuOptions->addSeparator()->setObjectName(QStringLiteral("mnuOptionsFiller1"));
    mnuOptionsCountdown =
        AddItem(mnuOptions, tr("C&ountdown time"), true, &frmMain::mnuOptionsCountdown_Click);
    mnuOptionsCountdown->setObjectName(QStringLiteral("mnuOptionsCountdown"));
    mnuOptions->addSeparator()->setObjectName(QStringLiteral("mnuOptionsFiller2"));
    mnuOptionsBoarding = AddItem(mnuOptions, tr("Play \"boarding &complete\" sound"), true,
                                 &frmMain::mnuOptionsBoarding_Click);
    mnuOptionsBoarding->setObjectName(QStringLiteral("mnuOptionsBoarding"));
    mnuOptionsBoarding->setChecked(true);
    mnuOptionsGate =
        AddItem(mnuOptions, tr("Play \"&gate departure\" sound"), true, &frmMain::mnuOptionsGate_Click);
    mnuOptionsGate->setObjectName(QStringLiteral("mnuOptionsGate"));
    mnuOptionsGate->setChecked(true);
    mnuOptionsBriefing =
        AddItem(mnuOptions, tr("Play \"&briefing\" sound"), true, &frmMain::mnuOptionsBriefing_Click);
    mnuOptionsBriefing->setObjectName(QStringLiteral("mnuOptionsBriefing"));
    mnuOptionsBriefing->setChecked(true);

    QMenu* mnuHelp = menuBar()->addMenu(tr("&Help"));
    mnuHelp->setObjectName(QStringLiteral("mnuHelp"));
    mnuHelpHelp = AddItem(mnuHelp, tr("&Help..."), false, &frmMain::mnuHelpHelp_Click);
    mnuHelpHelp->setObjectName(QStringLiteral("mnuHelpHelp"));
    mnuHelpHelp->setShortcut(QKeySequence(Qt::Key_F1));
    mnuHelpAbout = AddItem(mnuHelp, tr("&About Tarmalo..."), false, &frmMain::mnuHelpAbout_Click);
    mnuHelpAbout->setObjectName(QStringLiteral("mnuHelpAbout"));

    // Shortcuts work from anywhere in the window, also with the menus closed.
    for (QAction* a : {mnuFileStart, mnuHelpHelp}) {
        a->setShortcutContext(Qt::WindowShortcut);
        addAction(a);
    }
}

void frmMain::FitHeight()
{
    // The window ends at the bottom of the "PAX" frame plus the status bar;
    // the title bar belongs to the window manager.
    const int width = TwipsToPixels(kClientWidthTwips);
    const int wrapped = menuBar()->heightForWidth(width);
    const int menuHeight = wrapped > 0 ? wrapped : menuBar()->sizeHint().height();
    const int height = menuHeight + TwipsToPixels(kVisibleHeightTwips) + statusBar()->sizeHint().height();
    setFixedSize(width, height);
}

void frmMain::Form_Load()
{
    if (m_services.seedRandom)
        plat::Randomize(static_cast<quint64>(m_services.clock->now().toMSecsSinceEpoch()));

    FitHeight();
    // Opens at its stored place rather than centred.
    move(TwipsToPixels(1590), TwipsToPixels(1860));

    m_boarding->setPath(m_services.appPath);

    mnuFileStart->setChecked(false);
    mnuFileStart->setEnabled(false);

    tmrTimer().setEnabled(false);
    tmrTimer().setInterval(Boarding::kBoardingInterval);

    const std::pair<QAction*, OptionKey> options[] = {{mnuOptionsDepart, kDepart},
                                                      {mnuOptionsCountdown, kCount},
                                                      {mnuOptionsBoarding, kBoarding},
                                                      {mnuOptionsGate, kGate},
                                                      {mnuOptionsBriefing, kBrief}};
    for (const auto& [item, key] : options) {
        const QString def = QString::fromLatin1(key.def);
        const QString text =
            m_services.settings->GetSetting(kApp, kSection, QString::fromLatin1(key.key), def);
        // A hand-edited value that is neither a number nor True/False falls
        // back to the default.
        const auto on = plat::CBool(text);
        item->setChecked(on.value_or(*plat::CBool(def)));
    }

    m_boarding->CreateCommon();

    txtTime->setFocus(Qt::OtherFocusReason);
}

void frmMain::Form_Unload()
{
    m_boarding->ReleaseCommon();
    m_player->stop();
    m_clockPanelTimer->setEnabled(false);
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

void frmMain::ToggleOption(QAction* item, const QString& key)
{
    item->setChecked(!item->isChecked());
    const QString text = item->isChecked() ? QStringLiteral("True") : QStringLiteral("False");
    if (!m_services.settings->SaveSetting(kApp, kSection, key, text) && !m_toldSaveFailed) {
        m_toldSaveFailed = true;
        m_services.messages->MsgBox(this,
                                    tr("Tarmalo could not save this choice in your settings. "
                                       "It applies until Tarmalo is closed."),
                                    plat::vbExclamation, plat::AppTitle());
    }
}

void frmMain::mnuOptionsDepart_Click()
{
    ToggleOption(mnuOptionsDepart, QString::fromLatin1(kDepart.key));
}
void frmMain::mnuOptionsCountdown_Click()
{
    ToggleOption(mnuOptionsCountdown, QString::fromLatin1(kCount.key));
}
void frmMain::mnuOptionsBoarding_Click()
{
    ToggleOption(mnuOptionsBoarding, QString::fromLatin1(kBoarding.key));
}
void frmMain::mnuOptionsGate_Click()
{
    ToggleOption(mnuOptionsGate, QString::fromLatin1(kGate.key));
}
void frmMain::mnuOptionsBriefing_Click()
{
    ToggleOption(mnuOptionsBriefing, QString::fromLatin1(kBrief.key));
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

// ---------------------------------------------------------------- entry fields

void frmMain::txtTotal_Change()
{
    const QString trimmed = plat::TrimSpaces(txtTotal->Text());
    if (plat::IsNumeric(trimmed, m_boarding->Locale())) {
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
    modCommon::SelectAllText(txtTotal);
}

void frmMain::txtTime_GotFocus()
{
    modCommon::SelectAllText(txtTime);
}

// ---------------------------------------------------------------- BoardingForm

bool frmMain::StartChecked() const
{
    return mnuFileStart->isChecked();
}
void frmMain::setStartChecked(bool on)
{
    mnuFileStart->setChecked(on);
}

bool frmMain::OptionChecked(Option option) const
{
    switch (option) {
    case Option::Depart: return mnuOptionsDepart->isChecked();
    case Option::Countdown: return mnuOptionsCountdown->isChecked();
    case Option::Boarding: return mnuOptionsBoarding->isChecked();
    case Option::Gate: return mnuOptionsGate->isChecked();
    case Option::Briefing: return mnuOptionsBriefing->isChecked();
    }
    return false;
}

void frmMain::setCountdownEnabled(bool on)
{
    mnuOptionsCountdown->setEnabled(on);
}
QString frmMain::TotalText() const
{
    return txtTotal->Text();
}
void frmMain::setTotalEnabled(bool on)
{
    txtTotal->setEnabled(on);
}
QString frmMain::TimeText() const
{
    return txtTime->Text();
}
void frmMain::setTimeEnabled(bool on)
{
    txtTime->setEnabled(on);
}

void frmMain::FocusField(Field field)
{
    QWidget* w = field == Field::Time ? static_cast<QWidget*>(txtTime) : static_cast<QWidget*>(txtTotal);
    w->setFocus(Qt::OtherFocusReason);
    modCommon::SelectAllText(w);
}

QString frmMain::PaxCaption(int index) const
{
    return lblPAX.at(index)->text();
}
void frmMain::setPaxCaption(int index, const QString& caption)
{
    lblPAX.at(index)->setText(caption);
}

void frmMain::setProgressMax(float maximum)
{
    // An empty flight shows an empty bar: Qt shows a busy bar for 0..0.
    const int rounded = static_cast<int>(std::lround(maximum));
    pgbInAC->setRange(0, rounded <= 0 ? 1 : rounded);
}

void frmMain::setProgressValue(float value)
{
    const int v = static_cast<int>(std::lround(value));
    pgbInAC->setValue(std::clamp(v, pgbInAC->minimum(), pgbInAC->maximum()));
    // QProgressBar repaints itself only once the value has moved a chunk's
    // width since it last painted, and lblPAX(1) overlaps its top row by a
    // pixel: each count update paints that row, which counts as painted, so
    // with hundreds of passengers the bar never filled. Repaint every change.
    pgbInAC->update();
}

void frmMain::setProgressVisible(bool on)
{
    pgbInAC->setVisible(on);
}
void frmMain::setStatusInfo(const QString& text)
{
    stsStatusInfo->setText(text);
}
QString frmMain::StatusInfo() const
{
    return stsStatusInfo->text();
}

void frmMain::setStatusToolTip(const QString& text)
{
    // Set on every tick; an unchanged text leaves a shown tooltip alone.
    if (stsStatusInfo->toolTip() != text)
        stsStatusInfo->setToolTip(text);
}

QString frmMain::ClockPanelText() const
{
    return stsStatusClock->text();
}

void frmMain::UpdateClockPanel()
{
    // Runs at the panel's own wake and at every boarding tick; either may be
    // the first to see that the clock was set.
    const QDateTime now = m_services.clock->now();
    const QString text = now.time().toString(QStringLiteral("HH:mm"));
    if (stsStatusClock->text() != text)
        stsStatusClock->setText(text);
    // Sleep until just past the next minute boundary of the clock as it
    // reads now; rescheduling the one timer adds no wake-up.
    const int intoMinute = now.time().second() * 1000 + now.time().msec();
    m_clockPanelTimer->setInterval(60000 - intoMinute + 20);
    m_clockPanelTimer->setEnabled(true);
}
