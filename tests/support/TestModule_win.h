// The project's test module ("NBAS\testaction.nba" beside the built plug-in) made ready for a
// test in process (TestModule_win.cpp).
#pragma once

#include <cstdint>
#include <string>

// Points the folder table at the build folder, sends the module's call log to a fresh file of
// the temporary folder and adds to a new scratch resource file an "NBAs" record that names the
// module under `id`. Returns the log's path; empty when the build folder or the record could
// not be set up.
std::string UseTestModule(const std::string& logName, uint16_t id);
