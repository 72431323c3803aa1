// Field texts in the real plug-in, driven through the test browser: a Mac Roman stack whose
// background field holds one entry for each of two cards, in bold red 24-pixel runs of a Mac
// face. Each card shows its own text in that style; text typed on the second card reaches the
// saved file (its entry, its runs and the font table entry of its face) both when the card is
// saved without being left and when it is left first; a stack only opened and saved keeps its
// font table's bytes.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "tests/support/LinkedPlugin_win.h"
#include "tests/support/ReportJson.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/ReportQueries_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr uint16_t kField = 30, kGeneva = 5, kTimes = 7;
constexpr sb::Rect kFieldRect = {10, 10, 310, 90};
constexpr int kWidth = 320, kHeight = 120;
constexpr char kFirstText[] = "Wide wide wide text";
constexpr char kSecondText[] = "Hi";
// Commands of the Move and File menus.
constexpr int kPreviousCard = 203, kNextCard = 204, kSaveStack = 102;

std::vector<uint8_t> Fonts() {
    return sb::FontTable({{kGeneva, "Geneva", true}, {kTimes, "Times New Roman", false}});
}

std::vector<uint8_t> TwoCardStack() {
    sb::Stack stack;
    stack.cardWidth = kWidth;
    stack.cardHeight = kHeight;
    stack.flags = 0x10;  // texts in Mac Roman
    stack.depth = 32;    // no deeper display to ask about when saving
    sb::Card holder = sb::PictureCard(1, sb::SolidPicture(kWidth, kHeight, 32, 0xFFFFFF));
    sb::Object field = sb::TextField(kField, kFieldRect, "Notes", "");
    field.flags = 0x10;
    const sb::TextRun boldRed{0, kGeneva, 1, 24, {255, 0, 0}};
    field.subRecords = {sb::TextEntry(1, kFirstText, {boldRed}), sb::TextEntry(2, kSecondText, {boldRed})};
    holder.objects.push_back(field);
    stack.cards = {holder, sb::SharedCard(2, 1)};
    stack.resources.push_back({"FntL", 128, "", 0, 0, Fonts()});
    return sb::BuildStack(stack).bytes;
}

// Red of the runs, within what a 16-bit display keeps.
bool IsRed(uint32_t pixel) { return (pixel >> 16 & 255) > 200 && (pixel >> 8 & 255) < 60 && (pixel & 255) < 60; }

// Where the red text lies inside the field: its columns and rows; right < 0 when none.
struct Ink {
    int left = 1 << 20, right = -1, top = 1 << 20, bottom = -1;
};
Ink RedInk(const std::string& png) {
    UINT width = 0, height = 0;
    const std::vector<uint32_t> pixels = PngPixels(png, &width, &height);
    Ink ink;
    if (width != UINT(kWidth) || height != UINT(kHeight))
        return ink;
    for (int y = kFieldRect.top; y < kFieldRect.bottom; ++y)
        for (int x = kFieldRect.left; x < kFieldRect.right; ++x)
            if (IsRed(pixels[size_t(y) * width + size_t(x)])) {
                ink.left = std::min(ink.left, x), ink.right = std::max(ink.right, x);
                ink.top = std::min(ink.top, y), ink.bottom = std::max(ink.bottom, y);
            }
    return ink;
}

