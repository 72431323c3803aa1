// MINIMAL launching (see LaunchPrograms.h).
#include "host/LaunchPrograms.h"

void FreeLaunchDialogData() {}
