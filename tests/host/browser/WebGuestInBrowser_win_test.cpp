// A stack from the web stays a guest of this machine, in the real plug-in in the test browser:
// its arrive action and its timer open no device (the simulated videodisc player and the test
// capture driver), a click does, and the same stack from the disk opens them as before; the
// mouse passing over its rollover buttons starts no device, program or address, a click on a
// plain button with the same actions does; saved to this machine, it stays a guest (its timers
// open no device, its names are asked of its site); its names are asked of its site even after a
// stack of this machine was opened and gone back from; a stack a move asked for that the server
// sends after the move was given up opens nothing, and one a once-only timer moves to that never
// comes is asked for once; and a file too large or too slow is given up with the alert, the
// cache's other files kept.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "StackBuilder.h"
#include "format/StackFile.h"
#include "host/downloads/DownloadCache.h"
#include "media/videodisc/VideodiscRecord.h"
#include "tests/support/DisplayDepth_win.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/Shots_win.h"
#include "tests/support/browser/WalkStacks_win.h"
#include "tests/support/ProcessNames_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr sb::Rgb kCardBlue = {40, 40, 200};

// A videodisc segment of the frames with live video over the rectangle, as a button's action.
void PlaySegment(sb::Object& owner, sb::Rect rect, uint32_t from, uint32_t to) {
    sb::Chunk segment;
    segment.kind = kTagVideodisc;
    segment.rect = rect;
    segment.words.push_back({kChunkSoundFlags, kVdActionLiveVideo});
    const VideodiscCommandText start = MakeStartCommand("060", '3', from), end = MakeEndCommand(from, to, "FR");
    segment.payload.assign(start.begin(), start.end());
    segment.payload.insert(segment.payload.end(), end.begin(), end.end());
    owner.words.push_back({kButtonActionFlags, kActVideodisc});
    owner.chunks.push_back(segment);
}

// Where each segment shows its live video: the card's arrive action (frames 111 to 222), a
// button's timer a second after the card is shown (333 to 444), a click on "Disc" (150 to 300).
constexpr sb::Rect kArriveRect = {10, 20, 150, 100}, kTimerRect = {170, 20, 310, 100}, kClickRect = {10, 110, 150, 190};
constexpr sb::Rect kDiscButton = {10, 200, 70, 230};

std::string DevicesStack() {
    sb::Stack s;
    s.cardWidth = kWidth;
    s.cardHeight = kHeight;
    sb::Card card = ColourCard(1, kCardBlue, kWidth, kHeight);
    sb::Object arrive = sb::Button(0, {0, 0, 0, 0}, "");
    PlaySegment(arrive, kArriveRect, 111, 222);
    s.resources.push_back({"Actn", 128, "", 0, 0, sb::ActionRecord(arrive)});
    card.actions[0] = 128;
    sb::Object disc = sb::ShapedButton(1, kDiscButton, "Disc", 1);
    PlaySegment(disc, kClickRect, 150, 300);
    sb::Object tick = sb::ShapedButton(2, {250, 200, 310, 230}, "Tick", 1);
    PlaySegment(tick, kTimerRect, 333, 444);
    sb::SetTimer(tick, 1, 1);
    card.objects = {disc, tick};
    s.cards = {card};
    s.nextObjectId = 3;
    return Built(s);
}

// The test picture's bars (yellow the second of eight) over the rectangle's upper half.
bool ShowsLiveVideo(const Shot& shot, const sb::Rect& r) {
    const int x = r.left + 1 + (r.right - r.left - 2) * 3 / 16, y = r.top + (r.bottom - r.top) / 3;
    return NearRgb(shot.At(x, y), 255, 255, 0, 24);
}

bool ShowsTheCard(const Shot& shot, const sb::Rect& r) {
    const int x = r.left + 1 + (r.right - r.left - 2) * 3 / 16, y = r.top + (r.bottom - r.top) / 3;
    return NearRgb(shot.At(x, y), kCardBlue.red, kCardBlue.green, kCardBlue.blue, 24);
}

}  // namespace

