#pragma once
// Raw data download for the windows: the main window's commands and the
// memory pane's "Download Raw Data" call this.
class wxWindow;

// Reads the configured block range of memory 0 or 1 into the configured file
// with a progress dialog, then opens the viewer; memory -1 only opens the
// viewer on the saved file. parent owns the messages. Returns the result
// code of maint::DownloadRawData.
int DownloadRawData(wxWindow* parent, int memory);
