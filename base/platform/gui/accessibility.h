#pragma once
// What a screen reader reads of a window, through the desktop's
// accessibility layer (ATK on GTK). Native controls describe themselves;
// these calls add what the toolkit cannot know: the name of a control that
// shows only an icon, the label that names a field, the role of a control
// that is built from parts.
#include <initializer_list>

#include <wx/string.h>
#include <wx/timer.h>

class wxWindow;

namespace platform {

// Gives a window the name a screen reader reads for it. For a list, the
// name goes to the table inside it.
void SetAccessibleName(wxWindow* window, const wxString& name);
// The name a screen reader reads for a window ("" when it has none).
wxString GetAccessibleName(wxWindow* window);
// Names every unnamed control under top (tool bar buttons, say) by its
// tool tip.
void NameByTips(wxWindow* top);
// The longer description a screen reader reads after the name (a combo
// box built from parts tells its current choice this way).
void SetAccessibleDescription(wxWindow* window, const wxString& description);
// Marks a window as a combo box, for a drop-down built from parts.
void SetAccessibleComboRole(wxWindow* window);

// Ties a label to the field it names: the field is read by the label's
// text (mnemonic marks and a trailing colon left out), and the two point
// at each other, as screen readers expect.
void SetLabelFor(wxWindow* label, wxWindow* field);
// Names a group of controls (radio buttons) by its title: each member keeps
// its own text as its name and is described by the title of its group.
void SetGroupLabel(const wxString& title, std::initializer_list<wxWindow*> members);

// From now on every dialog of the program is read as a dialog (the
// toolkit's dialogs are windows of their own to the desktop).
void ReadDialogsAsDialogs();

} // namespace platform

namespace platform {

// Marks a window as the status bar of its frame, the one a screen reader's
// "read status bar" command finds.
void SetAccessibleStatusBarRole(wxWindow* window);

// Marks a window as a notification: a screen reader reads it, once, each
// time it appears.
void SetAccessibleNotificationRole(wxWindow* window);

// Unties a label that the toolkit took for the label of the window created
// after it: the label then names and describes nothing but itself.
void UntieLabel(wxWindow* label);
// Unties every text and group box title under top.
void UntieLabels(wxWindow* top);
// Ties a caption to the text it names ("File" to the file's name), so that
// the pair is read together; the value keeps its own text as its name.
void TieCaption(wxWindow* caption, wxWindow* value);

// Makes a dialog read its content when it opens: the dialog is described by
// the texts given, as a message box is by its message.
void DescribeDialog(wxWindow* dialog, const wxString& content);

// Gives a dialog the keyboard once it is on screen: the window manager is
// asked to make it the active window, as of the person's last key or click,
// and focus is put on the given control (in the dialog), so that a screen
// reader reads the dialog and that control. A window manager left to itself
// may leave a dialog inactive (one that came up while the program's window
// was not active, say), and a screen reader reads nothing of it.
void ActivateWhenShown(wxWindow* dialog, wxWindow* focus);

// Tells a screen reader something that happened, once, in words: a small
// notification under parent, shown anew for each announcement. Nothing is
// drawn.
class Announcer {
public:
    explicit Announcer(wxWindow* parent);
    void Announce(const wxString& text);

private:
    static constexpr int kShownMs = 1500;
    wxWindow* notice_; // a child of parent, which owns it
    wxTimer hide_;
};

} // namespace platform
