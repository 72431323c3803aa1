// The QuickTime stand-in as the player links it: library operations that hand the binding the
// stand-in compiled into the test program, its window procedures installed, instead of
// "QuickTime.qts". Tests that run the same checks both ways take their ops from here.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
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

// Movies over the library (parameter false) or the linked stand-in (true) on the test clock:
// bound and entered before each test, left and released after it.
class StandInMoviesTest : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        SetEnvironmentVariableA("LOOM_QUICKTIME_CLOCK", "test");
        variant_.emplace(GetParam());
        ASSERT_EQ(QTBind(0), kQtNoErr);
        ASSERT_EQ(EnterMovies(), kQtNoErr);
    }
    void TearDown() override {
        ExitMovies();
        QTRelease();
        variant_.reset();
        SetEnvironmentVariableA("LOOM_QUICKTIME_CLOCK", nullptr);
    }
    std::optional<QuickTimeVariant> variant_;
};

// A movie file opened through the binding (file spec, OpenMovieFile, NewMovieFromFile, active);
// null when any step fails.
QtMovie OpenMovieAtPath(const std::string& path);
