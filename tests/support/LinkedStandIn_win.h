// The QuickTime stand-in as the player links it: library operations that hand the binding the
// stand-in compiled into the test program, its window procedures installed, instead of
// "QuickTime.qts". Tests that run the same checks both ways take their ops from here.
#pragma once

#include <string>

#include "quicktime/QtCalls.h"
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

// A movie file opened through the binding (file spec, OpenMovieFile, NewMovieFromFile, active);
// null when any step fails.
QtMovie OpenMovieAtPath(const std::string& path);
