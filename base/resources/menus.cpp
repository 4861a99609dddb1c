#include "base/resources/menus.h"

#include "base/resources/ids.h"

#include <iterator>

namespace menus {

namespace {

using enum Kind;

// Indented as the menus nest.
// clang-format off
constexpr MenuItem kMain[] = {
    {Popup, 0, "&File"},
        {Item, ids::kAppExit, "E&xit"},
    {End, 0, nullptr},
    {Popup, 0, "&Edit"},
        {Item, ids::kEditUndo, "&Undo\tCtrl+Z"},
        {Separator, 0, nullptr},
        {Item, ids::kEditCut, "Cu&t\tCtrl+X"},
        {Item, ids::kEditCopy, "&Copy\tCtrl+C"},
        {Item, ids::kEditPaste, "&Paste\tCtrl+V"},
        {Separator, 0, nullptr},
        {Item, ids::kOption, "&Option"},
    {End, 0, nullptr},
    {Popup, 0, "&View"},
        {Check, ids::kViewToolBar, "&Tool Bar"},
        {Check, ids::kViewStatusBar, "&Status Bar"},
        {Separator, 0, nullptr},
        {Item, ids::kProperties, "&Properties"},
    {End, 0, nullptr},
    {Popup, 0, "&Tool"},
        {Item, ids::kRefresh, "&Refresh\tF5"},
        {Popup, 0, "Format"},
            {Item, ids::kFormatInternal, "Format Internal Memory"},
            {Item, ids::kFormatExternal, "Format External Memory"},
            {Separator, 0, nullptr},
            {Item, ids::kFormatAll, "Format All Memory"},
        {End, 0, nullptr},
        {Popup, 0, "Low Level Format"},
            {Item, ids::kLowFormatInternal, "Low Format  Internal Memory"},
            {Item, ids::kLowFormatExternal, "Low Format External Memeory"},
            {Separator, 0, nullptr},
            {Item, ids::kLowFormatAll, "Low Format All Memory"},
        {End, 0, nullptr},
        {Separator, 0, nullptr},
        {Item, ids::kUpgradeApplication, "Upgrade Application Code"},
        {Item, ids::kUpgradeBoot, "Upgrade Boot Code"},
        {Separator, 0, nullptr},
        {Popup, 0, "KD5200 LCD Font"},
            {Item, ids::kDownloadFont, "Download Font"},
            {Item, ids::kEraseFont, "Erase Font"},
            {Item, ids::kUploadFont, "Upload Font"},
            {Item, ids::kViewFontInfo, "View Font Information"},
        {End, 0, nullptr},
        {Popup, 0, "Download Raw Data"},
            {Item, ids::kRawDataInternal, "Download Interal Raw Data"},
            {Item, ids::kRawDataExternal, "Download External Raw Data"},
            {Separator, 0, nullptr},
            {Item, ids::kViewRawData, "View Saved Raw Data File"},
        {End, 0, nullptr},
    {End, 0, nullptr},
    {Popup, 0, "&Help"},
        {Item, ids::kHelp, "Songdock &Help\tF1"},
        {Separator, 0, nullptr},
        {Item, ids::kAppAbout, "About Songdock..."},
    {End, 0, nullptr},
};

constexpr MenuItem kMemoryContext[] = {
    {Popup, 0, "Memory"},
        {Item, ids::kDelete, "Delete"},
        {Item, ids::kMoveUp, "Up"},
        {Item, ids::kMoveDown, "Down"},
        {Separator, 0, nullptr},
        {Item, ids::kRefresh, "Refresh"},
        {Item, ids::kPaneFormat, "Format"},
        {Item, ids::kPaneLowFormat, "Low Level Format"},
        {Item, ids::kRename, "Rename"},
        {Separator, 0, nullptr},
        {Item, ids::kPaneRawData, "Download Raw Data"},
    {End, 0, nullptr},
};

constexpr MenuItem kDesktopContext[] = {
    {Popup, 0, "Desktop"},
        {Item, ids::kDelete, "Delete"},
        {Item, ids::kProperties, "Properties"},
    {End, 0, nullptr},
};
// clang-format on

// Key codes as wxWidgets numbers them (WXK_*), kept here so that this
// library needs no toolkit header.
constexpr int kKeyBack = 8, kKeyReturn = 13, kKeyDelete = 127, kKeyInsert = 322, kKeyF1 = 340, kKeyF2 = 341,
              kKeyF5 = 344, kKeyF6 = 345;

constexpr Accelerator kAccelerators[] = {
    {AccelCtrl, 'C', ids::kEditCopy},      {AccelCtrl, kKeyInsert, ids::kEditCopy},
    {AccelCtrl, 'V', ids::kEditPaste},     {AccelShift, kKeyInsert, ids::kEditPaste},
    {AccelCtrl, 'X', ids::kEditCut},       {AccelShift, kKeyDelete, ids::kEditCut},
    {AccelCtrl, 'Z', ids::kEditUndo},      {AccelAlt, kKeyBack, ids::kEditUndo},
    {AccelNormal, kKeyF2, ids::kRename},   {AccelNormal, kKeyF5, ids::kRefresh},
    {AccelNormal, kKeyF6, ids::kNextPane}, {AccelShift, kKeyF6, ids::kPrevPane},
    {AccelNormal, kKeyF1, ids::kHelp},     {AccelAlt, kKeyReturn, ids::kProperties},
};

} // namespace

std::span<const MenuItem> MainMenu() {
    return kMain;
}
std::span<const MenuItem> MemoryContextMenu() {
    return kMemoryContext;
}
std::span<const MenuItem> DesktopContextMenu() {
    return kDesktopContext;
}

std::span<const MenuItem> ById(int id) {
    switch (id) {
    case ids::kMainMenu:
        return kMain;
    case ids::kMemoryContextMenu:
        return kMemoryContext;
    case ids::kDesktopContextMenu:
        return kDesktopContext;
    default:
        return {};
    }
}

std::span<const Accelerator> MainAccelerators() {
    return kAccelerators;
}

} // namespace menus
