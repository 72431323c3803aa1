// Shared pieces of the saving tests: stacks opened from the memory file system into the card
// list with their resources, and upcalls that record what saving showed.
#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "CardTestUtil.h"
#include "core/files/FileLayerMemory.h"
#include "core/files/FileSlots.h"
#include "core/ui/ScreenDepth.h"
#include "stack/StackUpcalls.h"
#include "stack/depth/StackDepth.h"
#include "format/ResFile.h"
#include "stack/open/NewStack.h"
#include "stack/save/ResourceUpkeep.h"
#include "stack/save/SaveStack.h"
#include "tests/support/MemoryFiles.h"

namespace savetest {

using namespace cardtest;

struct SaveRecorder {
    std::vector<uint32_t> alerts;
    std::vector<int32_t> errors;
    uint32_t freeBytes = 0xFFFFFFFFu;
    int display = 8;
    std::vector<std::string> replaced;  // the `from` of each replacement
    std::vector<std::string> named;     // the file each naming alert named
};
inline SaveRecorder& SaveRec() {
    static SaveRecorder recorder;
    return recorder;
}

// The memory file system with its replacements recorded.
inline const FileSystemOps& RecordingFileSystem() {
    static FileSystemOps ops = [] {
        FileSystemOps o = MemoryFileSystemOps();
        o.replace = [](const char* from, const char* to) {
            SaveRec().replaced.push_back(from);
            return MemoryFileSystemOps().replace(from, to);
        };
        return o;
    }();
    return ops;
}

class SaveSessionTest : public CardSessionTest {
protected:
    void SetUp() override {
        CardSessionTest::SetUp();
        SaveRec() = SaveRecorder{};
        files_.emplace();
        SetFileSystem(&RecordingFileSystem());
        ASSERT_TRUE(InitFolderTableAt("C:\\Loom\\nploom.dll", nullptr));
        savedUpcalls_ = GetStackUpcalls();
        savedUi_ = GetUiOps();
        savedPlatform_ = GetStackPlatformOps();
        // Saving's own upcalls and platform as a fresh program has them, the card list's still
        // recording.
        StackUpcalls n = savedUpcalls_;
        InstalledEvent() = n.stackEvent;
        n.stackEvent = [](StackEvent event) {
            if (event != StackEvent::StoringCardEdits && event != StackEvent::StoringFontTable)
                InstalledEvent()(event);
        };
        StackPlatformOps platform = savedPlatform_;
        platform.readSavePreference = DefaultStackPlatformOps().readSavePreference;
        platform.freeSpace = [](const char*, uint32_t* bytes) {
            *bytes = SaveRec().freeBytes;
            return true;
        };
        platform.displayBitsPerPixel = [] { return SaveRec().display; };
        // The alerts of saving and of the depth rule are recorded here (the depth question is
        // answered with its first button); the card list's go to its recorder.
        UiOps ui = savedUi_;
        ui.showErrorMessage = [](int32_t code) { SaveRec().errors.push_back(code); };
        ui.showAlertNaming = [](uint32_t id, const char* name) {
            SaveRec().alerts.push_back(id);
            SaveRec().named.push_back(name);
            return 0;
        };
        CardAlert() = ui.showAlert;
        ui.showAlert = [](uint32_t id) {
            switch (id) {
            case kAlertReduceColors: SaveRec().alerts.push_back(id); return 1;
            case kAlertDiskFull:
            case kAlertDiskLocked: SaveRec().alerts.push_back(id); return 0;
            case kAlertNewStackCreated: return 0;
            default: return CardAlert()(id);
            }
        };
        SetStackUpcalls(n);
        SetUiOps(ui);
        SetStackPlatformOps(platform);
        screenDepth_ = GetScreenDepth();
    }
    void TearDown() override {
        CloseStack();
        SetStackHeaderHandle(0);
        SetStackUpcalls(savedUpcalls_);
        SetUiOps(savedUi_);
        SetStackPlatformOps(savedPlatform_);
        SetScreenDepth(screenDepth_);
        FreeFolderTable();
        files_.reset();
        CardSessionTest::TearDown();
    }

    // Puts the bytes at path (in the memory file system, unless `onDisk`) and opens them as the
    // current stack, as the plug-in does.
    void Open(const std::string& path, const std::vector<uint8_t>& bytes, bool onDisk = false) {
        if (!onDisk)
            PutMemoryFile(path, bytes);
        SetFileSpecFromPath(kSlotCurrentStack, path.c_str());
        SpanByteSource source(bytes);
        StackConversion cv;
        StackFileContents contents;
        const StackReadResult read = ReadStackFile(source, cv, contents);
        ASSERT_TRUE(read.ok()) << read.reason;
        for (size_t i = 0; i < contents.cards.size(); ++i) {
            ASSERT_EQ(AddCardRecord(contents.cards[i], static_cast<int>(i)), 0);
            contents.cards[i] = 0;
        }
        {
            HandleLock lock(contents.resFile);
            auto* rf = reinterpret_cast<ResFile*>(lock.get());
            std::memcpy(&rf->spec, GetFileSpec(kSlotCurrentStack), sizeof rf->spec);
        }
        SetStackResFile(LinkResFile(contents.resFile));
        contents.resFile = 0;
        SetStackHeaderHandle(contents.header);
        contents.header = 0;
        DisposeStackFileContents(contents);
        SetCurrentCardId(GetCardId(GetCardByIndex(1)));
        ApplyLoadedStackSettings();
        Rec().alerts.clear();
    }

    static void CloseStack() {
        CloseAllResFiles();
        SetStackResFile(0);
        DisposeCards();
    }

    std::optional<MemoryFileSystemInUse> files_;
    using AlertProc = int (*)(uint32_t);
    static AlertProc& CardAlert() {
        static AlertProc alert = nullptr;
        return alert;
    }
    // The stack events as installed, for those saving does not take over.
    using EventProc = void (*)(StackEvent);
    static EventProc& InstalledEvent() {
        static EventProc installed = nullptr;
        return installed;
    }

    StackUpcalls savedUpcalls_{};
    UiOps savedUi_{};
    StackPlatformOps savedPlatform_{};
    int screenDepth_ = 0;
};

}  // namespace savetest
