#pragma once
#include "boarding/BoardingForm.h"

struct MainLayout;
struct MainMenus;

// What a boarding asks of the main window, answered by its controls and
// menu items.
class BoardingFormAdapter final : public BoardingForm {
public:
    BoardingFormAdapter(MainLayout& controls, MainMenus& menus, QWidget* window);

    bool StartChecked() const override;
    void setStartChecked(bool on) override;
    bool OptionChecked(Option option) const override;
    void setCountdownEnabled(bool on) override;
    QString TotalText() const override;
    void setTotalEnabled(bool on) override;
    QString TimeText() const override;
    void setTimeEnabled(bool on) override;
    void FocusField(Field field) override;
    QString PaxCaption(int index) const override;
    void setPaxCaption(int index, const QString& caption) override;
    void setProgressMax(float maximum) override;
    void setProgressValue(float value) override;
    void setProgressVisible(bool on) override;
    void setStatusInfo(const QString& text) override;
    void setStatusToolTip(const QString& text) override;
    QWidget* MessageParent() override { return m_window; }

private:
    MainLayout& m_controls;
    MainMenus& m_menus;
    QWidget* m_window;
};
