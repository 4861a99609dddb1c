#include "views/maint/raw_data_command.h"

#include "views/maint/progress_scope.h"
#include "lib/maint/raw_data.h"
#include "base/resources/ids.h"

int DownloadRawData(wxWindow* parent, int memory) {
    const int command = memory == 1 ? ids::kRawDataExternal : ids::kRawDataInternal;
    return maint::DownloadRawData(parent, memory,
                                  maint::ProgressDialogs(parent, maint::CommandText(command)));
}
