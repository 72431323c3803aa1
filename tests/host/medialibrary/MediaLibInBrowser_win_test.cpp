// The real plug-in in the test browser: a sound file dropped from the shell onto a button makes
// the button play it; files dragged from the Media Browser's list onto the card and onto a graphic
// become its sound and a placed button that stay after Save and reopening; the Media Browser
// opened by command 403 leaves neither window nor class behind when the plug-in is unloaded, and
// opens again on the next load.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "core/ui/PaletteCaption.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/TestSounds_win.h"
#include "tools/stackbuilder/StackBuilder.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

sb::Stack ButtonStack() {
    sb::Stack stack;
    stack.experiencedUser = 1;
    stack.cardWidth = 200;
    stack.cardHeight = 120;
    sb::Card card = sb::PlainCard(1);
    card.objects.push_back(sb::Button(10, {10, 10, 90, 40}, "Play"));
    // A graphic with a picture and no action of its own yet.
    sb::Object graphic = sb::Graphic(11, {110, 60, 170, 100}, "Bell");
    sb::SetGraphicPicture(graphic, sb::SolidPicture(60, 40, 8, 5));
    card.objects.push_back(graphic);
    stack.cards = {card};
    return stack;
}

std::string Folder(const std::string& path) { return path.substr(0, path.find_last_of('\\')); }

// On a button and on a graphic, the next click plays the dropped sound without a reload; a click
// elsewhere on the card plays nothing.
TEST(MediaLibInBrowser, ASoundDroppedOnAButtonOrAGraphicPlaysWhenItIsClicked) {
    const std::vector<uint8_t> wave = WaveFileOf(Square(4410, 100));
    struct Case {
        const char* target;
        const char* click;
        bool plays;
    };
    for (const Case& c : {Case{"40,20", "40,20", true}, Case{"140,80", "140,80", true}, Case{"140,80", "40,100", false}}) {
        ServerFolder server;
        const std::string name = ServeStack(server, "drop", ButtonStack());
        const std::string sound = server.Put("chime.wav", AsText(wave));
        const std::string sink = server.Name("sink.wav");
        const BrowserRun run = RunPage(server, name, "200x120",
                                       {"--answer-alerts", "--drop", sound + "@" + c.target + "@800", "--click",
                                        std::string(c.click) + "@1600", "--quit-after-last", "1600"},
                                       {{"LOOM_QUICKTIME_SINK", sink}});
        ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
        EXPECT_NE(FindHolding(run.log, "drop("), -1) << Joined(run.log);
        if (c.plays)
            EXPECT_GT(SinkAmplitude(ReadAll(sink)), 20.0) << "dropped at " << c.target << Joined(run.log);
        else
            EXPECT_TRUE(ReadAll(sink).empty()) << "clicked beside it" << Joined(run.log);
    }
}