// The stack served from a folder, its cached copy (stkNNNN.stk, which the plug-in saves into)
// kept in a temporary folder of the run's own.
struct TextSite {
    ServerFolder server;
    std::string name = "notes-" + ProcessTag() + ".stk";
    std::string temp;
    std::string saved = server.Name("saved-" + name);
    TextSite() {
        server.Put(name, AsText(TwoCardStack()));
        temp = server.path + "\\cache";
        CreateDirectoryA(temp.c_str(), nullptr);
    }
    ~TextSite() { RemoveFolderTree(temp); }
    // The walk in order, the page closed that long after its last step.
    BrowserRun Run(std::vector<std::string> args, int afterLastMs) {
        std::vector<std::string> all = {"--dll", PluginPath(), "--server", server.path, "--log", "--answer-alerts",
                                        "--size", std::to_string(kWidth) + "x" + std::to_string(kHeight)};
        all.insert(all.end(), args.begin(), args.end());
        std::string url = "file:///" + server.path + "\\" + name;
        for (char& c : url)
            if (c == '\\')
                c = '/';
        // Save of a stack from the web asks where: the test browser names this file.
        for (const std::string& arg : args)
            if (arg.rfind(std::to_string(kSaveStack) + "@", 0) == 0)
                all.insert(all.end(), {"--save-copy", saved});
        all.insert(all.end(), {"--quit-after-last", std::to_string(afterLastMs), url});
        return RunBrowser(server, all, {{"TMP", temp}, {"TEMP", temp}});
    }
    std::vector<std::string> CachedCopies() const {
        std::vector<std::string> found;
        WIN32_FIND_DATAA data;
        const std::string folder = CacheFolderIn(temp);
        HANDLE search = FindFirstFileA((folder + "\\stk*").c_str(), &data);
        if (search == INVALID_HANDLE_VALUE)
            return found;
        do
            found.push_back(folder + "\\" + data.cFileName);
        while (FindNextFileA(search, &data));
        FindClose(search);
        return found;
    }
    // The stack the plug-in saved where it was asked to, while its one cached copy stays the
    // site's: empty when either is not so.
    std::string SavedStack() const {
        const std::vector<std::string> copies = CachedCopies();
        if (copies.size() != 1 || ReadFile(copies[0]) != AsText(TwoCardStack()))
            return {};
        return ReadFile(saved).empty() ? std::string() : saved;
    }
    std::string Report(const std::string& stack) {
        const std::string reporter = WindowsPath(std::string(std::getenv("LOOM_BUILD")) + "/tools/stackreport/stackreport.exe");
        const BrowserRun report = RunProgram(reporter, server, {stack});
        EXPECT_EQ(report.exitCode, 0) << report.errors;
        return Joined(report.log);
    }
};

// The text object's entries as the report lists them; empty when it is not there.
ReportJson EntriesOf(const std::string& json) {
    const ReportJson report = ParseReport(json);
    for (const ReportJson& card : ItemsOf(report, "cards"))
        for (const ReportJson& object : ItemsOf(card, "objects"))
            if (object.value("id", -1) == kField)
                return ItemsOf(object, "entries");
    return ReportJson::array();
}

// Typed on card 2 ("Hi" grows to "HiMore"), bold red 24 pixels in the mapper's face for the
// Mac face: the saved entry, its run, and a font table entry that names that face.
void ExpectTypedTextSaved(const std::string& json) {
    const std::string face = MapperFace("arial");
    const ReportJson entries = EntriesOf(json);
    ASSERT_GE(entries.size(), 2u) << JsonText(entries);
    const std::string first = "{\"card\":1,\"flags\":512,\"text\":\"Wide wide wide text\",\"runs\":[[0,5,1,24,255,0,0]]}";
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(), [&](const ReportJson& e) { return JsonText(e) == first; }))
        << JsonText(entries);
    const ReportJson& second = entries.back();
    EXPECT_EQ(second.value("card", 0), 2) << JsonText(second);
    EXPECT_EQ(second.value("flags", -1), 0) << JsonText(second);
    EXPECT_EQ(second.value("text", ""), "HiMore") << JsonText(second);
    const ReportJson& runs = ItemsOf(second, "runs");
    ASSERT_TRUE(runs.size() == 1 && runs[0].size() == 7 && runs[0][1].is_number_integer()) << JsonText(second);
    const int number = runs[0][1].get<int>();
    EXPECT_EQ(JsonText(runs[0]), "[0," + std::to_string(number) + ",1,24,255,0,0]") << JsonText(second);
    // The run's font: the Mac entry kept when its face maps there, else a new entry of the face.
    const ReportJson report = ParseReport(json);
    const ReportJson* fonts = FindKey(report, "fonts");
    ASSERT_TRUE(fonts && fonts->is_array()) << json;
    const auto at = [&](const std::string& entry) {
        for (size_t i = 0; i < fonts->size(); ++i)
            if (JsonText((*fonts)[i]) == entry)
                return int(i);
        return -1;
    };
    if (number != kGeneva) {
        EXPECT_NE(at("[" + std::to_string(number) + ",\"" + face + "\",0]"), -1) << JsonText(*fonts);
    }
    const int geneva = at("[5,\"Geneva\",1]");
    EXPECT_NE(geneva, -1) << JsonText(*fonts);
    EXPECT_EQ(at("[7,\"Times New Roman\",0]"), geneva + 1) << JsonText(*fonts);
}

