// User preferences kept in process-wide flags.
//
// For now only the experienced-user flag that the alerts consult; the preferences file and its
// dialogs will read and write it. Until they do, it holds the value set here (false at start).
#pragma once

bool IsAdvancedUser();
void SetAdvancedUser(bool advanced);