int LinesHolding(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

// A sound file of this machine (outside the site) dropped on a button, on a graphic and on bare
// card, then Save As into the site: the alert names the sound as not beside the stack. Reopened
// from the site without it, a click asks the site, and once the site has not answered for some
// seconds the user is told which file did not come; opened from this machine, the click plays
// the file where it lies. With the file put beside the stack, each of the three clicks asks for
// or finds it and plays it.
TEST(MediaLibInBrowser, ASoundDroppedOnAButtonAGraphicAndBareCardPlaysAfterSaveAsAndReopening) {
    CachedSite site(200, 120);
    const std::vector<uint8_t> wave = WaveFileOf(Square(4410, 100));
    const std::string sound = site.server.Put("library\\drop-chime.wav", AsText(wave));
    const std::string name = site.Serve("drops", Built(ButtonStack()));
    const std::string saved = site.server.Name("drops-moved.stk");
    std::vector<std::string> args = {"--answer-alerts", "--drop", sound + "@40,20@800", "--drop", sound + "@140,80@1300",
                                     "--drop", sound + "@40,100@1800", "--command", "103@2400", "--quit-after-last", "2000"};
    Append(args, SaveAsDialogAt(saved, 3200, 400));
    const BrowserRun run = site.Run(name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "saved(" + saved), -1) << Joined(run.log);
    const int told = FindHolding(run.log, "names files that are not beside it in its folder: drop-chime.wav.");
    EXPECT_NE(told, -1) << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "not beside it", told + 1), -1) << "told once\n" << Joined(run.log);

    const std::string lostLog = site.server.Name("lost.log");
    const BrowserRun lost = site.Run("drops-moved.stk", {"--answer-alerts", "--click", "140,80@1000", "--quit-after", "8500"},
                                     {{"LOOM_QUICKTIME_LOG", lostLog}});
    ASSERT_EQ(lost.exitCode, 0) << lost.errors << Joined(lost.log);
    const int asked = FindHolding(lost.log, "NPN_GetURL(instance=1, url=http://localhost/drop-chime.wav");
    ASSERT_NE(asked, -1) << Joined(lost.log);
    EXPECT_NE(FindHolding(lost.log, "could not get the file drop-chime.wav from the site", asked), -1) << Joined(lost.log);
    EXPECT_EQ(LinesHolding(ReadFile(lostLog), "sound: "), 0) << ReadFile(lostLog);

    // Opened from this machine (the Open command), the stack finds the sound where it was dropped
    // from, and asks the site for nothing.
    const std::string localLog = site.server.Name("local.log");
    std::vector<std::string> localArgs = {"--answer-alerts", "--command", "101@900"};
    Append(localArgs, OpenDialogAt(saved, 1700, 400));
    Append(localArgs, {"--click", "140,80@3200", "--quit-after-last", "1300"});
    const BrowserRun local = site.Run(name, localArgs, {{"LOOM_QUICKTIME_LOG", localLog}});
    ASSERT_EQ(local.exitCode, 0) << local.errors << Joined(local.log);
    EXPECT_EQ(FindHolding(local.log, "url=http://localhost/drop-chime.wav"), -1) << Joined(local.log);
    EXPECT_EQ(LinesHolding(ReadFile(localLog), "sound: "), 1) << ReadFile(localLog) << Joined(local.log);

    site.server.Put("drop-chime.wav", AsText(wave));
    const std::string sink = site.server.Name("drops-sink.wav"), log = site.server.Name("drops.log");
    const BrowserRun again = site.Run("drops-moved.stk", {"--answer-alerts", "--click", "40,20@1000", "--click",
                                                          "140,80@1800", "--click", "40,100@2600", "--quit-after-last", "1000"},
                                      {{"LOOM_QUICKTIME_SINK", sink}, {"LOOM_QUICKTIME_LOG", log}});
    ASSERT_EQ(again.exitCode, 0) << again.errors << Joined(again.log);
    EXPECT_EQ(FindHolding(again.log, "alert("), -1) << Joined(again.log);
    EXPECT_EQ(LinesHolding(ReadFile(log), "sound: "), 3) << "each click plays it\n" << ReadFile(log) << Joined(again.log);
    EXPECT_GT(SinkAmplitude(ReadAll(sink)), 20.0) << Joined(again.log);
}

// The plug-in and its libraries copied into the server folder, which is then their program folder;
// no registry value names another library.
std::string PluginBesideTheStack(ServerFolder& server) {
    const std::string from = Folder(PluginPath());
    for (const char* file : {"nploom.dll", "vic32.dll", "QuickTime.qts"})
        server.Put(file, ReadFile(from + "\\" + file));
    HKEY key = nullptr;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quillmark\\Pageloom", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                    nullptr);
    RegDeleteValueA(key, "Media Folder");
    RegCloseKey(key);
    return server.path + "\\nploom.dll";
}

