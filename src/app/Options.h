#pragma once
#include "boarding/BoardingForm.h"

#include <QCoreApplication>
#include <array>

namespace plat {
class MessageBoxes;
class SettingsStore;
}  // namespace plat

// The five option switches as the settings store keeps them, each under its
// key with the text that stands for it while the key is absent.
struct OptionKey {
    BoardingForm::Option option;
    const char* key;
    const char* def;
};

inline constexpr std::array<OptionKey, 5> kOptionKeys{{
    {BoardingForm::Option::Depart, "Depart", "-1"},
    {BoardingForm::Option::Countdown, "Count", "0"},
    {BoardingForm::Option::Boarding, "Boarding", "-1"},
    {BoardingForm::Option::Gate, "Gate", "-1"},
    {BoardingForm::Option::Briefing, "Brief", "-1"},
}};

// Reads the switches at start-up and writes each click at once.
class OptionStore {
    Q_DECLARE_TR_FUNCTIONS(OptionStore)
public:
    static inline const QString kApp = QStringLiteral("Tarmalo");
    static inline const QString kSection = QStringLiteral("Setting");

    OptionStore(plat::SettingsStore& settings, plat::MessageBoxes& messages);

    bool Read(BoardingForm::Option option) const;
    // Writes "True" or "False". A failed write is told once; the switch then
    // holds only until the program ends.
    void Write(BoardingForm::Option option, bool on, QWidget* parent);

private:
    plat::SettingsStore& m_settings;
    plat::MessageBoxes& m_messages;
    bool m_toldSaveFailed = false;
};
