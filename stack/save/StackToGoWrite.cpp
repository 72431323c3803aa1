// Writing the package: launcher, library and player records, the three groups, the trailer, and
// the player's length patched last so that its data runs to the end of the file. Every write
// and the read-back are checked; a package that was not written whole is deleted.
#include <cstdio>
#include <cstring>
#include <memory>

#include "stack/save/StackToGo.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void PutLE32(std::vector<uint8_t>& out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        out[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

bool FileExists(const std::string& path) {
    File f(std::fopen(path.c_str(), "rb"));
    return f != nullptr;
}

struct Writer {
    std::FILE* out;
    uint32_t offset = 0;
    bool failed = false;

    void Put(const void* data, size_t size) {
        if (failed || size == 0)
            return;
        if (std::fwrite(data, 1, size, out) != size || offset > UINT32_MAX - size)
            failed = true;
        else
            offset += static_cast<uint32_t>(size);
    }

    // One record; false when the source is missing or empty (nothing written). A source that
    // ends early fails the package rather than leaving a record shorter than its length.
    bool Record(const std::string& path, const std::string& source) {
        File in(std::fopen((source.empty() ? path : source).c_str(), "rb"));
        if (!in || std::fseek(in.get(), 0, SEEK_END) != 0)
            return false;
        const long size = std::ftell(in.get());
        if (size <= 0 || std::fseek(in.get(), 0, SEEK_SET) != 0)
            return false;
        const std::vector<uint8_t> header = StackToGoRecord(PathFileName(path), static_cast<uint32_t>(size));
        Put(header.data(), header.size());
        std::vector<uint8_t> buffer(65536);
        long left = size;
        while (left > 0 && !failed) {
            const size_t want = left < static_cast<long>(buffer.size()) ? static_cast<size_t>(left) : buffer.size();
            if (std::fread(buffer.data(), 1, want, in.get()) != want) {
                failed = true;
                break;
            }
            Put(buffer.data(), want);
            left -= static_cast<long>(want);
        }
        return true;
    }
};

bool NamesPackedFile(const StackToGoPlan& plan) {
    if (SamePathText(plan.packagePath, plan.libraryPath) || SamePathText(plan.packagePath, plan.playerPath))
        return true;
    for (int g = 0; g < 3; ++g) {
        for (const std::string& path : plan.groups[g])
            if (SamePathText(plan.packagePath, path))
                return true;
        for (const std::string& source : plan.sources[g])
            if (SamePathText(plan.packagePath, source))
                return true;
    }
    for (const std::string& path : plan.listed)
        if (SamePathText(plan.packagePath, path))
            return true;
    return false;
}

}  // namespace

std::vector<uint8_t> StackToGoRecord(std::string_view name, uint32_t length) {
    std::vector<uint8_t> header(kToGoHeaderBytes, 0);
    const size_t n = name.size() < kToGoNameBytes ? name.size() : kToGoNameBytes - 1;
    std::memcpy(header.data(), name.data(), n);
    PutLE32(header, kToGoNameBytes, length);
    return header;
}

std::vector<uint8_t> StackToGoTrailerBytes(const StackToGoTrailer& t) {
    std::vector<uint8_t> out(kToGoTrailerBytes, 0);
    PutLE32(out, 0, t.playerOffset);
    PutLE32(out, 4, t.libraryOffset);
    PutLE32(out, 8, 0);
    for (int g = 0; g < 3; ++g) {
        PutLE32(out, 12 + 8 * g, t.counts[g]);
        PutLE32(out, 16 + 8 * g, t.starts[g]);
    }
    std::memcpy(out.data() + 36, kToGoMark, sizeof kToGoMark);
    return out;
}

void PlanGroups(const StackToGoList& list, StackToGoPlan& plan) {
    for (int g = 0; g < 3; ++g) {
        plan.groups[g].clear();
        plan.sources[g].clear();
    }
    for (const StackToGoItem& item : list.items) {
        if (item.nameTooLong)
            continue;
        int group = -1;
        if (item.parent < 0) {
            if (item.state == kToGoChecked || item.state == kToGoPartly)
                group = 0;
        } else if (item.state == kToGoChecked) {
            group = IsModulePath(item.path) ? 2 : 1;
        }
        if (group >= 0) {
            plan.groups[group].push_back(item.path);
            plan.sources[group].push_back(item.source);
        }
    }
}

StackToGoResult WriteStackToGo(const StackToGoPlan& plan, StackToGoTrailer* written) {
    if (NamesPackedFile(plan))
        return kToGoPackagePacked;
    File file(std::fopen(plan.packagePath.c_str(), "w+b"));
    if (!file)
        return kToGoCannotCreate;
    auto fail = [&](StackToGoResult result) {
        file.reset();
        std::remove(plan.packagePath.c_str());
        return result;
    };
    Writer w{file.get()};
    w.Put(plan.launcher.data(), plan.launcher.size());
    StackToGoTrailer t;
    if (!FileExists(plan.libraryPath))
        return fail(kToGoNoLibrary);
    t.libraryOffset = w.offset;
    if (!w.Record(plan.libraryPath, {}))
        return fail(kToGoWriteFailed);
    if (!FileExists(plan.playerPath))
        return fail(kToGoNoPlayer);
    t.playerOffset = w.offset;
    if (!w.Record(plan.playerPath, {}))
        return fail(kToGoWriteFailed);
    const uint32_t dataStart = t.playerOffset + kToGoHeaderBytes;
    for (int g = 0; g < 3; ++g) {
        t.starts[g] = w.offset - dataStart;
        for (size_t i = 0; i < plan.groups[g].size(); ++i) {
            const std::string& path = plan.groups[g][i];
            if (RecordNameFits(path) && w.Record(path, i < plan.sources[g].size() ? plan.sources[g][i] : std::string()))
                ++t.counts[g];
        }
    }
    const std::vector<uint8_t> trailer = StackToGoTrailerBytes(t);
    w.Put(trailer.data(), trailer.size());
    if (w.failed || std::fflush(file.get()) != 0)
        return fail(kToGoWriteFailed);
    // The player's data runs to the end of the file.
    std::vector<uint8_t> header(kToGoHeaderBytes);
    if (std::fseek(file.get(), static_cast<long>(t.playerOffset), SEEK_SET) != 0 ||
        std::fread(header.data(), 1, header.size(), file.get()) != header.size() ||
        std::memcmp(header.data(), StackToGoRecord(PathFileName(plan.playerPath), 0).data(), kToGoNameBytes) != 0)
        return fail(kToGoWriteFailed);
    PutLE32(header, kToGoNameBytes, w.offset - t.playerOffset - kToGoHeaderBytes);
    if (std::fseek(file.get(), static_cast<long>(t.playerOffset), SEEK_SET) != 0 ||
        std::fwrite(header.data(), 1, header.size(), file.get()) != header.size() || std::fflush(file.get()) != 0)
        return fail(kToGoWriteFailed);
    if (std::fclose(file.release()) != 0) {
        std::remove(plan.packagePath.c_str());
        return kToGoWriteFailed;
    }
    if (written)
        *written = t;
    return kToGoOk;
}
