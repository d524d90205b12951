// Works dialogs the way a user does: types into controls, clicks buttons, presses keys and
// picks list entries, all by control id, through the widgets themselves. Modal dialogs are
// worked from a script of steps, one step per dialog as it comes up.
#pragma once

#include <deque>
#include <functional>
#include <string>

#include "platform/gui/dialog/CDialog.h"

namespace testing_support {

// Types UTF-8 text key by key into an edit (or a combo box's edit field), after what is there.
void TypeInto(CDialog* dlg, int id, const char* utf8);
// Selects everything in the edit first, so that the typed text replaces it.
void Retype(CDialog* dlg, int id, const char* utf8);
void Click(CDialog* dlg, int id);
// The arrows of an up-down control.
void ClickArrow(CDialog* dlg, int id, bool up);
// A key pressed where the focus is in the dialog (Qt key code).
void PressKey(CDialog* dlg, int qtKey);
// A key pressed with modifiers (Qt::KeyboardModifiers as an int) on the control, as a user
// holds them: modifier keys down first, the key, then everything up.
void PressChord(CDialog* dlg, int id, int qtKey, int qtModifiers);
// Ticks or unticks the check box of a check list box's line, as a click on it does: the line is
// selected first.
void ToggleCheck(CDialog* dlg, int id, int row);
// Picks row in a list box or in the list of a combo box, with a click or a double click.
void PickRow(CDialog* dlg, int id, int row, bool doubleClick = false);
// The id of the control with the focus in the dialog's window, or -1.
int FocusedId(CDialog* dlg);
// The text a control shows (UTF-8).
std::string Shown(CDialog* dlg, int id);
bool IsShown(CDialog* dlg, int id);

// Installs itself as the dialog hook while it lives. Each modal dialog that comes up runs the
// next step; a step must end its dialog. A dialog with no step left, or still open after its
// step, fails the test and is cancelled, so that no test waits forever.
class DialogScript {
public:
    using Step = std::function<void(CDialog*)>;
    DialogScript();
    ~DialogScript();
    DialogScript& Then(Step step);
    int Shown() const { return m_shown; }

private:
    std::deque<Step> m_steps;
    int m_shown = 0;
    AfxDialogHook m_previous;
};

}  // namespace testing_support
