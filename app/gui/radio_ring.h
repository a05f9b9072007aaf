#pragma once

class QButtonGroup;

namespace tolvane {

// Makes the arrow keys step through the buttons of `group` in the order of their ids and wrap
// at the ends, as in a dialog's radio group: Left and Up go back, Right and Down go on, and the
// button stepped to is checked. Qt's own arrow handling stops at the ends and moves only along
// the buttons' row or column. Add the buttons before calling; the handler lives in `group`.
void WrapArrowKeys(QButtonGroup* group);

}  // namespace tolvane
