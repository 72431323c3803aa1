// What the stack reader saw in a file, as JSON (StackDescribe.cpp, where the layout is
// documented): for the stack report tool, the stack information dialogs and the tests.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "format/StackReader.h"

// `file` is the bytes that were read, `cv` the conversion as the read left it.
std::string DescribeStackJson(std::span<const uint8_t> file, const StackReadResult& result,
                              const StackFileContents& contents, const StackConversion& cv);
// Reads the bytes and describes them.
std::string DescribeStackJson(std::span<const uint8_t> file, const StackConversion& settings);
