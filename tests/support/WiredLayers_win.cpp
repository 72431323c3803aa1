// Every Windows test program starts wired as the plug-in does: the layers' procedures are in
// place before the first test, as after the browser initialises the plug-in.
#include <gtest/gtest.h>

#include "host/wiring/LayerWiring.h"

namespace {

class WiredLayers : public ::testing::Environment {
public:
    void SetUp() override { WireLayers(); }
};

[[maybe_unused]] ::testing::Environment* const g_wiredLayers = ::testing::AddGlobalTestEnvironment(new WiredLayers);

}  // namespace
