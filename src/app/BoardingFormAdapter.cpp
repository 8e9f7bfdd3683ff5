#include "app/BoardingFormAdapter.h"

#include "app/EntryFields.h"
#include "app/MainLayout.h"
#include "app/MainMenus.h"

#include <QAction>
#include <QLabel>
#include <QProgressBar>
#include <cmath>

BoardingFormAdapter::BoardingFormAdapter(MainLayout& controls, MainMenus& menus, QWidget* window)
    : m_controls(controls), m_menus(menus), m_window(window)
{ }

bool BoardingFormAdapter::StartChecked() const
{
    return m_menus.mnuFileStart->isChecked();
}
void BoardingFormAdapter::setStartChecked(bool on)
{
    m_menus.mnuFileStart->setChecked(on);
}
bool BoardingFormAdapter::OptionChecked(Option option) const
{
    return m_menus.OptionItem(option)->isChecked();
}
void BoardingFormAdapter::setCountdownEnabled(bool on)
{
    m_menus.mnuOptionsCountdown->setEnabled(on);
}

QString BoardingFormAdapter::TotalText() const
{
    return m_controls.txtTotal->Text();
}
void BoardingFormAdapter::setTotalEnabled(bool on)
{
    m_controls.txtTotal->setEnabled(on);
}
QString BoardingFormAdapter::TimeText() const
{
    return m_controls.txtTime->Text();
}
void BoardingFormAdapter::setTimeEnabled(bool on)
{
    m_controls.txtTime->setEnabled(on);
}

void BoardingFormAdapter::FocusField(Field field)
{
    TextBox* box = field == Field::Time ? m_controls.txtTime : m_controls.txtTotal;
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
}

QString BoardingFormAdapter::PaxCaption(int index) const
{
    return m_controls.lblPAX.at(index)->text();
}
void BoardingFormAdapter::setPaxCaption(int index, const QString& caption)
{
    m_controls.lblPAX.at(index)->setText(caption);
}

void BoardingFormAdapter::setProgressMax(float maximum)
{
    // An empty flight shows an empty bar: Qt shows a busy bar for 0..0.
    const int rounded = static_cast<int>(std::lround(maximum));
    m_controls.pgbInAC->setRange(0, rounded <= 0 ? 1 : rounded);
}

void BoardingFormAdapter::setProgressValue(float value)
{
    QProgressBar* bar = m_controls.pgbInAC;
    bar->setValue(std::clamp(static_cast<int>(std::lround(value)), bar->minimum(), bar->maximum()));
    // QProgressBar repaints itself only once the value has moved a chunk's
    // width since it last painted, and lblPAX(1) overlaps its top row by a
    // pixel: each count update paints that row, which counts as painted, so
    // with hundreds of passengers the bar never filled. Repaint every change.
    bar->update();
}

void BoardingFormAdapter::setProgressVisible(bool on)
{
    m_controls.pgbInAC->setVisible(on);
}

void BoardingFormAdapter::setStatusInfo(const QString& text)
{
    m_controls.stsStatusInfo->setText(text);
}

void BoardingFormAdapter::setStatusToolTip(const QString& text)
{
    // Set on every tick; an unchanged text leaves a shown tooltip alone.
    if (m_controls.stsStatusInfo->toolTip() != text)
        m_controls.stsStatusInfo->setToolTip(text);
}
