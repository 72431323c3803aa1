// The workspace kept as the bytes a stack brought, and the turtle the shape code reads.
#include "logo/Logo.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/memory/Handles.h"

namespace {

std::vector<uint8_t> Bytes(Handle h) {
    HandleLock lock(h);
    return lock ? std::vector<uint8_t>(lock.get(), lock.get() + GetHandleSize(h)) : std::vector<uint8_t>{};
}

TEST(LogoWorkspace, SavingGivesBackWhatWasLoadedUntilShutDown) {
    ASSERT_TRUE(InitMemRefs());
    ShutdownLogo();
    EXPECT_EQ(SaveLogoWorkspace(), 0u) << "nothing loaded: nothing to store";

    const std::vector<uint8_t> stored = {0xCC, 0xCF, 0xC7, 0xCF, 0, 1, 0, 0, 'm', 'a', 'k', 'e'};
    LoadLogoWorkspace(nullptr, NewHandleFromBytes(stored));
    for (int save = 0; save < 2; ++save) {
        const Handle copy = SaveLogoWorkspace();
        ASSERT_NE(copy, 0u);
        EXPECT_EQ(Bytes(copy), stored) << "save " << save;
        DisposeHandle(copy);  // each save's copy is the caller's
    }
    // Loading another replaces it; loading nothing erases it.
    const std::vector<uint8_t> other = {1, 2, 3};
    LoadLogoWorkspace(nullptr, NewHandleFromBytes(other));
    Handle copy = SaveLogoWorkspace();
    EXPECT_EQ(Bytes(copy), other);
    DisposeHandle(copy);
    LoadLogoWorkspace(nullptr, 0);
    EXPECT_EQ(SaveLogoWorkspace(), 0u);

    CurrentTurtle().penWidth = 5;
    LoadLogoWorkspace(nullptr, NewHandleFromBytes(other));
    ShutdownLogo();
    EXPECT_EQ(SaveLogoWorkspace(), 0u);
    EXPECT_EQ(CurrentTurtle().penWidth, 1) << "the turtle goes back to its defaults";
    EXPECT_EQ(CurrentTurtle().penColor, 0x000000u);
    EXPECT_EQ(CurrentTurtle().backgroundColor, 0xFFFFFFu);
}

}  // namespace
