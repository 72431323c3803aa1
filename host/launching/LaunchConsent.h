// What may be started or opened, and what must be asked first. A stack, above all one from the
// web, starts no program and opens nothing but web pages and mail without the person's yes.
// Platform-free rules here; the question itself is LaunchConsent_win.cpp.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The user/govern value of the preferences file ("Bad" when missing): launching is allowed
// only when it is missing, empty or the whole number 0; anything else forbids.
bool GovernAllowsLaunch(std::string_view value);

// Programs, and documents of types the shell runs as programs.
bool IsShellRunType(std::string_view path);

// "http:", "https:" and "mailto:" addresses without control characters, double quotes or
// blanks: opened without asking.
bool IsPlainWebAddress(std::string_view address);

// Where downloaded files lie: the cache's files, the temporary folder, and the current stack
// with whether it came from the web.
struct DownloadOrigin {
    std::vector<std::string> cachedPaths;
    std::string tempFolder;
    std::string stackPath;
    bool stackFromWeb = false;
};
// True when the path names a file that came from the web: in the cache, beside a cached file,
// in the temporary folder (where downloads go), or beside a web stack.
bool IsDownloadedPath(std::string_view path, const DownloadOrigin& origin);
// True when the path lies in the folder (or below it); case and separators '\' '/' ignored.
// Both are to be full, long and canonical (CanonicalPath, LaunchConsent_win.cpp): the text is
// compared as it stands.
bool PathInFolder(std::string_view path, std::string_view folder);
// A path's plain form: '/' made '\', the "\\?\" and "\\.\" prefixes dropped ("\\?\UNC\" made
// "\\"), and this machine's administrative shares ("\\localhost\C$", "\\127.0.0.1\C$") made the
// drive they stand for.
std::string PlainPathForm(std::string_view path);

// The local path an address names: a "file:" address without its scheme and leading slashes,
// %XX decoded, '/' made '\'; any other text as it is.
std::string LocalPathFromAddress(std::string_view address);

// The launch's parameter: the document in double quotes unless it starts with one; an empty
// document gives two quotes.
std::string QuoteLaunchParameter(std::string_view document);

// The program of the profile's Extensions value for "htm" ("C:\DIR\PROG.EXE ^.htm", or a
// quoted path): the quoted path, else the text before " ^", trailing blanks dropped. Empty for
// "none" or an empty value.
std::string ProgramFromExtensionsValue(std::string_view value);

// The address in a text that may carry a length byte in front: a text that begins with a
// scheme and ':' is taken whole; else when its first byte equals its length minus 1 that byte is
// skipped.
std::string_view AddressFromText(std::string_view text);
