// A file written whole beside the one it replaces, then put in its place in one step.
#include "core/files/FileReplacement.h"

#include <cstdio>

namespace {

constexpr char kNewFileName[] = "LMTMP000.TMP";
constexpr size_t kNameDigits = 5;  // the three digits start here

}  // namespace

std::string ReplacementName(std::string_view targetPath, int n) {
    std::string name = kNewFileName;
    char digits[4];
    std::snprintf(digits, sizeof digits, "%03d", n % kReplacementNames);
    name.replace(kNameDigits, 3, digits);
    return FolderOfPath(targetPath) + name;
}

int RemoveStaleReplacementFiles(std::string_view targetPath) {
    int removed = 0;
    for (int n = 0; n < kReplacementNames; ++n) {
        const std::string name = ReplacementName(targetPath, n);
        if (!FileExists(name.c_str()))
            continue;
        // One held open (a replacement still under way) stays: the removal refuses it.
        DeleteFilePath(name.c_str());
        if (!FileExists(name.c_str()))
            ++removed;
    }
    return removed;
}

FileReplacement::FileReplacement(std::string_view target) : target_(target) {
    failure_ = ReplaceFailure::NotCreated;
    if (target_.empty())
        return;
    for (int n = 0; n < kReplacementNames; ++n) {
        std::string candidate = ReplacementName(target_, n);
        file_ = CreateNewFile(candidate.c_str());
        if (file_ != kNoFile) {
            newPath_ = std::move(candidate);
            failure_ = ReplaceFailure::None;
            return;
        }
        // A name taken goes on to the next; any other refusal is the folder's.
        if (!FileExists(candidate.c_str()))
            return;
    }
}

FileReplacement::~FileReplacement() {
    if (!placed_)
        Discard();
}

void FileReplacement::WriteFailed() {
    if (failure_ == ReplaceFailure::None)
        failure_ = ReplaceFailure::Written;
}

void FileReplacement::Discard() {
    FileClose(file_);
    file_ = kNoFile;
    if (!newPath_.empty())
        DeleteFilePath(newPath_.c_str());
    newPath_.clear();
}

int FileReplacement::Commit() {
    if (failure_ == ReplaceFailure::None && FileFlush(file_) != kFileOk)
        failure_ = ReplaceFailure::Written;
    if (failure_ == ReplaceFailure::None && ReplaceFilePath(newPath_.c_str(), target_.c_str()) != kFileOk)
        failure_ = ReplaceFailure::Refused;
    if (failure_ != ReplaceFailure::None) {
        Discard();
        return kFileFailed;
    }
    FileClose(file_);
    file_ = kNoFile;
    placed_ = true;
    return kFileOk;
}

ReplaceFailure WriteWholeFile(std::string_view path, std::span<const uint8_t> bytes) {
    FileReplacement replacement(path);
    if (replacement.failure() != ReplaceFailure::None)
        return replacement.failure();
    // In pieces a 16-bit count of the system's also takes.
    constexpr size_t kPiece = 32767;
    for (size_t at = 0; at < bytes.size(); at += kPiece) {
        auto n = static_cast<int32_t>(bytes.size() - at < kPiece ? bytes.size() - at : kPiece);
        if (FileWrite(replacement.file(), &n, bytes.data() + at) != kFileOk) {
            replacement.WriteFailed();
            break;
        }
    }
    replacement.Commit();
    return replacement.failure();
}