// With no library beside the plug-in, each opening says where the folder goes; once the folder
// is made (while the page is open), the next opening shows the browser. The folder comes seconds
// after the second opening: on a busy machine the first alert can hold that opening back.
TEST(MediaLibInBrowser, WithoutItsFolderEachOpeningSaysWhereToMakeItAndOnceMadeItOpens) {
    ServerFolder server;
    const std::string dll = PluginBesideTheStack(server);
    const std::string name = ServeStack(server, "nolib", ButtonStack());
    const std::string library = server.path + "\\Media Library";
    std::thread maker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(4500));
        CreateDirectoryA(library.c_str(), nullptr);
        CreateDirectoryA((library + "\\Sounds").c_str(), nullptr);
    });
    const BrowserRun run = RunBrowser(server, {"--dll", dll, "--server", server.path, "--log", "--answer-alerts",
                                               "--size", "200x120", "--command", "403@800", "--command", "403@1500",
                                               "--command", "403@7000", "--quit-after", "8000",
                                               "http://localhost/" + name});
    maker.join();
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const int first = FindHolding(run.log, "alert(");
    ASSERT_NE(first, -1) << Joined(run.log);
    const int second = FindHolding(run.log, "alert(", first + 1);
    ASSERT_NE(second, -1) << "the second opening explains again\n" << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert(", second + 1), -1) << "the third opens\n" << Joined(run.log);
    // Each explanation names the folder where it is expected (the alert's text spans lines).
    const std::string all = Joined(run.log);
    size_t named = 0;
    for (size_t at = all.find(library + "\n"); at != std::string::npos; at = all.find(library + "\n", at + 1))
        ++named;
    EXPECT_EQ(named, 2u) << all;
    EXPECT_NE(FindHolding(run.log, "unable to locate the media folder", second), -1) << all;
    EXPECT_GT(FindHolding(run.log, "shown(Media Browser)"), second) << all;
    RemoveDirectoryA((library + "\\Sounds").c_str());
    RemoveDirectoryA(library.c_str());
}

TEST(MediaLibInBrowser, TheBrowserGoesWithThePluginAndOpensAgain) {
    ServerFolder server;
    const std::string dll = PluginBesideTheStack(server);
    server.Put("Media Library\\Sounds\\bell.wav", "RIFF....WAVE");
    const std::string name = ServeStack(server, "lib", ButtonStack());
    const BrowserRun run = RunBrowser(server, {"--dll", dll, "--server", server.path, "--log",
                                               "--answer-alerts", "--size", "200x120", "--command", "403@800",
                                               "--quit-after", "2000", "--reload", "http://localhost/" + name});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert("), -1) << Joined(run.log);
    const int first = Find(run.log, "closing(LM_MediaBrowser=shown)");
    EXPECT_NE(first, -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "unloaded(LM_MediaBrowser=gone)", first + 1), -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "closing(LM_MediaBrowser=shown)", first + 1), -1) << Joined(run.log);
}

// ---- files dragged from the Media Browser ----

constexpr int kWalkWidth = 320, kWalkHeight = 240, kSave = 102;
constexpr uint32_t kWalkGround = 0xE0D0B0, kBellColour = 0x3080C0;
constexpr sb::Rect kBell = {200, 40, 260, 100};
constexpr POINT kOnBell = {230, 70}, kBadgeAt = {80, 150}, kBare = {60, 50};
// A second badge dropped across the bell's lower edge; the sky picture dropped on bare card.
constexpr POINT kBadgeOnBell = {230, 100}, kSkyDrop = {280, 200};
constexpr uint32_t kSkyColour = 0x2040C0;
constexpr SIZE kSky = {40, 30}, kSkyCut = {30, 20};
constexpr uint16_t kBadgeFill = 36;  // a stored palette index

// One card of the ground colour at 32 bits, for a person who may edit, holding the object.
sb::Stack GroundStack(const sb::Object& object) {
    sb::Stack stack = sb::EditableStack(kWalkWidth, kWalkHeight, 32);
    sb::Card card = sb::PictureCard(1, sb::SolidPicture(kWalkWidth, kWalkHeight, 32, kWalkGround));
    card.objects.push_back(object);
    stack.cards = {card};
    stack.nextObjectId = static_cast<uint16_t>(object.id + 1);
    return stack;
}