TEST(FieldTextInBrowser, EachCardShowsItsStyledText) {
    TextSite site;
    const std::string shot = site.server.Name("card1.png"), second = site.server.Name("card1-t2.png");
    const BrowserRun run = site.Run({"--screenshot", shot, "--screenshot-after", "1200", "--command",
                                     std::to_string(kNextCard) + "@1500", "--screenshot-after", "2300", "--click",
                                     "250,30@2600", "--keys", "More@3000"},
                                    600);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert("), -1) << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "type(More) focus=LMText"), -1) << "the click put the field in focus";

    const Ink first = RedInk(shot), other = RedInk(second);
    ASSERT_GE(first.right, 0) << "card 1 shows red text";
    ASSERT_GE(other.right, 0) << "card 2 shows red text";
    EXPECT_GT(first.right, 150) << "card 1's long text";
    EXPECT_LT(other.right, 70) << "card 2's short text";
    for (const Ink& ink : {first, other}) {
        EXPECT_LT(ink.left, kFieldRect.left + 12);
        EXPECT_GE(ink.bottom - ink.top, 14) << "24-pixel letters";
    }
}

// Typed on card 2, then the commands half a second apart, the last of them Save: no alert, and
// the saved stack holds the typing.
void ExpectTypedAndSaved(const std::vector<int>& commands) {
    TextSite site;
    std::vector<std::string> args = {"--command", std::to_string(kNextCard) + "@1200", "--click", "250,30@1800",
                                     "--keys", "More@2200"};
    for (size_t i = 0; i < commands.size(); ++i)
        Append(args, {"--command", std::to_string(commands[i]) + "@" + std::to_string(2700 + 500 * int(i))});
    const BrowserRun run = site.Run(args, 1000);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert("), -1) << Joined(run.log);
    const std::string saved = site.SavedStack();
    ASSERT_FALSE(saved.empty());
    ExpectTypedTextSaved(site.Report(saved));
}

TEST(FieldTextInBrowser, TypedTextIsSavedWithoutLeaving) { ExpectTypedAndSaved({kSaveStack}); }

TEST(FieldTextInBrowser, TypedTextIsSavedAfterLeaving) { ExpectTypedAndSaved({kPreviousCard, kSaveStack}); }

TEST(FieldTextInBrowser, AStackOnlyOpenedAndSavedKeepsItsFontTable) {
    TextSite site;
    const BrowserRun run = site.Run({"--command", std::to_string(kSaveStack) + "@1200"}, 1000);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert("), -1) << Joined(run.log);
    const std::string saved = site.SavedStack();
    ASSERT_FALSE(saved.empty());
    const std::string bytes = ReadFile(saved);
    EXPECT_NE(bytes.find(AsText(Fonts())), std::string::npos) << "the font table's bytes as they were";
}

// One card of white with a field and a button. `macColors` writes the colour table's white as
// 0xFFFF, which marks the stack as made on a Mac (header flag 0x10 stays clear).
std::vector<uint8_t> OneFieldStack(bool macColors, const std::string& text, const std::string& buttonName) {
    sb::Stack stack;
    stack.cardWidth = kWidth;
    stack.cardHeight = kHeight;
    sb::Picture white = sb::SolidPicture(kWidth, kHeight, 8, 0);
    white.macColors = macColors;
    sb::Card card = sb::PictureCard(1, white);
    sb::Object field = sb::TextField(kField, kFieldRect, "Notes", "");
    field.subRecords = {sb::TextEntry(1, text, {{0, 0, 0, 24, {0, 0, 0}}})};
    card.objects.push_back(field);
    card.objects.push_back(sb::Button(31, {10, 95, 90, 115}, buttonName));
    stack.cards = {card};
    return sb::BuildStack(stack).bytes;
}

// The card as the real plug-in shows it.
std::vector<uint32_t> Shown(const std::vector<uint8_t>& stack, const std::string& label) {
    ServerFolder server;
    const std::string name = label + "-" + ProcessTag() + ".stk";
    server.Put(name, AsText(stack));
    const std::string shot = server.Name(label + ".png");
    const BrowserRun run = RunPage(server, name, std::to_string(kWidth) + "x" + std::to_string(kHeight),
                                   {"--answer-alerts", "--screenshot", shot, "--screenshot-after", "1500", "--quit-after-last", "800"});
    EXPECT_EQ(run.exitCode, 0) << label << ": " << run.errors;
    EXPECT_EQ(FindHolding(run.log, "alert("), -1) << Joined(run.log);
    UINT width = 0, height = 0;
    std::vector<uint32_t> pixels = PngPixels(shot, &width, &height);
    EXPECT_EQ(width, UINT(kWidth)) << label;
    return pixels;
}

int Differing(const std::vector<uint32_t>& a, const std::vector<uint32_t>& b) {
    if (a.size() != b.size())
        return -1;
    int n = 0;
    for (size_t i = 0; i < a.size(); ++i)
        n += a[i] != b[i];
    return n;
}

// A stack recognised as Mac-made by its colour table, flag 0x10 clear, keeps "naive * bullet"
// (i diaeresis, bullet) in Mac Roman: the field shows it as a Windows stack holding the same text
// in its own character set shows it, not as the stored bytes read as Windows characters; the
// report gives the same text.
TEST(FieldTextInBrowser, AStackMadeOnAMacByItsColourTableShowsItsFieldTextConverted) {
    const std::vector<uint8_t> macMade = OneFieldStack(true, "na\x95ve \xA5 bullet", "Caf\x8E");
    const std::vector<uint32_t> mac = Shown(macMade, "macmade");
    const std::vector<uint32_t> windows = Shown(OneFieldStack(false, "na\xEFve \x95 bullet", "Caf\xE9"), "windows");
    const std::vector<uint32_t> raw = Shown(OneFieldStack(false, "na\x95ve \xA5 bullet", "Caf\xE9"), "raw");
    ASSERT_EQ(mac.size(), size_t(kWidth) * kHeight);
    int ink = 0;
    for (int y = kFieldRect.top; y < kFieldRect.bottom; ++y)
        for (int x = kFieldRect.left; x < kFieldRect.right; ++x)
            ink += (mac[size_t(y) * kWidth + size_t(x)] & 0xFFFFFF) != 0xFFFFFF;
    ASSERT_GT(ink, 0) << "the field shows its text";
    const int area = (kFieldRect.right - kFieldRect.left) * (kFieldRect.bottom - kFieldRect.top);
    EXPECT_LT(ink, area / 2) << "the text on the field's white, not one dark box";
    EXPECT_EQ(Differing(mac, windows), 0) << "the same text, the same pixels";
    EXPECT_GT(Differing(mac, raw), 0) << "the stored bytes unconverted look otherwise";

    ServerFolder server;
    const std::string path = server.Put("macmade.stk", AsText(macMade));
    const std::string reporter = WindowsPath(std::string(std::getenv("LOOM_BUILD")) + "/tools/stackreport/stackreport.exe");
    const BrowserRun report = RunProgram(reporter, server, {path});
    ASSERT_EQ(report.exitCode, 0) << report.errors;
    const std::string json = Joined(report.log);
    EXPECT_EQ(ReportedValue(json, "textMacRoman"), "true") << json;
    const std::vector<std::string> texts = ReportedTexts(json);
    EXPECT_NE(std::find(texts.begin(), texts.end(), "na\xC3\xAFve \xE2\x80\xA2 bullet"), texts.end())
        << JsonText(EntriesOf(json));
}

}  // namespace
