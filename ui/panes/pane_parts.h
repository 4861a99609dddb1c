#pragma once
// Both transfer interfaces name their window GetWindow, but a pane may stand
// for different windows in the two roles (a memory pane sends from its list
// and receives on its whole window). One C++ function would override both;
// these two bases give each role a name of its own, so that a pane deriving
// from both overrides GetSourceWindow and GetTargetWindow instead.
#include "ui/panes/file_source.h"
#include "ui/panes/file_target.h"

class HFileSourcePart : public HFileSource {
public:
    wxWindow* GetWindow() const final { return GetSourceWindow(); }
    // The list window the pane sends from.
    virtual wxWindow* GetSourceWindow() const = 0;
};

class HFileTargetPart : public HFileTarget {
public:
    wxWindow* GetWindow() const final { return GetTargetWindow(); }
    // The window that stands for the pane when something is dropped on it.
    virtual wxWindow* GetTargetWindow() const = 0;
};