std::string WalkStack() {
    sb::Object bell = sb::Graphic(11, kBell, "Bell");
    sb::SetGraphicPicture(bell, sb::SolidPicture(60, 60, 32, kBellColour));
    return Built(GroundStack(bell));
}

// A saved 60 x 30 rectangular button with no name, filled with a palette colour.
std::string BadgeFile() {
    sb::Object badge = sb::ShapedButton(1, {0, 0, 60, 30}, "", 2);
    badge.words.push_back({68, kBadgeFill});
    const std::vector<uint8_t> bytes = sb::ObjectFile(badge);
    return AsText(bytes);
}

// The middle of the name of each row of the browser's list, in the card's coordinates: a probe
// run logged where the browser and the card lay on the screen; the browser's frame, its category
// box and a list of the same kind made here give the rows within it.
std::vector<POINT> ListRows(const std::vector<std::string>& log, int rows) {
    RECT shown{};
    POINT card{};
    if (!ShownPlace(log, "Media Browser", &shown) || !CardOnScreen(log, &card))
        return {};
    const long left = shown.left, top = shown.top, cardX = card.x, cardY = card.y;
    const DWORD style = WS_POPUP | WS_THICKFRAME | WS_SYSMENU, exStyle = WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE;
    RECT frame{0, 0, 0, 0};
    AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    HWND combo = CreateWindowExA(0, "combobox", "", WS_POPUP | CBS_DROPDOWNLIST, 0, 0, 240, 90, nullptr, nullptr,
                                 nullptr, nullptr);
    RECT comboRect{};
    GetWindowRect(combo, &comboRect);
    DestroyWindow(combo);
    const int listTop = PaletteCaptionHeight() + 4 + (comboRect.bottom - comboRect.top) + 4;
    HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT | LVS_SINGLESEL, 0, 0, 240, 200,
                                nullptr, nullptr, nullptr, nullptr);
    HIMAGELIST icons = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), ILC_COLOR24, 1, 0);
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(icons));
    LVCOLUMNA column{};
    column.mask = LVCF_WIDTH;
    column.cx = 120;
    SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    POINT client{0, 0};
    ClientToScreen(list, &client);
    RECT outer{};
    GetWindowRect(list, &outer);
    std::vector<POINT> points;
    for (int i = 0; i < rows; ++i) {
        char name[] = "x";
        LVITEMA item{};
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = name;
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    for (int i = 0; i < rows; ++i) {
        RECT row{};
        row.left = LVIR_BOUNDS;
        SendMessageA(list, LVM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&row));
        const long x = left - frame.left + 4 + (client.x - outer.left) + 40;
        const long y = top - frame.top + listTop + (client.y - outer.top) + (row.top + row.bottom) / 2;
        points.push_back({x - cardX, y - cardY});
    }
    DestroyWindow(list);
    ImageList_Destroy(icons);
    return points;
}

// A screenshot pixel of the colour, within what a 16-bit display keeps of it.
bool Shows(uint32_t pixel, uint32_t colour) {
    return NearRgb(pixel, int(colour >> 16 & 255), int(colour >> 8 & 255), int(colour & 255), 8);
}

std::string Point(POINT p) { return std::to_string(p.x) + "," + std::to_string(p.y); }
std::string DragAt(POINT from, POINT to, int ms) { return Point(from) + "-" + Point(to) + "@" + std::to_string(ms); }

