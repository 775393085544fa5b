// Which buttons and setting edits are on in each control set.
#pragma once

#include "app/cycle.h"
#include "util/window.h"

struct ControlRow {
    WindowHandle* control;
    bool on[4];  // by Controls: Default, AllOff, Start, Edit
};

// The seventeen controls a set writes, in the order they are written.
extern const ControlRow kControlRows[17];
