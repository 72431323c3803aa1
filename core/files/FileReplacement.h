// A file written whole beside the one it replaces, then put in its place in one step: until that
// step the old file is as it was, and any failure leaves it so. Saving a stack and every export
// (pictures, texts, sounds) write through it.
//
// The new file takes the first free name "LMTMP000.TMP" .. "LMTMP999.TMP" in the target's
// folder: short, so that a target near the path limit still has room beside it. It is created
// exclusively (a file of that name is never cut or replaced) and stays open until it has taken
// the target's place, so that no other save's clean-up removes it meanwhile.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "core/files/FileLayer.h"

// Why a replacement failed; the old file is as it was in every case.
enum class ReplaceFailure : int {
    None = 0,
    NotCreated,  // the folder takes no new file (refused, a path too long, every name taken)
    Written,     // a write or the flush of the new file failed (a full disk)
    Refused,     // the old file would not give way (held by another program, read-only)
};

inline constexpr int kReplacementNames = 1000;

class FileReplacement {
public:
    // Creates the new file in the folder of `target`; failure() tells when it could not.
    explicit FileReplacement(std::string_view target);
    // Not put in place: the new file is closed and removed.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    FileRef file() const { return file_; }              // kNoFile when not created
    const std::string& newPath() const { return newPath_; }  // for writers that work by path
    const std::string& target() const { return target_; }
    ReplaceFailure failure() const { return failure_; }
    // A write of the caller's failed: the commit will not happen.
    void WriteFailed();
    // Flushes the new file, puts it in the target's place and closes it. kFileOk, else
    // kFileFailed with failure() telling which step failed (the new file is removed).
    int Commit();

private:
    void Discard();

    std::string target_;
    std::string newPath_;
    FileRef file_ = kNoFile;
    bool placed_ = false;
    ReplaceFailure failure_ = ReplaceFailure::None;
};

// The n-th new-file name (0..999) in the folder of `targetPath`.
std::string ReplacementName(std::string_view targetPath, int n);
// Removes the new files that replacements cut short (the process ended) left in the folder of
// `targetPath`: only names of the pattern above, and only those no process holds open (one
// still being written stays, whichever process writes it). The count removed.
int RemoveStaleReplacementFiles(std::string_view targetPath);

// The bytes written as a new file put in the place of `path`: ReplaceFailure::None when done.
ReplaceFailure WriteWholeFile(std::string_view path, std::span<const uint8_t> bytes);
