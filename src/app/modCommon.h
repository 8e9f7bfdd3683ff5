#pragma once

class QWidget;

namespace modCommon {

// Selects the whole text of a text box or masked edit box, so that typing
// replaces it; any other control is left alone.
void SelectAllText(QWidget* control);

}  // namespace modCommon