// From the Media Browser, as a person would: a sound dragged onto a graphic with no action and
// a picture onto the same graphic (which takes nothing), the graphic clicked (the sound, a file
// of this machine, plays without a reload although the stack came from the web), a saved button
// dragged onto the card and another across the graphic's edge, the sound onto bare card, the
// picture onto bare card (the Clip Art dialog cuts part of it, placed where it was let go and
// kept by a click beside it), Save. Reopened, the buttons lie centred where they were dropped,
// pixel for pixel, the graphic is as it was, the cut-out lies where it was let go, and a click on the graphic, or on the bare card,
// asks the site for the sound by its name (as for any file a web stack names; the author has put
// it beside the stack) and plays it.
TEST(MediaLibInBrowser, FilesDraggedFromTheBrowserOntoTheCardAndAGraphicStayAfterSaving) {
    SKIP_UNLESS_TRUE_COLOUR("the card's and the button's colours are compared");
    CachedSite site(kWalkWidth, kWalkHeight);
    const std::string dll = PluginBesideTheStack(site.server);
    const std::vector<uint8_t> wave = WaveFileOf(Square(4410, 100));
    site.server.Put("Media Library\\Things\\a-chime.wav", AsText(wave));
    const std::vector<uint8_t> sky = sb::BmpFile(sb::SolidPicture(kSky.cx, kSky.cy, 32, kSkyColour));
    site.server.Put("Media Library\\Things\\b-sky.bmp", AsText(sky));
    site.server.Put("Media Library\\Things\\c-badge.bttn", BadgeFile());
    const std::string name = site.Serve("walk", WalkStack());

    const BrowserRun probe =
        site.Run(name, {"--dll", dll, "--answer-alerts", "--command", "403@800", "--quit-after-last", "1000"});
    const std::vector<POINT> rows = ListRows(probe.log, 3);
    ASSERT_EQ(rows.size(), 3u) << Joined(probe.log);

    // The test browser sends input in turn, a drag across the card taking about a second: the
    // times leave each drag room to end before the next input and the save.
    const std::string copy = site.server.Name("walk-copy.stk"), sink = site.server.Name("sink.wav");
    const std::string before = site.server.Name("before.png");
    const BrowserRun run = site.Run(
        name, {"--dll", dll, "--answer-alerts", "--command", "403@800", "--drag",
               Point(rows[0]) + "-" + Point(kOnBell) + OnceShown("Media Browser", 700),
               "--drag", DragAt(rows[1], kOnBell, 2500), "--click", Point(kOnBell) + "@3400", "--screenshot", before,
               "--screenshot-after", "3900", "--drag", DragAt(rows[0], kBare, 4300), "--drag",
               DragAt(rows[2], kBadgeAt, 5300), "--drag", DragAt(rows[2], kBadgeOnBell, 6300), "--drag",
               DragAt(rows[1], kSkyDrop, 7300), "--dialog",
               "Clip Art|101|drag:2,2-" + Point({2 + kSkyCut.cx, 2 + kSkyCut.cy}) + "@8000", "--dialog",
               "Clip Art|OK|press@8800", "--click", "300,20@9400", "--command", std::to_string(kSave) + "@10400",
               "--answer-alert", "2340:2", "--save-copy", copy, "--quit-after-last", "1500"},
        {{"LOOM_QUICKTIME_SINK", sink}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    for (int i = 0; i < 3; ++i)
        EXPECT_NE(FindHolding(run.log, "drag(" + Point(rows[size_t(i)]) + "-"), -1) << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "drag(" + Point(rows[0]) + "-" + Point(kBare)), -1) << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "from SysListView32 "), -1) << "the drags start on the list\n" << Joined(run.log);
    EXPECT_GT(SinkAmplitude(ReadAll(sink)), 20.0) << "the click before saving plays the dropped sound\n" << Joined(run.log);
    const Shot unsaved(before);
    EXPECT_TRUE(Shows(unsaved.At(kOnBell.x, kOnBell.y), kBellColour)) << "the picture dropped on the graphic changes nothing";

    EXPECT_EQ(FindHolding(run.log, "NPN_GetURL(instance=1, url=http://localhost/a-chime.wav"), -1) << Joined(run.log);

    site.server.Put("a-chime.wav", AsText(wave));
    const std::string shot = site.server.Name("reopened.png"), sink2 = site.server.Name("sink2.wav");
    const BrowserRun reopened = site.Run("walk-copy.stk", {"--dll", dll, "--answer-alerts", "--screenshot", shot,
                                                           "--screenshot-after", "1200", "--click",
                                                           Point(kOnBell) + "@1600", "--quit-after-last", "1400"},
                                         {{"LOOM_QUICKTIME_SINK", sink2}});
    ASSERT_EQ(reopened.exitCode, 0) << reopened.errors << Joined(reopened.log);
    EXPECT_NE(FindHolding(reopened.log, "NPN_GetURL(instance=1, url=http://localhost/a-chime.wav"), -1)
        << Joined(reopened.log);
    EXPECT_GT(SinkAmplitude(ReadAll(sink2)), 20.0) << "the reopened graphic plays its sound\n" << Joined(reopened.log);
    const Shot card(shot);
    EXPECT_TRUE(Shows(card.At(kOnBell.x, kOnBell.y), kBellColour)) << Hex(card.At(kOnBell.x, kOnBell.y));
    EXPECT_TRUE(Shows(card.At(kBell.left - 1, kBell.top + 5), kWalkGround));
    // The badge: 60 x 30 centred on the drop point, a black border round its fill.
    const RECT badge = {kBadgeAt.x - 30, kBadgeAt.y - 15, kBadgeAt.x + 30, kBadgeAt.y + 15};
    const uint32_t fill = card.At(kBadgeAt.x, kBadgeAt.y);
    EXPECT_FALSE(Shows(fill, kWalkGround)) << "no badge where it was dropped";
    for (POINT edge : {POINT{badge.left, kBadgeAt.y}, POINT{badge.right - 1, kBadgeAt.y}, POINT{kBadgeAt.x, badge.top},
                       POINT{kBadgeAt.x, badge.bottom - 1}})
        EXPECT_EQ(card.At(edge.x, edge.y), 0u) << "border at " << Point(edge);
    for (POINT inside : {POINT{badge.left + 1, kBadgeAt.y}, POINT{badge.right - 2, kBadgeAt.y},
                         POINT{kBadgeAt.x, badge.top + 1}, POINT{kBadgeAt.x, badge.bottom - 2}})
        EXPECT_EQ(card.At(inside.x, inside.y), fill) << "fill at " << Point(inside);
    for (POINT outside : {POINT{badge.left - 1, kBadgeAt.y}, POINT{badge.right, kBadgeAt.y}, POINT{kBadgeAt.x, badge.top - 1},
                          POINT{kBadgeAt.x, badge.bottom}})
        EXPECT_TRUE(Shows(card.At(outside.x, outside.y), kWalkGround)) << "ground at " << Point(outside);

    // The second badge lies over the bell's lower edge, the bell's top still showing above it.
    EXPECT_EQ(card.At(kBadgeOnBell.x, kBadgeOnBell.y), fill) << "no badge over the bell";
    EXPECT_EQ(card.At(kBadgeOnBell.x - 30, kBadgeOnBell.y), 0u) << "its left border";
    EXPECT_TRUE(Shows(card.At(kBadgeOnBell.x, kBadgeOnBell.y - 16), kBellColour));
    EXPECT_TRUE(Shows(card.At(kBadgeOnBell.x, kBadgeOnBell.y + 16), kWalkGround));
    // The part of the sky cut in the Clip Art dialog was pasted into the card's picture where it
    // was let go, centred there.
    const RECT clip = {kSkyDrop.x - kSkyCut.cx / 2, kSkyDrop.y - kSkyCut.cy / 2, kSkyDrop.x + kSkyCut.cx / 2,
                       kSkyDrop.y + kSkyCut.cy / 2};
    for (POINT inside : {POINT{clip.left + 1, clip.top + 1}, POINT{clip.right - 2, clip.bottom - 2},
                         POINT{(clip.left + clip.right) / 2, (clip.top + clip.bottom) / 2}})
        EXPECT_TRUE(Shows(card.At(inside.x, inside.y), kSkyColour))
            << "sky at " << Point(inside) << " " << Hex(card.At(inside.x, inside.y));
    for (POINT outside : {POINT{clip.left - 2, clip.top + 5}, POINT{clip.right + 1, clip.top + 5},
                          POINT{clip.left + 5, clip.top - 2}, POINT{clip.left + 5, clip.bottom + 1}})
        EXPECT_TRUE(Shows(card.At(outside.x, outside.y), kWalkGround)) << "ground at " << Point(outside);
    EXPECT_TRUE(Shows(card.At(kWalkWidth / 2, kWalkHeight / 2), kWalkGround)) << "nothing in the card's middle";

    // The card's own click plays the sound dropped on bare card.
    const std::string sink3 = site.server.Name("sink3.wav");
    const BrowserRun bare = site.Run("walk-copy.stk",
                                     {"--dll", dll, "--answer-alerts", "--click", Point(kBare) + "@1600", "--quit-after-last", "1400"},
                                     {{"LOOM_QUICKTIME_SINK", sink3}});
    ASSERT_EQ(bare.exitCode, 0) << bare.errors << Joined(bare.log);
    EXPECT_GT(SinkAmplitude(ReadAll(sink3)), 20.0) << "a click on bare card plays its sound\n" << Joined(run.log) << Joined(bare.log);
}

