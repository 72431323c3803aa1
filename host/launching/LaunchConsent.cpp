// The launch rules (LaunchConsent.h).
#include "host/launching/LaunchConsent.h"

#include <array>
#include <cctype>

#include "host/downloads/DownloadCache.h"

namespace {

char Folded(char c) {
    if (c == '/')
        return '\\';
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool EqualFolded(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Folded(a[i]) != Folded(b[i]))
            return false;
    return true;
}

bool StartsFolded(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && EqualFolded(text.substr(0, prefix.size()), prefix);
}

std::string_view FolderOf(std::string_view path) {
    const size_t cut = path.find_last_of("\\/");
    return cut == std::string_view::npos ? std::string_view() : path.substr(0, cut);
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

constexpr std::array<std::string_view, 24> kRunTypes = {
    "exe", "com", "bat", "cmd", "pif", "scr", "cpl", "msi", "lnk", "url", "hta", "js",
    "jse", "vbs", "vbe", "wsf", "wsh", "ps1", "reg", "jar", "msc", "chm", "sct", "inf",
};

}  // namespace

bool GovernAllowsLaunch(std::string_view value) {
    if (value == "Bad")
        return true;  // no such key
    value = Trimmed(value);
    if (value.empty())
        return true;
    for (char c : value)
        if (c != '0')
            return false;
    return true;
}

bool IsShellRunType(std::string_view path) {
    // The shell ignores trailing dots and blanks of a name.
    while (!path.empty() && (path.back() == '.' || path.back() == ' '))
        path.remove_suffix(1);
    const size_t dot = path.find_last_of(".\\/:");
    if (dot == std::string_view::npos || path[dot] != '.')
        return false;
    const std::string_view extension = path.substr(dot + 1);
    for (std::string_view type : kRunTypes)
        if (EqualFolded(extension, type))
            return true;
    return false;
}

bool IsPlainWebAddress(std::string_view address) {
    size_t schemeLength = 0;
    if (StartsFolded(address, "http:"))
        schemeLength = 5;
    else if (StartsFolded(address, "https:"))
        schemeLength = 6;
    else if (StartsFolded(address, "mailto:"))
        schemeLength = 7;
    else
        return false;
    if (address.size() == schemeLength)
        return false;
    for (char c : address) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x20 || u == 0x7F || c == '"' || c == ' ')
            return false;
    }
    return true;
}

bool PathInFolder(std::string_view path, std::string_view folder) {
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        folder.remove_suffix(1);
    if (folder.empty() || path.size() <= folder.size() + 1)
        return false;
    return StartsFolded(path, folder) && Folded(path[folder.size()]) == '\\';
}

bool IsDownloadedPath(std::string_view path, const DownloadOrigin& origin) {
    if (path.empty())
        return false;
    for (const std::string& cached : origin.cachedPaths) {
        if (cached.empty())
            continue;
        if (EqualFolded(path, cached) || PathInFolder(path, FolderOf(cached)))
            return true;
    }
    if (PathInFolder(path, origin.tempFolder))
        return true;
    // A web stack's folder is where its siblings were downloaded to.
    return origin.stackFromWeb && PathInFolder(path, FolderOf(origin.stackPath));
}

std::string LocalPathFromAddress(std::string_view address) {
    if (!StartsFolded(address, "file:"))
        return std::string(address);
    address.remove_prefix(5);
    size_t slashes = 0;
    while (slashes < address.size() && (address[slashes] == '/' || address[slashes] == '\\'))
        ++slashes;
    // "file:///C:/x" names C:\x; "file://server/share/x" names \\server\share\x.
    const bool drive = address.size() >= slashes + 2 && address[slashes + 1] == ':';
    std::string path = drive ? std::string() : std::string(slashes >= 2 ? "\\\\" : "");
    address.remove_prefix(slashes);
    for (const char c : DecodePercentEscapes(address))
        path += c == '/' ? '\\' : c;
    return path;
}

std::string QuoteLaunchParameter(std::string_view document) {
    if (!document.empty() && document.front() == '"')
        return std::string(document);
    std::string quoted = "\"";
    quoted += document;
    quoted += '"';
    return quoted;
}

std::string ProgramFromExtensionsValue(std::string_view value) {
    value = Trimmed(value);
    if (value.empty() || EqualFolded(value, "none"))
        return {};
    if (value.front() == '"') {
        const size_t close = value.find('"', 1);
        return std::string(close == std::string_view::npos ? value.substr(1) : value.substr(1, close - 1));
    }
    const size_t caret = value.find(" ^");
    if (caret != std::string_view::npos)
        value = value.substr(0, caret);
    return std::string(Trimmed(value));
}

std::string PlainPathForm(std::string_view path) {
    std::string plain(path);
    for (char& c : plain)
        if (c == '/')
            c = '\\';
    // "\\?\C:\x" and "\\.\C:\x" name C:\x; "\\?\UNC\host\share" names \\host\share.
    if (StartsFolded(plain, "\\\\?\\UNC\\"))
        plain = "\\\\" + plain.substr(8);
    else if (StartsFolded(plain, "\\\\?\\") || StartsFolded(plain, "\\\\.\\"))
        plain = plain.substr(4);
    // This machine's administrative shares: "\\localhost\C$\x" and "\\127.0.0.1\C$\x" name C:\x.
    for (std::string_view host : {"\\\\localhost\\", "\\\\127.0.0.1\\"}) {
        if (!StartsFolded(plain, host))
            continue;
        const std::string_view rest = std::string_view(plain).substr(host.size());
        if (rest.size() >= 2 && std::isalpha(static_cast<unsigned char>(rest[0])) && rest[1] == '$' &&
            (rest.size() == 2 || rest[2] == '\\'))
            plain = std::string(1, rest[0]) + ":" + std::string(rest.substr(2));
    }
    return plain;
}

std::string_view AddressFromText(std::string_view text) {
    if (text.empty())
        return text;
    // A scheme: a letter, then letters, digits, '+', '-' or '.', then ':'.
    if (std::isalpha(static_cast<unsigned char>(text[0]))) {
        size_t i = 1;
        while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '+' ||
                                   text[i] == '-' || text[i] == '.'))
            ++i;
        if (i < text.size() && text[i] == ':')
            return text;
    }
    if (static_cast<unsigned char>(text[0]) == text.size() - 1)
        text.remove_prefix(1);
    return text;
}
