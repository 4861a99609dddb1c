#pragma once
// HFileTarget: the receiving side of an explorer pane. A source pane sends
// its selection to a target as an HNameList.
#include <optional>
#include <string>

class wxWindow;
class HNameList;

class HFileTarget {
public:
    virtual ~HFileTarget();

    // The window that stands for the target when something is dropped on
    // it: the desktop view's list, or a memory pane's own window.
    virtual wxWindow* GetWindow() const = 0;
    // With transfer set, copies every listed file into the target; with it
    // clear the files are already there and the target only re-lists its
    // contents and selects the listed names. True on success. The target
    // neither keeps nor frees the list's entries.
    virtual bool Receive(HNameList& list, bool transfer) = 0;
    // The folder into which files are put, or none when the target has
    // none now. By default an empty text.
    virtual std::optional<std::string> GetTargetFolder() const;
    // Whether the target can take files now. By default it always can.
    virtual bool CanReceive() const;
};