TEST(WebGuestInBrowser, ADevicesActionOfAWebStackRunsOnlyWhenAClickStartedIt) {
    CachedSite site(kWidth, kHeight);
    const std::string name = site.Serve("guest", DevicesStack());
    const std::string stackPath = site.server.path + "\\" + name;
    const std::string before = site.server.Name("guest.png"), after = site.server.Name("guest-t2.png");
    const std::string log = site.server.Name("guest-player.log");
    const BrowserRun run = site.Run(name, {"--answer-alerts", "--screenshot", before, "--screenshot-after", "2600",
                                           "--click", "40,215@3000", "--screenshot-after", "4400", "--quit-after-last", "600"},
                                    {{"LOOM_VIDEODISC_LOG", WindowsPath(log)}, {"LOOM_CAPTURE_DRIVER", "1"}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "alert("), -1) << Joined(run.log);
    const std::vector<std::string> player = Lines(ReadFile(log));
    EXPECT_EQ(Find(player, "seek 111"), -1) << "the arrive action opened the player\n" << Joined(player);
    EXPECT_EQ(Find(player, "seek 333"), -1) << "the timer opened the player\n" << Joined(player);
    EXPECT_NE(Find(player, "seek 150"), -1) << "the click plays its segment\n" << Joined(player);
    EXPECT_NE(Find(player, "play to 300"), -1) << Joined(player);
    const Shot first(before), second(after);
    ASSERT_EQ(first.width, UINT(kWidth));
    EXPECT_TRUE(ShowsTheCard(first, kArriveRect)) << "no live video on arrival: " << Hex(first.At(40, 40));
    EXPECT_TRUE(ShowsTheCard(first, kTimerRect)) << "nor by the timer";
    EXPECT_TRUE(ShowsTheCard(first, kClickRect)) << "nor before the click";
    EXPECT_TRUE(ShowsLiveVideo(second, kClickRect)) << "the click shows it";
    EXPECT_TRUE(ShowsTheCard(second, kArriveRect));

    // The same stack opened from this machine's disk (the Open command) is the person's own: its
    // arrive action and its timer play.
    const std::string local = site.server.Name("guest-local.log");
    std::vector<std::string> diskArgs = {"--answer-alerts", "--command", "101@1000", "--quit-after-last", "3000"};
    Append(diskArgs, OpenDialogAt(stackPath, 1400, 300));
    const BrowserRun disk = site.Run(name, diskArgs, {{"LOOM_VIDEODISC_LOG", WindowsPath(local)}, {"LOOM_CAPTURE_DRIVER", "1"}});
    ASSERT_EQ(disk.exitCode, 0) << disk.errors << Joined(disk.log);
    const std::vector<std::string> played = Lines(ReadFile(local));
    EXPECT_NE(Find(played, "seek 111"), -1) << Joined(played);
    EXPECT_NE(Find(played, "seek 333"), -1) << Joined(played);
}

