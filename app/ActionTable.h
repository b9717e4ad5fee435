#pragma once
// The action list of the main window as data: one row per action, with its caption, its
// handler and the rule of when it is offered.

#include <vector>

#include "app/CommandStates.h"
#include "app/MainControls.h"

class QAction;

namespace tavrin {

class TfrmMain;

enum class CheckKind {
    None,           // not checkable
    Checked,        // checkable, starts checked; the handler flips the mark itself
    AutoUnchecked,  // executing flips the mark before the handler runs; starts unchecked
    AutoChecked,    // the same, starts checked
};

enum class RadioGroup { None, Position, Speed };

struct ActionRow {
    const char* name;
    const char* category;
    const char* caption;   // "" = none
    const char* hint;      // "" = none; statusTip and toolTip
    const char* shortcut;  // portable key sequence text, "" = none
    int icon;              // index into imgListIcon, -1 = none
    CheckKind check;
    RadioGroup group;
    int tag;                         // initial Tag (the speed actions hold their interval)
    QAction* MainControls::*member;  // where the window keeps the action
    void (TfrmMain::*handler)();     // nullptr: no handler (always disabled, items hidden)
    StateRule state;                 // nullptr: always enabled
};

const std::vector<ActionRow>& actionTable();

}  // namespace tavrin
