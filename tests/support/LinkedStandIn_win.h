// The QuickTime stand-in as the player links it: library operations that hand the binding the
// stand-in compiled into the test program, its window procedures installed, instead of
// "QuickTime.qts". Tests that run the same checks both ways take their ops from here.
#pragma once

#include "quicktime/QuickTime.h"

QtLibraryOps LinkedStandInOps();

// Runs a test body's binding over the library or the linked stand-in, putting the ops back.
class QuickTimeVariant {
public:
    explicit QuickTimeVariant(bool linked);
    ~QuickTimeVariant();
    QuickTimeVariant(const QuickTimeVariant&) = delete;
    QuickTimeVariant& operator=(const QuickTimeVariant&) = delete;

private:
    QtLibraryOps saved_;
};