// The web stack's two cards show a graphic that names a picture by a path of this machine,
// where a red picture of that name lies; the site has a green one of the name. A stack of this
// machine opened with the Open command shows its own picture from beside it (grey, never asked
// of the site); Back goes into the web stack again, which shows the site's picture.
TEST(WebGuestInBrowser, AWebStackGoneBackToAfterALocalOneAsksItsSiteForItsNames) {
    CachedSite site(kWidth, kHeight);
    ServerFolder here;  // this machine's files, not on the site
    const std::string pid = ProcessTag();
    const sb::Picture red = sb::SolidPicture(40, 40, 32, 0xE00000), green = sb::SolidPicture(40, 40, 32, 0x00C000);
    const sb::Picture grey = sb::SolidPicture(40, 40, 32, 0x808080);
    const std::string named = here.Put("pic-" + pid + ".bmp", AsText(sb::BmpFile(red)));
    site.server.Put("pic-" + pid + ".bmp", AsText(sb::BmpFile(green)));
    const std::string localPicture = here.Put("mine-" + pid + ".bmp", AsText(sb::BmpFile(grey)));

    // True colour throughout: the pictures keep their own colours.
    const auto graphicCard = [](uint16_t id, const std::string& path) {
        sb::Card card = sb::PictureCard(id, sb::SolidPicture(kWidth, kHeight, 32, sb::Pixel32(kCardBlue)));
        sb::Object graphic = sb::Graphic(1, {100, 100, 140, 140}, "Named");
        graphic.mask.clear();
        sb::SetGraphicFile(graphic, path, {0, 0, 40, 40});
        card.objects = {graphic};
        return card;
    };
    sb::Stack web = sb::EditableStack(kWidth, kHeight, 32);
    web.cards = {graphicCard(1, named), graphicCard(2, named)};
    web.nextObjectId = 2;
    const std::string name = "away-" + pid + ".stk";
    site.server.Put(name, Built(web));
    sb::Stack mine = web;
    mine.cards = {graphicCard(1, localPicture)};
    const std::string minePath = here.Put("mine-" + pid + ".stk", Built(mine));

    const std::string shot = site.server.Name("away.png"), opened = site.server.Name("away-t2.png"),
                      back = site.server.Name("away-t3.png");
    std::vector<std::string> args = {"--answer-alerts", "--screenshot", shot, "--screenshot-after", "1000",
                                     "--command", "204@1400", "--command", "101@2000"};
    Append(args, OpenDialogAt(minePath, 2400, 300));
    Append(args, {"--screenshot-after", "3600", "--command", "200@4000", "--screenshot-after", "5200", "--quit-after-last", "600"});
    const BrowserRun run = site.Run(name, args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "shown(Please find"), -1) << "nothing of the web stack is looked for here\n"
                                                              << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "url=http://localhost/pic-" + pid + ".bmp"), -1) << Joined(run.log);
    for (int at = Find(run.log, "NPN_GetURL("); at != -1; at = Find(run.log, "NPN_GetURL(", at + 1))
        EXPECT_EQ(run.log[at].find("mine-"), std::string::npos) << "the local stack's files are not the site's: "
                                                                 << run.log[at];
    const auto colourAt = [](const std::string& file) { return Shot(file).At(120, 120); };
    if (DisplayBits() > 8) {
        EXPECT_TRUE(NearRgb(colourAt(shot), 0, 0xC0, 0, 24)) << "the site's picture: " << Hex(colourAt(shot));
        EXPECT_TRUE(NearRgb(colourAt(opened), 0x80, 0x80, 0x80, 24)) << "this machine's: " << Hex(colourAt(opened));
        EXPECT_TRUE(NearRgb(colourAt(back), 0, 0xC0, 0, 24)) << "the site's again, never the red one here: "
                                                              << Hex(colourAt(back)) << Joined(run.log);
    } else {
        EXPECT_NE(colourAt(back), colourAt(opened));
        EXPECT_EQ(colourAt(back), colourAt(shot));
    }
}

// A button moves to another stack of the site, which the server sends only after eight
// seconds: the move is given up after six, and the stack that comes later opens nothing: the
// card stays, and the page's stack is still the one.
TEST(WebGuestInBrowser, AStackTheServerSendsAfterTheMoveWasGivenUpOpensNothing) {
    CachedSite site(kWidth, kHeight);
    const std::string pid = ProcessTag();
    const std::string late = "late-" + pid + ".stk";
    sb::Stack there;
    there.cardWidth = kWidth;
    there.cardHeight = kHeight;
    there.cards = {ColourCard(1, {0, 200, 0}, kWidth, kHeight)};
    site.server.Put(late, Built(there));
    sb::Stack home;
    home.cardWidth = kWidth;
    home.cardHeight = kHeight;
    home.cards = {ColourCard(1, kCardBlue, kWidth, kHeight)};
    sb::Object go = sb::ShapedButton(1, kDiscButton, "Go", 1);
    go.words.push_back({kButtonDestination, static_cast<uint16_t>(-6)});
    go.words.push_back({kButtonActionFlags, kActGoTo | kActOtherStack});
    go.chunks.push_back(sb::PathChunk(kTagOtherStack, "Disk:" + late));
    home.cards[0].objects = {go};
    home.nextObjectId = 2;
    const std::string name = "home-" + pid + ".stk";
    site.server.Put(name, Built(home));
    const std::string shot = site.server.Name("late.png");
    const BrowserRun run = site.Run(name, {"--answer-alerts", "--answer-late", late + "@8000", "--click", "40,215@800",
                                           "--screenshot", shot, "--screenshot-after",
                                           "logged:NPP_DestroyStream(instance=1, url=http://localhost/" + late + "+1500",
                                           "--quit-after-last", "500"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const int asked = FindHolding(run.log, "url=http://localhost/" + late);
    ASSERT_NE(asked, -1) << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "NPP_NewStream(instance=1, type=application/lmpk, url=http://localhost/" + late, asked),
              -1)
        << "the server answered after all\n" << Joined(run.log);
    const Shot card(shot);
    ASSERT_EQ(card.width, UINT(kWidth));
    EXPECT_TRUE(NearRgb(card.At(200, 60), kCardBlue.red, kCardBlue.green, kCardBlue.blue, 24))
        << "the page's stack stays: " << Hex(card.At(200, 60)) << Joined(run.log);
}

