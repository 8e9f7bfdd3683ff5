#include "app/Options.h"

#include "platform/Conversions.h"
#include "platform/MessageBox.h"
#include "platform/SettingsStore.h"

#include <algorithm>

namespace {

const OptionKey& KeyOf(BoardingForm::Option option)
{
    return *std::find_if(kOptionKeys.begin(), kOptionKeys.end(),
                         [option](const OptionKey& k) { return k.option == option; });
}

}  // namespace

OptionStore::OptionStore(plat::SettingsStore& settings, plat::MessageBoxes& messages)
    : m_settings(settings), m_messages(messages)
{ }

bool OptionStore::Read(BoardingForm::Option option) const
{
    const OptionKey& k = KeyOf(option);
    const QString def = QString::fromLatin1(k.def);
    const QString text = m_settings.GetSetting(kApp, kSection, QString::fromLatin1(k.key), def);
    // A hand-edited value that is neither a number nor True/False falls back
    // to the default.
    return plat::CBool(text).value_or(*plat::CBool(def));
}

void OptionStore::Write(BoardingForm::Option option, bool on, QWidget* parent)
{
    const QString text = on ? QStringLiteral("True") : QStringLiteral("False");
    if (m_settings.SaveSetting(kApp, kSection, QString::fromLatin1(KeyOf(option).key), text)
        || m_toldSaveFailed)
        return;
    m_toldSaveFailed = true;
    m_messages.MsgBox(parent,
                      tr("Tarmalo could not save this choice in your settings. "
                         "It applies until Tarmalo is closed."),
                      plat::vbExclamation, plat::AppTitle());
}
