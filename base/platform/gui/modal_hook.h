#pragma once
// Counts the toolkit's own modal dialogs (ShowModal of any dialog, message
// and file dialogs included) among the open questions of OpenModalCount, for
// as long as an object of this class lives.
#include <memory>
#include <vector>

#include <wx/modalhook.h>

#include "base/platform/modal_depth.h"

namespace platform {

class ModalDialogCounter : public wxModalDialogHook {
public:
    ModalDialogCounter() { Register(); }
    ~ModalDialogCounter() override { Unregister(); }

protected:
    int Enter(wxDialog*) override {
        open_.push_back(std::make_unique<ModalScope>());
        return wxID_NONE; // the dialog is shown as usual
    }
    void Exit(wxDialog*) override {
        if (!open_.empty()) open_.pop_back();
    }

private:
    std::vector<std::unique_ptr<ModalScope>> open_;
};

} // namespace platform
