#include "app/modCommon.h"

#include "app/EntryFields.h"

namespace modCommon {

void SelectAllText(QWidget* control)
{
    if (auto* masked = qobject_cast<MaskEdBox*>(control)) {
        masked->setSelection(0, static_cast<int>(masked->Text().size()));
        return;
    }
    if (auto* box = qobject_cast<TextBox*>(control)) {
        box->setSelection(0, static_cast<int>(box->Text().size()));
        return;
    }
}

}  // namespace modCommon
