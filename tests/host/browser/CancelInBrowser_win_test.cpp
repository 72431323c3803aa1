// Cancel changes nothing, in the real plug-in in the test browser: every authoring dialog the
// plug-in has (from the menus, from an object's menu and from inside other dialogs) is opened,
// changed, its inner dialogs answered with OK, and cancelled; Save As then writes the stack byte
// for byte as a save before. Cards only looked at change nothing either, at any depth. And choices from an object's menu that are kept: a special
// destination over one in another stack, and a button made a group object.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "StackBuilder.h"
#include "format/StackFile.h"
#include "tests/support/ReportJson.h"
#include "tests/support/browser/BrowserRun_win.h"
#include "tests/support/browser/BrowserSites_win.h"
#include "tests/support/browser/WalkSteps_win.h"
#include "tests/support/browser/ReportQueries_win.h"
#include "tests/support/browser/LogLines_win.h"
#include "tests/support/browser/WalkStacks_win.h"

namespace {

using namespace browsertest;
namespace sb = stackbuilder;

constexpr int kWidth = 320, kHeight = 240;
constexpr sb::Rect kButtonRect{20, 20, 100, 50}, kAwayRect{120, 20, 200, 50}, kAnimRect{220, 100, 300, 130},
    kGraphicRect{220, 20, 280, 70}, kFieldRect{20, 150, 140, 200};
constexpr uint16_t kButtonId = 1, kAwayId = 2, kAnimId = 3, kGraphicId = 4, kFieldId = 5;
constexpr int kSave = 102, kSaveAs = 103;
// The object menu's own commands and its kinds of action (49 to 65 from 15850 on).
constexpr int kAppearance = 300, kStyle = 15867, kIcons = 15868, kFeatures = 15869, kNewAction = 15870;
constexpr int Kind(int code) { return 15850 + code - 49; }

// Three cards, red, green and blue, for a person who may edit. The first holds a button that
// goes to the second card, a button that goes to the first card of "other.stk", a button that
// plays an animation, a graphic and a text object; the second card shares the first's
// background.
sb::Stack CancelCards() {
    sb::Stack stack = sb::EditableStack(kWidth, kHeight, 8);
    const sb::Rgb colours[] = {{200, 40, 40}, {40, 200, 40}, {40, 40, 200}};
    for (uint16_t id = 1; id <= 3; ++id) {
        sb::Card card = sb::PictureCard(id, sb::SolidPicture(kWidth, kHeight, 8, 1));
        card.picture->palette = {{255, 255, 255}, colours[id - 1]};
        stack.cards.push_back(card);
    }
    std::vector<sb::Object>& objects = stack.cards[0].objects;
    objects.push_back(sb::ShapedButton(kButtonId, kButtonRect, "Go", 1, 0, 2));
    sb::Object away = sb::ShapedButton(kAwayId, kAwayRect, "Away", 1, 0, -6);
    away.words.push_back({kButtonActionFlags, kActGoTo | kActOtherStack});
    away.chunks.push_back(sb::PathChunk(kTagOtherStack, "Disk:other.stk"));
    objects.push_back(away);
    objects.push_back(sb::AnimationButton(kAnimId, kAnimRect, "Anim", TwoFrameSpriteBytes()));
    sb::Object graphic = sb::Graphic(kGraphicId, kGraphicRect, "Block");
    sb::SetGraphicPicture(graphic, sb::SolidPicture(kGraphicRect.right - kGraphicRect.left,
                                                    kGraphicRect.bottom - kGraphicRect.top, 8, 0));
    objects.push_back(graphic);
    objects.push_back(sb::TextField(kFieldId, kFieldRect, "Note", "Hello"));
    stack.nextObjectId = kFieldId + 1;
    // "Hello" in the field, a link to the next card.
    const sb::Object next = sb::ShapedButton(0, {}, "", 0, 0, -1);
    std::vector<uint8_t> link = sb::LinkData("Hello", {}, &next);
    link[0] = 0, link[1] = 1, link[2] = 0, link[3] = kFieldId;
    stack.resources.push_back({"Hlnk", 1, "Hello", 0, 0, link});
    return stack;
}

// A picture file to crop: 64 by 64, in two colours.
std::string BmpText() {
    sb::Picture picture = sb::SolidPicture(64, 64, 8, 1);
    picture.palette = {{255, 255, 255}, {30, 120, 200}};
    return AsText(sb::BmpFile(picture));
}

// The dialogs of the menus, each changed and cancelled; inner dialogs end with OK.
void MenuDialogs(TimedWalk& w, const std::string& stack) {
    const std::string card = "About Card - 1", look = "Button Appearance", text = "Text Appearance",
                      features = "Object Features", timer = "Automatic Timer";
    w.Command(301);
    w.Dialog(card, "Card name:", "type:Renamed");
    w.Dialog(card, "Marked card", "check");
    w.Dialog(card, "arriving at this card", "check");
    w.Dialog("Actions", "Automatic timer...", "check");
    w.Dialog(timer, "Activate button after card is shown", "check");
    w.Press(timer, "OK");
    w.Press("Actions", "Done");
    w.Cancel(card);
    w.Command(303);
    w.Dialog(stack, "clicking on this stack", "check");
    w.Dialog("Actions", "Automatic timer...", "check");
    w.Dialog(timer, "Activate button after card is shown", "check");
    w.Press(timer, "OK");
    w.Press("Actions", "Done");
    w.Dialog(stack, "Cursor...", "check");
    w.KeyInto("Cursors", "Home");
    w.Press("Cursors", "OK");
    w.Cancel(stack);
    for (const auto& [command, title, prompt] : {std::tuple{163, "Erase Background", "Choose the background color:"},
                                                 {360, "Text Color", "Choose a text color:"},
                                                 {361, "Eraser Color", "Choose eraser color:"}}) {
        w.Command(command);
        w.Dialog(title, prompt, "click:45,45");
        w.Cancel(title);
    }
    w.Command(104);  // its sources other than a disk file are not on this machine
    w.Cancel("Picture Source");
    w.Command(652);
    w.Dialog("Stack Preferences", "Automatically save stack", "check");
    w.Cancel("Stack Preferences");
    w.Command(359);
    w.Dialog("Text Style", "Bold", "check");
    w.Cancel("Text Style");
    w.Command(306);
    w.Dialog(look, "Name:", "type:Fresh");
    w.Press(look, "Icons...");
    w.KeyInto("Icons", "Home");
    w.Press("Icons", "OK");
    w.Press(look, "Features...");
    w.Dialog(features, "Locked", "check");
    w.Press(features, "OK");
    w.Press(look, "Format...");
    w.Dialog("Text Style", "Italic", "check");
    w.Press("Text Style", "OK");
    w.Cancel(look);
    w.Command(308);
    w.Step("--click", "300,20", 600);
    w.Dialog(text, "Name:", "type:Fresh");
    w.Cancel(text);
}

// The dialogs of the objects' menus (with the object tools), each changed and cancelled.
void ObjectDialogs(TimedWalk& w) {
    const std::string look = "Button Appearance", text = "Text Appearance", features = "Object Features",
                      transitions = "Transitions", timer = "Automatic Timer", style = "Text Style";
    w.Key("shift+Tab");
    // A button: its appearance with new features and actions (a QuickTime effect kept by the
    // transitions' OK), then the actions cancelled.
    w.Click(kButtonRect);
    w.Command(kAppearance);
    w.Dialog(look, "Name:", "type:Changed");
    w.Press(look, "Features...");
    w.Dialog(features, "Group Object", "check");
    w.Press(features, "OK");
    w.Press(look, "Actions...");
    w.Dialog("Actions", "Next card", "check");
    w.Dialog(transitions, "50", "choose:Cross Fade");
    w.Press(transitions, "OK");
    w.Cancel("Actions");
    w.Command(kIcons);
    w.KeyInto("Icons", "Home");
    w.Cancel("Icons");
    w.Command(kFeatures);
    w.Dialog(features, "Hidden", "check");
    w.Cancel(features);
    // A card walked to and kept by its OKs, then the actions cancelled.
    w.Command(kNewAction);
    w.Press("Actions", "Another card...");
    w.KeyInto("Move to card", "alt+Right");
    w.ms += 200;
    w.Press("Move to card", "OK");
    w.Press(transitions, "OK");
    w.Cancel("Actions");
    // The kinds of action, each dialog changed and cancelled (the walk left the button).
    w.Click(kButtonRect);
    w.Command(Kind(50));
    w.Dialog(transitions, "50", "choose:Dissolve");
    w.Cancel(transitions);
    w.Command(Kind(64));
    w.Dialog(timer, "Activate button after card is shown", "check");
    w.Cancel(timer);
    w.Command(Kind(59));
    w.Cancel("Digital Audio Deck");
    w.Command(Kind(61));
    w.Cancel("New Button Actions");
    w.Command(Kind(56));
    w.Dialog("Launch", "Quit Pageloom after launch", "check");
    w.Cancel("Launch");
    w.Command(Kind(57));
    w.Step("--keys", "example.com", 500);  // into the address box, which has the focus
    w.Cancel("Web Address");
    w.Command(Kind(65));
    w.Dialog("Testing", "be a correct answer.", "check");
    w.Cancel("Testing");
    w.Command(Kind(55));
    w.Cancel("Please select a stack");
    w.Command(Kind(62));
    w.Cancel("Video/Movie Source");
    // The animation of the "Anim" button: its dialog changed, its path's options changed (OK,
    // then changed and cancelled) and its points moved in the path editor; cancelled.
    const std::string animation = "Animation", options = "Path Options";
    w.Click(kAnimRect);
    w.Command(Kind(63));
    w.Dialog(animation, "Show first frame", "check");
    w.Dialog(animation, "1033", "choose:Path Options...");
    w.Dialog(options, "1026", "check");
    w.Dialog(options, "1021", "type:3");
    w.Press(options, "OK");
    w.Dialog(animation, "1033", "choose:Path Options...");
    w.Dialog(options, "1039", "check");
    w.Cancel(options);
    w.Dialog(animation, "1033", "choose:Edit Path...");
    w.Step("--key", "ctrl+a Down Down Down", 700);
    w.Step("--key", "Return", 700);
    w.Cancel(animation);
    // A graphic and a text object.
    w.Click(kGraphicRect);
    w.Command(kAppearance);
    w.Dialog("Graphic Appearance", "Name:", "type:Changed");
    w.Press("Graphic Appearance", "Actions...");
    w.Dialog("Actions", "Next card", "check");
    w.Dialog(transitions, "50", "choose:Cross Fade");
    w.Press(transitions, "OK");
    w.Dialog("Actions", "Testing functions...", "check");
    w.Dialog("Testing", "be a correct answer.", "check");
    w.Press("Testing", "OK");
    w.Press("Actions", "Done");
    w.Press("Graphic Appearance", "Features...");
    w.Dialog(features, "Cursor...", "check");
    w.KeyInto("Cursors", "Home");
    w.Press("Cursors", "OK");
    w.Press(features, "OK");
    w.Cancel("Graphic Appearance");
    w.Command(kFeatures);
    w.Dialog(features, "Locked", "check");
    w.Cancel(features);
    w.Click(kFieldRect);
    w.Command(kAppearance);
    w.Dialog(text, "Name:", "type:Changed");
    w.Press(text, "Actions...");
    w.Dialog("Actions", "Next card", "check");
    w.Dialog(transitions, "50", "choose:Cross Fade");
    w.Press(transitions, "OK");
    w.Dialog("Actions", "Automatic timer...", "check");
    w.Dialog(timer, "Activate button after card is shown", "check");
    w.Press(timer, "OK");
    w.Press("Actions", "Done");
    w.Press(text, "Features...");
    w.Dialog(features, "Locked", "check");
    w.Press(features, "OK");
    w.Press(text, "Style...");
    w.Dialog(style, "Bold", "check");
    w.Press(style, "OK");
    w.Cancel(text);
    w.Command(kStyle);
    w.Dialog(style, "Italic", "check");
    w.Cancel(style);
    w.Command(kFeatures);
    w.Dialog(features, "Locked", "check");
    w.Cancel(features);
}

// The dialogs inside dialogs and of the other commands, each changed and cancelled (those with
// no Cancel left by Done with nothing kept): the links of a field, the picture cropping of a
// new graphic and of clip art with its scale and rotate, More Colors and the colour chooser (an
// experienced user's) from a button's colours.
void InnerDialogs(TimedWalk& w, const std::string& picture) {
    const std::string links = "Hypertext Links", look = "Button Appearance", more = "More Colors",
                      open = "Please select a picture file";
    // The field's link: its actions changed and cancelled, its deletion and a second link of
    // its name declined (alerts 2331 and 2332 answered No), then Done.
    w.Step("--double-click", "40,160", 600);
    w.Command(311);
    w.Press(links, "Actions...");
    w.Dialog("Actions", "Previous card", "check");
    w.Press("Transitions", "OK");
    w.Dialog("Actions", "Testing functions...", "check");
    w.Press("Testing", "OK");
    w.Cancel("Actions");
    w.Press(links, "Delete");
    w.Dialog(links, "Link text:", "type:Hello");
    w.Press(links, "Add Link");
    w.Press(links, "Done");
    // A graphic from a picture file: cropped, scaled and rotated, cancelled; cropped and placed,
    // its appearance cancelled. Clip art cropped, cancelled.
    for (const auto& [command, title, placed] : {std::tuple{307, "Graphic Objects", false}, {307, "Graphic Objects", true},
                                                 {106, "Clip Art", false}}) {
        w.Command(command);
        w.Dialog("Picture Source", "Disk file", "check");
        w.Step("--dialog", "Picture Source|OK|press", 600);
        w.Dialog(open, "File name:", "type:" + picture);
        w.Step("--dialog", open + "|Open|press", 900);
        w.Dialog(title, "101", "drag:10,6-42,38");
        if (!placed) {
            w.Press(title, "Scale And Rotate");
            w.Dialog("Scale And Rotate", "Rotate by (degrees):", "type:90");
            w.Press("Scale And Rotate", "OK");
            w.Cancel(title);
            continue;
        }
        w.Press(title, "OK");
        w.Press("Pageloom", "OK");
        w.Step("--click", "5,5", 700);
        w.Dialog("Graphic Appearance", "Name:", "type:Cropped");
        w.Cancel("Graphic Appearance");
    }
    // A new button's name colour: another chosen in More Colors (OK), then the chooser of a
    // palette entry changed and cancelled, More Colors cancelled, the button cancelled.
    w.Command(306);
    w.Step("--dialog", look + "|53|double-click:20,20", 600);
    w.Dialog(more, "50", "click:100,100");
    w.Press(more, "OK");
    w.Step("--dialog", look + "|53|double-click:20,20", 600);
    w.Step("--dialog", more + "|50|double-click:100,100", 600);
    w.Dialog("Color Chooser", "Red", "type:10");
    w.Cancel("Color Chooser");
    w.Cancel(more);
    w.Cancel(look);
}

// The walk on the stack saved before, then Save As under the name: the log of the run, and
// whether the file written is the one saved before, byte for byte.
BrowserRun WalkAndSaveAs(CachedSite& site, TimedWalk& w, const std::string& before, const std::string& as) {
    const std::string after = site.server.Name(as), named = "Please name this Stack";
    w.Command(kSaveAs);
    w.Dialog(named, "File name:", "type:" + after);
    w.Press(named, "Save");
    Append(w.args, {"--answer-alerts", "--quit-after-last", "1500"});
    BrowserRun run = site.Run("cancel-before.stk", w.args);
    EXPECT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::string written = ReadFile(after);
    EXPECT_FALSE(written.empty()) << Joined(run.log);
    EXPECT_TRUE(written == ReadFile(before)) << as << ": a cancelled dialog changed the stack";
    return run;
}

TEST(CancelInBrowser, EveryAuthoringDialogCancelledLeavesTheSavedStackByteForByte) {
    CachedSite site;
    const std::string name = site.Serve("cancel", Built(CancelCards()));
    const std::string before = site.server.Name("cancel-before.stk");
    std::vector<std::string> first = {"--quit-after-last", "1300"};
    Append(first, SaveAt(1200, before));
    const BrowserRun saved = site.Run(name, first);
    ASSERT_EQ(saved.exitCode, 0) << saved.errors << Joined(saved.log);

    // The menus' dialogs, the objects' and the inner ones (each walk in a run of its own; the
    // last by an experienced user, who has More Colors).
    TimedWalk menus, objects, inner;
    MenuDialogs(menus, "About Stack - cancel-before.stk");
    ObjectDialogs(objects);
    InnerDialogs(inner, site.server.Put("cancel.bmp", BmpText()));
    std::vector<std::string> log = WalkAndSaveAs(site, menus, before, "cancel-menus.stk").log;
    Append(log, WalkAndSaveAs(site, objects, before, "cancel-objects.stk").log);
    {
        PluginCopy experienced("[user]\r\nadvancedUser=Yes\r\n");
        site.plugin = experienced.dll;
        Append(log, WalkAndSaveAs(site, inner, before, "cancel-inner.stk").log);
        site.plugin.clear();
    }
    // Each dialog was shown and cancelled by its own Cancel.
    for (const char* title : {"About Card - 1", "Stack Preferences", "Text Style", "Button Appearance", "Text Appearance",
                              "Icons", "Object Features", "Actions", "Transitions", "Automatic Timer",
                              "Digital Audio Deck", "New Button Actions", "Animation", "Graphic Appearance", "Launch",
                              "Web Address", "Testing", "Please select a stack", "Video/Movie Source", "Erase Background",
                              "Text Color", "Eraser Color", "Picture Source", "About Stack - cancel-before.stk",
                              "Graphic Objects", "Clip Art", "More Colors", "Color Chooser", "Path Options"})
        EXPECT_NE(Find(log, std::string("dialog-action(") + title + "|Cancel|press) -> Button 2 "), -1)
            << title << "\n" << Joined(log);
    for (const char* shown : {"shown(Hypertext Links)", "alert(id=2331)", "alert(id=2332)", "shown(Scale And Rotate)",
                              "dialog-action(Animation|1033|choose:Edit Path...) -> ComboBox"})
        EXPECT_NE(FindHolding(log, shown), -1) << shown << "\n" << Joined(log);
}

// Cards only looked at: each card gone to and back, then another stack asked for (Open...) and
// not opened. Nobody is asked whether to save the stack (alert 2343), and Save As writes it
// byte for byte as a save before, at any depth (on a palette display the cards are shown in
// the system's colours, which is no change to them).
TEST(CancelInBrowser, CardsOnlyViewedLeaveTheStackUnchanged) {
    CachedSite site;
    site.server.Put("viewed.stk", Built(CancelCards()));
    const std::string before = site.server.Name("cancel-before.stk");
    std::vector<std::string> first = {"--quit-after", "2500"};
    Append(first, SaveAt(1200, before));
    const BrowserRun saved = site.Run("viewed.stk", first);
    ASSERT_EQ(saved.exitCode, 0) << saved.errors << Joined(saved.log);
    TimedWalk w;
    for (int command : {204, 204, 203, 202})
        w.Command(command);
    w.Command(101);
    w.Cancel("Please select a stack");
    const BrowserRun run = WalkAndSaveAs(site, w, before, "cancel-viewed.stk");
    EXPECT_EQ(FindHolding(run.log, "alert(id=2343)"), -1) << Joined(run.log);
    EXPECT_NE(Find(run.log, "dialog-action(Please select a stack|Cancel|press) -> Button 2 "), -1) << Joined(run.log);
}

// On a card that shares the first card's background, through the objects' menu: the button
// that went to another stack is given "&Next Card", and the other is made a group object in its
// Features.... Saved, the first goes to the next card and names no other stack; the second lies
// in the background's list, not the card's.
TEST(CancelInBrowser, ANextCardChosenInTheMenuDropsTheOtherStackAndAGroupButtonMovesToTheBackground) {
    sb::Stack stack = CancelCards();
    sb::Card shared = sb::SharedCard(2, 1);
    shared.objects = {stack.cards[0].objects[0], stack.cards[0].objects[1]};
    stack.cards[0].objects.clear();
    stack.cards[1] = shared;
    CachedSite site;
    site.server.Put("kept.stk", Built(stack));
    const std::string copy = site.server.Name("kept-copy.stk");
    TimedWalk w;
    w.Command(204);
    w.Key("shift+Tab");
    w.Click(kAwayRect);
    w.Command(Kind(50));
    w.Press("Transitions", "OK");
    w.Click(kButtonRect);
    w.Command(kFeatures);
    w.Dialog("Object Features", "Group Object", "check");
    w.Press("Object Features", "OK");
    Append(w.args, SaveAt(w.ms + 300, copy));
    Append(w.args, {"--answer-alerts", "--quit-after-last", "1500"});
    const BrowserRun run = site.Run("kept.stk", w.args);
    ASSERT_EQ(run.exitCode, 0) << run.errors << Joined(run.log);
    const std::string json = site.Report(copy);
    EXPECT_EQ(ReportedNumber(ReportedDestination(json, 2, kAwayId), "destination"), -1) << json;
    const std::string away = ReportedObject(json, "Away");
    ASSERT_NE(away, "") << json;
    const ReportJson chunks = ParseReport(ReportedValue(away, "chunks"));
    ASSERT_TRUE(chunks.is_array()) << away;
    for (const ReportJson& tag : chunks)
        EXPECT_NE(tag.get<int>(), int(kTagOtherStack)) << "the other stack is no longer named: " << away;
    const std::string first = ReportedCard(json, 1), second = ReportedCard(json, 2);
    const std::string moved = ReportedObject(first, "Go");
    ASSERT_NE(moved, "") << Joined(run.log) << json;
    EXPECT_EQ(ReportedNumber(moved, "flags") & kObjectBackground, kObjectBackground) << moved;
    EXPECT_EQ(ReportedObject(second, "Go"), "") << second;
}

}  // namespace