namespace {

constexpr char kConsentTitle[] = "Start a Program?";
constexpr sb::Rect kHoverDisc = {10, 130, 70, 160}, kHoverRun = {80, 130, 140, 160}, kHoverAddress = {150, 130, 210, 160},
                   kPlainAll = {220, 130, 300, 160};

// Rollover buttons (the mouse passing over them is what they react to) with a videodisc segment
// and its live video, a document to launch and an address that asks before it opens; a plain
// button with all three.
std::string RolloverStack(const std::string& document) {
    sb::Stack s;
    s.cardWidth = kWidth;
    s.cardHeight = kHeight;
    sb::Card card = ColourCard(1, kCardBlue, kWidth, kHeight);
    sb::Object disc = sb::ShapedButton(1, kHoverDisc, "Disc", 1);
    PlaySegment(disc, kArriveRect, 111, 222);
    sb::Object run = sb::ShapedButton(2, kHoverRun, "Run", 1);
    sb::LaunchDocument(run, document);
    sb::Object address = sb::ShapedButton(3, kHoverAddress, "News", 1);
    sb::OpenAddress(address, "news:loom.rollover");
    for (sb::Object* rollover : {&disc, &run, &address})
        rollover->flags |= kButtonNoClick;
    sb::Object all = sb::ShapedButton(4, kPlainAll, "All", 1);
    PlaySegment(all, kClickRect, 150, 300);
    sb::LaunchDocument(all, document);
    sb::OpenAddress(all, "news:loom.click");
    card.objects = {disc, run, address, all};
    s.cards = {card};
    s.nextObjectId = 5;
    return Built(s);
}

}  // namespace