// ---- clip art from a dropped picture ----

// A picture dropped on bare card and cut in the Clip Art dialog floats where it was dropped; a
// drag moves it, and a right click on the button beside it keeps it in the card picture, ends
// the placing in the object tools and shows the button's menu. The first Shift+Tab then goes on
// to browsing (no menu on the next right click). A second drop, placed, goes with Escape. Saved
// and reopened, the first cut lies where it was moved to, the second nowhere.
TEST(MediaLibInBrowser, ClipArtFromADropIsPlacedWhereDroppedMovedAndEndedLikeAnyPlacing) {
    SKIP_UNLESS_TRUE_COLOUR("the card's and the picture's colours are compared");
    CachedSite site(kWalkWidth, kWalkHeight);
    const std::string name = site.Serve("clip", Built(GroundStack(sb::Button(10, {10, 10, 90, 40}, "Play"))));
    const std::vector<uint8_t> sky = sb::BmpFile(sb::SolidPicture(kSky.cx, kSky.cy, 32, kSkyColour));
    const std::string picture = site.server.Put("pictures\\clip-sky.bmp", AsText(sky));
    constexpr POINT kDropped = {200, 150}, kMovedBy = {40, 30}, kEscaped = {100, 170};
    const std::string cut = "Clip Art|101|drag:2,2-" + Point({2 + kSkyCut.cx, 2 + kSkyCut.cy});
    const std::string copy = site.server.Name("clip-copy.stk"), placed = site.server.Name("clip-placed.png");
    const BrowserRun run = site.Run(
        name, {"--answer-alerts", "--drop", picture + "@" + Point(kDropped) + "@800", "--dialog", cut + "@2000",
               "--dialog", "Clip Art|OK|press@2800", "--screenshot", placed, "--screenshot-after", "3400", "--drag",
               DragAt(kDropped, {kDropped.x + kMovedBy.x, kDropped.y + kMovedBy.y}, 3700), "--right-click",
               "50,25@5200", "--key", "Escape" + OnceShown("menu", 400), "--key", "shift+Tab@5900", "--right-click", "50,25@6200",
               "--drop", picture + "@" + Point(kEscaped) + "@6700", "--dialog", cut + "@7900", "--dialog",
               "Clip Art|OK|press@8700", "--key", "Escape@9300", "--command", std::to_string(kSave) + "@9800",
               "--answer-alert", "2340:2", "--save-copy", copy, "--quit-after-last", "1500"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    // Floating where it was dropped: the cut centred on the drop point.
    const Shot floating(placed);
    EXPECT_TRUE(Shows(floating.At(kDropped.x, kDropped.y), kSkyColour)) << Hex(floating.At(kDropped.x, kDropped.y));
    EXPECT_TRUE(Shows(floating.At(kDropped.x - kSkyCut.cx / 2 - 3, kDropped.y), kWalkGround));
    // The right click beside it kept it and opened the button's menu; after Shift+Tab none.
    const int menu = FindHolding(run.log, "shown(menu)");
    ASSERT_NE(menu, -1) << Joined(run.log);
    EXPECT_NE(run.log[size_t(menu)].find("\"Button: Play...\""), std::string::npos) << run.log[size_t(menu)];
    const int tab = FindHolding(run.log, "key(shift+Tab)");
    ASSERT_GT(tab, menu) << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "shown(menu)", tab), -1) << "Shift+Tab went on to browsing\n" << Joined(run.log);

    const std::string shot = site.server.Name("clip-reopened.png");
    const BrowserRun reopened = site.Run("clip-copy.stk", {"--screenshot", shot, "--screenshot-after", "1200",
                                                           "--quit-after-last", "400"});
    ASSERT_EQ(reopened.exitCode, 0) << reopened.errors << Joined(reopened.log);
    const Shot again(shot);
    const POINT moved = {kDropped.x + kMovedBy.x, kDropped.y + kMovedBy.y};
    for (POINT inside : {moved, POINT{moved.x - kSkyCut.cx / 2 + 1, moved.y - kSkyCut.cy / 2 + 1},
                         POINT{moved.x + kSkyCut.cx / 2 - 2, moved.y + kSkyCut.cy / 2 - 2}})
        EXPECT_TRUE(Shows(again.At(inside.x, inside.y), kSkyColour)) << "sky at " << Point(inside) << " "
                                                                     << Hex(again.At(inside.x, inside.y));
    for (POINT outside : {kDropped, kEscaped, POINT{moved.x - kSkyCut.cx / 2 - 2, moved.y}})
        EXPECT_TRUE(Shows(again.At(outside.x, outside.y), kWalkGround)) << "ground at " << Point(outside) << " "
                                                                        << Hex(again.At(outside.x, outside.y));
}

