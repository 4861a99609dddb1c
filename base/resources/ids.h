#pragma once
// Numeric identifiers of commands, controls, strings and images. Commands and
// controls keep the numbers of the original resources, so that event tables,
// menus and tests agree on them. The toolkit takes window and menu item ids
// below 32767 only: commands above that are never window ids, and their menu
// items carry stand-in ids (controls/menu_builder.h).

namespace ids {

// Framework commands.
constexpr int kAppExit = 57665;
constexpr int kAppAbout = 57664;
constexpr int kEditUndo = 57643;
constexpr int kEditCut = 57635;
constexpr int kEditCopy = 57634;
constexpr int kEditPaste = 57637;
constexpr int kNextPane = 57680;
constexpr int kPrevPane = 57681;
constexpr int kViewToolBar = 59392;
constexpr int kViewStatusBar = 59393;
constexpr int kIndicatorCaps = 59137;
constexpr int kIndicatorNum = 59138;
constexpr int kIndicatorScroll = 59139;

// Songdock commands.
constexpr int kHelp = 32771;
constexpr int kPaneFormat = 32773;
constexpr int kProperties = 32779;
constexpr int kFormatInternal = 32781;
constexpr int kFormatExternal = 32782;
constexpr int kFormatAll = 32783;
constexpr int kDelete = 32784;
constexpr int kUpgradeApplication = 32785;
constexpr int kMoveUp = 32786;
constexpr int kMoveDown = 32787;
constexpr int kRefresh = 32788;
constexpr int kOption = 32789;
constexpr int kUpgradeBoot = 32791;
constexpr int kRename = 32792;
constexpr int kDownloadFont = 32793;
constexpr int kPaneLowFormat = 32794;
constexpr int kLowFormatInternal = 32795;
constexpr int kLowFormatExternal = 32796;
constexpr int kLowFormatAll = 32797;
constexpr int kViewFontInfo = 32798;
constexpr int kUploadFont = 32799;
constexpr int kEraseFont = 32800;
constexpr int kRawDataInternal = 32802;
constexpr int kRawDataExternal = 32803;
constexpr int kViewRawData = 32804;
constexpr int kPaneRawData = 32805;

// Transfer buttons and controls.
constexpr int kDownloadToInternal = 143;
constexpr int kUploadFromInternal = 144;
constexpr int kDownloadToExternal = 146;
constexpr int kUploadFromExternal = 147;
constexpr int kFolderCombo = 140;
constexpr int kDesktopList = 141;
constexpr int kUpButton = 142;
constexpr int kMemoryList = 145;
constexpr int kFilterCombo = 150;

// Status bar pane that shows the firmware version.
constexpr int kFirmwarePane = 3200;

// Menus, images and dialogs.
constexpr int kMainMenu = 128;
constexpr int kMemoryContextMenu = 135;
constexpr int kDesktopContextMenu = 137;
constexpr int kAppIcon = 128;
constexpr int kTreeBitmap = 130;
constexpr int kUpIcon = 131;
constexpr int kUploadIcon = 132;
constexpr int kDownloadIcon = 133;
constexpr int kAboutDialog = 151;
constexpr int kFontInfoDialog = 149;
constexpr int kConfigDialog = 140;
constexpr int kPropertiesDialog = 138;

// Configuration page icons, in page order.
constexpr int kPageIcons[5] = {142, 145, 148, 154, 151};
// Configuration page dialogs, in page order.
constexpr int kPageDialogs[5] = {141, 152, 147, 154, 153};

// Controls of the dialogs.
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
// Properties dialog 138.
constexpr int kSizeInfo = 1000;
constexpr int kVersionInfo = 1001;
// Configuration dialog 140.
constexpr int kConfigTree = 1001;
constexpr int kConfigPlaceholder = 1003;
constexpr int kConfigPageGroup = 1004;
// Configuration pages.
constexpr int kReceiveTimeoutEdit = 1002;
constexpr int kSendTimeoutEdit = 1003;
constexpr int kFormatTimeoutEdit = 1004;
constexpr int kRomMdsRadio = 1018;
constexpr int kRomStandAloneRadio = 1019;
constexpr int kConvertRadio = 1021;
constexpr int kBinaryRadio = 1022;
constexpr int kRawFileEdit = 1024;
constexpr int kRawViewerEdit = 1026;
constexpr int kRawAddrEdit = 1027;
constexpr int kRawFileBrowse = 1028;
constexpr int kRawViewerBrowse = 1029;
constexpr int kRawCountEdit = 1031;
constexpr int kVerifyCopiesCheck = 1032;
constexpr int kPlayerCodePageChoice = 1033;
// Font information dialog 149.
constexpr int kFontSizeEdit = 1023;
constexpr int kFontFileNameEdit = 1024;

// Private message of the folder drop-down: a node was chosen.
constexpr int kFolderSelectedMessage = 0x0400 + 102;

} // namespace ids