TEST(WebGuestInBrowser, TheMousePassingOverRolloverButtonsStartsNothingAClickOnTheSameActionsDoes) {
    CachedSite site(kWidth, kHeight);
    const std::string document = site.server.Put("notes.txt", "notes");
    const std::string name = site.Serve("rollover", RolloverStack(document));
    const std::string log = site.server.Name("rollover-player.log");
    const BrowserRun run = site.Run(name, {"--answer-alerts", "--close-dialogs",
                                           "--hover", Centre(kHoverDisc) + "@1000", "--hover", Centre(kHoverRun) + "@1400",
                                           "--hover", Centre(kHoverAddress) + "@1800", "--hover", Centre(kHoverDisc) + "@2200",
                                           "--hover", "160,40@2600", "--click", Centre(kPlainAll) + "@3200",
                                           "--quit-after-last", "2500"},
                                    {{"LOOM_VIDEODISC_LOG", WindowsPath(log)}, {"LOOM_CAPTURE_DRIVER", "1"}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const int clicked = FindHolding(run.log, "click(" + Centre(kPlainAll));
    ASSERT_NE(clicked, -1) << Joined(run.log);
    // The address asks first; the launch asks, or says it could not start the document.
    int started = 0;
    for (int i = 0; i < static_cast<int>(run.log.size()); ++i) {
        if (run.log[i].find(std::string("shown(") + kConsentTitle) == std::string::npos &&
            run.log[i].find("alert=2344") == std::string::npos)
            continue;
        EXPECT_GT(i, clicked) << "a program or an address before the click: " << run.log[i] << "\n" << Joined(run.log);
        ++started;
    }
    EXPECT_EQ(started, 2) << "the click's address and document\n" << Joined(run.log);
    const std::vector<std::string> player = Lines(ReadFile(log));
    EXPECT_EQ(Find(player, "seek 111"), -1) << "the mouse over the button played its segment\n" << Joined(player);
    EXPECT_NE(Find(player, "seek 150"), -1) << "the click plays its segment\n" << Joined(player);
}

// Card 2 of the stack plays a videodisc segment with live video when it is entered and, a second
// later, by its timer, which then moves to card 3, whose graphic names a picture by a path of
// this machine (a red one lies there; the site has a green one of the name).
TEST(WebGuestInBrowser, AWebStackSavedToThisMachineStaysItsSitesGuest) {
    CachedSite site(kWidth, kHeight);
    ServerFolder here;
    const std::string pid = std::to_string(GetCurrentProcessId());
    const std::string picture = "kept-" + pid + ".bmp";
    const std::string named = here.Put(picture, AsText(sb::BmpFile(sb::SolidPicture(40, 40, 32, 0xE00000))));
    site.server.Put(picture, AsText(sb::BmpFile(sb::SolidPicture(40, 40, 32, 0x00C000))));
    sb::Stack s;
    s.cardWidth = kWidth;
    s.cardHeight = kHeight;
    sb::Card second = ColourCard(2, kCardBlue, kWidth, kHeight);
    sb::Object arrive = sb::Button(0, {0, 0, 0, 0}, "");
    PlaySegment(arrive, kArriveRect, 111, 222);
    s.resources.push_back({"Actn", 128, "", 0, 0, sb::ActionRecord(arrive)});
    second.actions[0] = 128;
    sb::Object tick = sb::ShapedButton(1, {250, 200, 310, 230}, "Tick", 1, 0, -1);
    PlaySegment(tick, kTimerRect, 333, 444);
    tick.words.push_back({kButtonActionFlags, kActVideodisc | kActGoTo});
    sb::SetTimer(tick, 1, 1);
    second.objects = {tick};
    sb::Card third = ColourCard(3, kCardBlue, kWidth, kHeight);
    sb::Object graphic = sb::Graphic(2, {100, 100, 140, 140}, "Named");
    graphic.mask.clear();
    sb::SetGraphicFile(graphic, named, {0, 0, 40, 40});
    third.objects = {graphic};
    s.cards = {ColourCard(1, kCardBlue, kWidth, kHeight), second, third};
    s.nextObjectId = 3;
    const std::string name = site.Serve("saved", Built(s));
    const std::string saved = here.Name("saved-" + pid + ".stk"), log = site.server.Name("saved-player.log");
    const BrowserRun run = site.Run(name, {"--answer-alerts", "--command", "102@1000", "--save-copy", saved,
                                           "--command", "204" + OnceLogged("saved(", 500),
                                           "--screenshot-after", OnceLogged("url=http://localhost/" + picture, 1500).substr(1),
                                           "--quit-after-last", "500"},
                                    {{"LOOM_VIDEODISC_LOG", WindowsPath(log)}, {"LOOM_CAPTURE_DRIVER", "1"}});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const int savedAt = FindHolding(run.log, "saved(");
    ASSERT_NE(savedAt, -1) << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "NPN_GetURL(instance=1, url=http://localhost/" + picture, savedAt), -1)
        << "the saved stack asks its site for what it names\n" << Joined(run.log);
    EXPECT_EQ(FindHolding(run.log, "shown(Please find"), -1) << Joined(run.log);
    const std::vector<std::string> player = Lines(ReadFile(log));
    EXPECT_EQ(Find(player, "seek 111"), -1) << "its arrive action opened the player\n" << Joined(player);
    EXPECT_EQ(Find(player, "seek 333"), -1) << "its timer opened the player\n" << Joined(player);
}

