#include "maint/gui/raw_data_command.h"

#include "maint/gui/progress_scope.h"
#include "maint/raw_data.h"
#include "resources/ids.h"

int DownloadRawData(wxWindow* parent, int memory) {
    const int command = memory == 1 ? ids::kRawDataExternal : ids::kRawDataInternal;
    return maint::DownloadRawData(parent, memory,
                                  maint::ProgressDialogs(parent, maint::CommandText(command)));
}
