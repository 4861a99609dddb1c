#include "base/resources/menus.h"

#include "base/resources/ids.h"
#include "base/resources/strings.h"

#include <iterator>

namespace menus {

namespace {

using enum Kind;

// Indented as the menus nest.
// clang-format off
constexpr MenuItem kMain[] = {
    {Popup, 0, SD_TEXT("&File")},
        {Item, ids::kAppExit, SD_TEXT("E&xit")},
    {End, 0, nullptr},
    {Popup, 0, SD_TEXT("&Edit")},
        {Item, ids::kEditUndo, SD_TEXT("&Undo\tCtrl+Z")},
        {Separator, 0, nullptr},
        {Item, ids::kEditCut, SD_TEXT("Cu&t\tCtrl+X")},
        {Item, ids::kEditCopy, SD_TEXT("&Copy\tCtrl+C")},
        {Item, ids::kEditPaste, SD_TEXT("&Paste\tCtrl+V")},
        {Separator, 0, nullptr},
        {Item, ids::kOption, SD_TEXT("&Option")},
    {End, 0, nullptr},
    {Popup, 0, SD_TEXT("&View")},
        {Check, ids::kViewToolBar, SD_TEXT("&Tool Bar")},
        {Check, ids::kViewStatusBar, SD_TEXT("&Status Bar")},
        {Separator, 0, nullptr},
        {Item, ids::kProperties, SD_TEXT("&Properties")},
    {End, 0, nullptr},
    {Popup, 0, SD_TEXT("&Tool")},
        {Item, ids::kRefresh, SD_TEXT("&Refresh\tF5")},
        {Popup, 0, SD_TEXT("Format")},
            {Item, ids::kFormatInternal, SD_TEXT("Format Internal Memory")},
            {Item, ids::kFormatExternal, SD_TEXT("Format External Memory")},
            {Separator, 0, nullptr},
            {Item, ids::kFormatAll, SD_TEXT("Format All Memory")},
        {End, 0, nullptr},
        {Popup, 0, SD_TEXT("Low Level Format")},
            {Item, ids::kLowFormatInternal, SD_TEXT("Low Format  Internal Memory")},
            {Item, ids::kLowFormatExternal, SD_TEXT("Low Format External Memeory")},
            {Separator, 0, nullptr},
            {Item, ids::kLowFormatAll, SD_TEXT("Low Format All Memory")},
        {End, 0, nullptr},
        {Separator, 0, nullptr},
        {Item, ids::kUpgradeApplication, SD_TEXT("Upgrade Application Code")},
        {Item, ids::kUpgradeBoot, SD_TEXT("Upgrade Boot Code")},
        {Separator, 0, nullptr},
        {Popup, 0, SD_TEXT("KD5200 LCD Font")},
            {Item, ids::kDownloadFont, SD_TEXT("Download Font")},
            {Item, ids::kEraseFont, SD_TEXT("Erase Font")},
            {Item, ids::kUploadFont, SD_TEXT("Upload Font")},
            {Item, ids::kViewFontInfo, SD_TEXT("View Font Information")},
        {End, 0, nullptr},
        {Popup, 0, SD_TEXT("Download Raw Data")},
            {Item, ids::kRawDataInternal, SD_TEXT("Download Interal Raw Data")},
            {Item, ids::kRawDataExternal, SD_TEXT("Download External Raw Data")},
            {Separator, 0, nullptr},
            {Item, ids::kViewRawData, SD_TEXT("View Saved Raw Data File")},
        {End, 0, nullptr},
    {End, 0, nullptr},
    {Popup, 0, SD_TEXT("&Help")},
        {Item, ids::kHelp, SD_TEXT("Songdock &Help\tF1")},
        {Separator, 0, nullptr},
        {Item, ids::kAppAbout, SD_TEXT("About Songdock...")},
    {End, 0, nullptr},
};

constexpr MenuItem kMemoryContext[] = {
    {Popup, 0, SD_TEXT("Memory")},
        {Item, ids::kDelete, SD_TEXT("Delete")},
        {Item, ids::kMoveUp, SD_TEXT("Up")},
        {Item, ids::kMoveDown, SD_TEXT("Down")},
        {Separator, 0, nullptr},
        {Item, ids::kRefresh, SD_TEXT("Refresh")},
        {Item, ids::kPaneFormat, SD_TEXT("Format")},
        {Item, ids::kPaneLowFormat, SD_TEXT("Low Level Format")},
        {Item, ids::kRename, SD_TEXT("Rename")},
        {Separator, 0, nullptr},
        {Item, ids::kPaneRawData, SD_TEXT("Download Raw Data")},
    {End, 0, nullptr},
};

constexpr MenuItem kDesktopContext[] = {
    {Popup, 0, SD_TEXT("Desktop")},
        {Item, ids::kDelete, SD_TEXT("Delete")},
        {Item, ids::kProperties, SD_TEXT("Properties")},
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