// A button plays a sound the site serves 40 MB long, another one that drips a byte every half
// second; a picture of the card was downloaded before. Each is given up with the alert naming it,
// its partial copy goes, and the picture stays in the cache.
TEST(WebGuestInBrowser, AFileTooLargeOrTooSlowIsGivenUpAndTheCacheKeepsItsOtherFiles) {
    CachedSite site(kWidth, kHeight);
    const std::string pid = std::to_string(GetCurrentProcessId());
    const std::string picture = "stays-" + pid + ".bmp", big = "big-" + pid + ".wav", drip = "drip-" + pid + ".wav";
    site.server.Put(picture, AsText(sb::BmpFile(sb::SolidPicture(40, 40, 32, 0x00C000))));
    site.server.Put(big, "RIFF");
    site.server.Put(drip, std::string(2000, 'd'));
    sb::Stack s;
    s.cardWidth = kWidth;
    s.cardHeight = kHeight;
    sb::Card card = ColourCard(1, kCardBlue, kWidth, kHeight);
    sb::Object graphic = sb::Graphic(1, {100, 20, 140, 60}, "Stays");
    graphic.mask.clear();
    sb::SetGraphicFile(graphic, "C:\\site\\" + picture, {0, 0, 40, 40});
    sb::Object bigButton = sb::ShapedButton(2, {10, 200, 70, 230}, "Big", 1);
    sb::PlaySoundFile(bigButton, "C:\\site\\" + big);
    sb::Object dripButton = sb::ShapedButton(3, {250, 200, 310, 230}, "Drip", 1);
    sb::PlaySoundFile(dripButton, "C:\\site\\" + drip);
    card.objects = {graphic, bigButton, dripButton};
    s.cards = {card};
    s.nextObjectId = 4;
    const std::string name = site.Serve("bounds", Built(s));
    const BrowserRun run = site.Run(name, {"--answer-alerts", "--chunk", "65536", "--huge", big + "@41943040",
                                           "--drip", drip + "@500", "--click", "40,215@1000",
                                           "--click", "280,215" + OnceLogged("alert(", 500),
                                           "--quit-after-last", "9000"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "could not get the file " + big), -1) << Joined(run.log);
    EXPECT_NE(FindHolding(run.log, "could not get the file " + drip), -1) << Joined(run.log);
    std::vector<std::string> kept;
    WIN32_FIND_DATAA found;
    const std::string folder = site.cache + "\\Pageloom Cache\\";
    uint64_t largest = 0;
    if (HANDLE find = FindFirstFileA((folder + "*.*").c_str(), &found); find != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                kept.push_back(found.cFileName);
                largest = std::max<uint64_t>(largest, uint64_t{found.nFileSizeHigh} << 32 | found.nFileSizeLow);
            }
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    EXPECT_EQ(std::count_if(kept.begin(), kept.end(), [](const std::string& f) { return f.ends_with(".bmp"); }), 1)
        << "the picture stays in the cache: " << Joined(kept);
    EXPECT_EQ(std::count_if(kept.begin(), kept.end(), [](const std::string& f) { return f.ends_with(".wav"); }), 0)
        << "no partial copy is left: " << Joined(kept);
    EXPECT_LT(largest, uint64_t{kMaxDownloadBytes} + 1) << Joined(kept);
}

// A once-only timer moves to a stack the site does not have: the move asks for it once and is
// given up; the card it stays on does not start that timer again.
TEST(WebGuestInBrowser, AOnceOnlyTimersMoveToAStackThatNeverComesAsksForItOnce) {
    CachedSite site(kWidth, kHeight);
    const std::string never = "never-" + std::to_string(GetCurrentProcessId()) + ".stk";
    sb::Stack home;
    home.cardWidth = kWidth;
    home.cardHeight = kHeight;
    home.cards = {ColourCard(1, kCardBlue, kWidth, kHeight)};
    sb::Object go = sb::ShapedButton(1, kDiscButton, "Go", 1);
    go.words.push_back({kButtonDestination, static_cast<uint16_t>(-6)});
    go.words.push_back({kButtonActionFlags, kActGoTo | kActOtherStack});
    go.chunks.push_back(sb::PathChunk(kTagOtherStack, "Disk:" + never));
    sb::SetTimer(go, 1, 1);
    home.cards[0].objects = {go};
    home.nextObjectId = 2;
    const std::string name = site.Serve("once", Built(home));
    const BrowserRun run = site.Run(name, {"--answer-alerts", "--quit-after", "11000"});
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    int asked = 0;
    for (const std::string& line : run.log)
        asked += line.find("NPN_GetURL(instance=1, url=http://localhost/" + never) != std::string::npos ? 1 : 0;
    EXPECT_EQ(asked, 1) << Joined(run.log);
}