// A menu or a dialog of the plug-in left open when the page closes ends, and the page closes
// (not the browser's ten-second give-up, code 10); --close-dialogs ends a menu at once.
TEST(MediaLibInBrowser, AMenuOrDialogLeftOpenEndsWhenThePageCloses) {
    struct Case {
        std::vector<std::string> args;
        const char* shown;
    };
    const std::vector<Case> cases = {
        {{"--key", "shift+Tab@900", "--right-click", "50,25@1300"}, "shown(menu)"},
        {{"--command", "301@1000"}, "shown(About Card"},
        {{"--close-dialogs", "--key", "shift+Tab@900", "--right-click", "50,25@1300"}, "menu closed"},
    };
    for (const Case& c : cases) {
        ServerFolder server;
        const std::string name = ServeStack(server, "open", ButtonStack());
        std::vector<std::string> args = c.args;
        Append(args, {"--quit-after", "2500"});
        const BrowserRun run = RunPage(server, name, "200x120", args);
        ASSERT_EQ(run.exitCode, 0) << c.shown << "\n" << run.errors << Joined(run.log);
        const int shown = FindHolding(run.log, c.shown);
        ASSERT_NE(shown, -1) << Joined(run.log);
        EXPECT_NE(FindHolding(run.log, "gone(", shown), -1) << Joined(run.log);
        EXPECT_NE(FindHolding(run.log, "NPP_Destroy(instance=1) -> 0", shown), -1) << Joined(run.log);
    }
}

}  // namespace
