// Arbitrary bytes as an image description and 'raw ' samples (FuzzVideo.h).
#include "tests/fuzz/FuzzVideo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FuzzVideoSamples(kVideoRaw, data, size); }
