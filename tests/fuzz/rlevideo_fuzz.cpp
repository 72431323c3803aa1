// Arbitrary bytes as an image description and 'rle ' samples (FuzzVideo.h).
#include "tests/fuzz/FuzzVideo.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return FuzzVideoSamples(kVideoRle, data, size); }
