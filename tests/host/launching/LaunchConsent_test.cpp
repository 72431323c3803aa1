// The launch rules: what may start, what is asked, what is refused, and how texts are read.
#include <gtest/gtest.h>

#include <string>

#include "host/launching/LaunchConsent.h"

TEST(LaunchConsent, GovernIsReadAsAWholeNumber) {
    EXPECT_TRUE(GovernAllowsLaunch("Bad"));  // no key
    EXPECT_TRUE(GovernAllowsLaunch(""));
    EXPECT_TRUE(GovernAllowsLaunch("0"));
    EXPECT_TRUE(GovernAllowsLaunch(" 00 "));
    // Neither the low 16 bits nor text count as 0.
    EXPECT_FALSE(GovernAllowsLaunch("1"));
    EXPECT_FALSE(GovernAllowsLaunch("65536"));
    EXPECT_FALSE(GovernAllowsLaunch("yes"));
    EXPECT_FALSE(GovernAllowsLaunch("0x0"));
    EXPECT_FALSE(GovernAllowsLaunch("-0"));
}

TEST(LaunchConsent, RunTypesAndPlainAddresses) {
    for (const char* path : {"C:\\a\\tool.EXE", "x.com", "b.bat", "c.cmd", "d.pif", "e.scr", "f.cpl", "g.msi",
                             "h.lnk", "i.url", "j.hta", "k.js", "l.jse", "m.vbs", "n.vbe", "o.wsf", "p.wsh",
                             "q.ps1", "r.reg", "s.jar", "tool.exe.", "tool.exe  "})
        EXPECT_TRUE(IsShellRunType(path)) << path;
    for (const char* path : {"notes.txt", "C:\\dir.exe\\readme", "exe", "a.exe\\b", "picture.jpg", ""})
        EXPECT_FALSE(IsShellRunType(path)) << path;

    EXPECT_TRUE(IsPlainWebAddress("http://localhost/a"));
    EXPECT_TRUE(IsPlainWebAddress("HTTPS://example.org/x?y=1"));
    EXPECT_TRUE(IsPlainWebAddress("mailto:someone@example.org"));
    for (const char* address : {"file:///C:/x.exe", "calc", "C:\\Windows\\notepad.exe", "ftp://h/", "http:",
                                "http://a b", "http://a\"b", "http://a\tb", "javascript:alert(1)", "httpx://a"})
        EXPECT_FALSE(IsPlainWebAddress(address)) << address;
    EXPECT_FALSE(IsPlainWebAddress(std::string("http://a\0b", 10)));
}

TEST(LaunchConsent, DownloadedFilesAreKnownByTheirFolder) {
    DownloadOrigin origin;
    origin.cachedPaths = {"C:\\users\\me\\Temp\\cache\\LM1234.stk", ""};
    origin.tempFolder = "C:\\users\\me\\Temp\\";
    origin.stackPath = "D:\\web\\page\\s.stk";
    EXPECT_TRUE(IsDownloadedPath("c:\\USERS\\me\\temp\\cache\\lm1234.stk", origin));
    EXPECT_TRUE(IsDownloadedPath("C:/users/me/Temp/cache/tool.exe", origin));
    EXPECT_TRUE(IsDownloadedPath("C:\\users\\me\\Temp\\x\\y.exe", origin));
    EXPECT_FALSE(IsDownloadedPath("C:\\users\\me\\TempOther\\y.exe", origin));
    EXPECT_FALSE(IsDownloadedPath("D:\\web\\page\\tool.exe", origin));
    origin.stackFromWeb = true;
    EXPECT_TRUE(IsDownloadedPath("D:\\web\\page\\tool.exe", origin));
    EXPECT_FALSE(IsDownloadedPath("D:\\web\\tool.exe", origin));
    EXPECT_FALSE(IsDownloadedPath("", origin));
    // Other forms of one path come plain before they are compared.
    EXPECT_EQ(PlainPathForm("\\\\?\\C:\\users\\me\\Temp\\x.exe"), "C:\\users\\me\\Temp\\x.exe");
    EXPECT_EQ(PlainPathForm("\\\\localhost\\c$\\users\\me\\Temp\\x.exe"), "c:\\users\\me\\Temp\\x.exe");
    EXPECT_EQ(PlainPathForm("\\\\127.0.0.1\\C$/users/x.exe"), "C:\\users\\x.exe");
    EXPECT_EQ(PlainPathForm("\\\\?\\UNC\\server\\share\\x.exe"), "\\\\server\\share\\x.exe");
    EXPECT_EQ(PlainPathForm("\\\\localhost\\share\\x.exe"), "\\\\localhost\\share\\x.exe");
    EXPECT_TRUE(IsShellRunType("help.CHM") && IsShellRunType("s.sct") && IsShellRunType("setup.inf"));
}

TEST(LaunchConsent, ParametersProgramsAndAddresses) {
    EXPECT_EQ(QuoteLaunchParameter("C:\\my docs\\a.txt"), "\"C:\\my docs\\a.txt\"");
    EXPECT_EQ(QuoteLaunchParameter("\"C:\\a.txt\" -x"), "\"C:\\a.txt\" -x");
    EXPECT_EQ(QuoteLaunchParameter(""), "\"\"");

    // The program of the "htm" value: before " ^", or as quoted; not cut at its first blank.
    EXPECT_EQ(ProgramFromExtensionsValue("C:\\Program Files\\Web\\web.exe ^.htm"), "C:\\Program Files\\Web\\web.exe");
    EXPECT_EQ(ProgramFromExtensionsValue("\"C:\\Program Files\\web.exe\" ^.htm"), "C:\\Program Files\\web.exe");
    EXPECT_EQ(ProgramFromExtensionsValue("none"), "");
    EXPECT_EQ(ProgramFromExtensionsValue("  "), "");

    // A 105-character address starting with 'h' (104 + 1) is taken whole.
    std::string longAddress = "http://example.org/";
    longAddress.resize(105, 'a');
    EXPECT_EQ(AddressFromText(longAddress), longAddress);
    const std::string prefixed = std::string(1, '\x0A') + "www.a.org/";
    EXPECT_EQ(AddressFromText(prefixed), "www.a.org/");
    EXPECT_EQ(AddressFromText("www.a.org/"), "www.a.org/");
    EXPECT_EQ(AddressFromText(std::string(1, '\0')), "");
    EXPECT_EQ(AddressFromText(""), "");

    EXPECT_EQ(LocalPathFromAddress("file:///C:/Temp/a%20b/x%2Eexe"), "C:\\Temp\\a b\\x.exe");
    EXPECT_EQ(LocalPathFromAddress("FILE://server/share/x.exe"), "\\\\server\\share\\x.exe");
    EXPECT_EQ(LocalPathFromAddress("file:///C:/bad%2"), "C:\\bad%2");
    EXPECT_EQ(LocalPathFromAddress("calc"), "calc");
}
