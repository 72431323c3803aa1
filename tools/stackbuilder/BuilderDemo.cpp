// The demo stack and the fuzz seeds, made with the builder.
#include <algorithm>

#include "StackBuilder.h"
#include "format/StackFile.h"

namespace stackbuilder {

namespace {

std::vector<uint8_t> Bytes(std::string_view s) { return {s.begin(), s.end()}; }

// A 16-colour palette for 4-bit pictures.
std::vector<Rgb> SixteenColors() {
    return {{255, 255, 255}, {252, 243, 5}, {255, 100, 2}, {221, 8, 6}, {242, 8, 132},
            {70, 0, 165},    {0, 0, 212},   {2, 171, 234}, {31, 183, 20}, {0, 100, 17},
            {86, 44, 5},     {144, 113, 58}, {192, 192, 192}, {128, 128, 128}, {64, 64, 64},
            {0, 0, 0}};
}

}  // namespace

Object AllChunksButton(uint16_t id) {
    Object b = Button(id, {20, 200, 140, 230}, "Everything");
    Chunk c51{51, 1, {1, 2, 3, 4}, 0, {{16, 7}}, {}, {}};
    Chunk c56;  // an animation that is no sprite: seven words, then one 12-byte frame
    c56.kind = 56;
    c56.rect = {5, 6, 7, 8};
    c56.payload.assign(18 + 12, 0);
    c56.payload[9] = 1;    // frame count (+40) = 1
    c56.payload[18 + 11] = 12;  // frame length (+8 of the frame) = 12
    Chunk sprite;
    sprite.kind = 56;
    sprite.payload = Bytes("Sprt and its raw data");
    Chunk c59;
    c59.kind = 59;
    c59.words = {{16, 3}};
    std::vector<uint8_t> first = MacPath("Disk:Sounds:bell.wav");
    c59.longs = {{18, static_cast<uint32_t>(first.size())}};
    c59.payload = first;
    std::vector<uint8_t> second = MacPath("Disk:Sounds:bell2.wav");
    c59.payload.insert(c59.payload.end(), second.begin(), second.end());
    Chunk c82 = PathChunk(82, "Disk:Media:sound.aif");
    c82.words = {{24, 1}};
    c82.rect = {0, 0x44, 0, 0};
    Chunk c83{83, 0, {}, 0, {{16, 131}, {24, 0}}, {}, {}};
    Chunk c89 = PathChunk(89, "Disk:Movies:intro.mov");
    c89.id = 4;
    c89.rect = {10, 10, 50, 50};
    c89.words = {{20, 2}};
    c89.longs = {{16, 100000}};
    Chunk c119{119, 5, {1, 1, 9, 9}, 0, {{24, 3}}, {}, {}};
    Chunk c129{129, 6, {2, 2, 8, 8}, 0, {}, {}, Bytes("raw mask")};
    Chunk c130;
    c130.kind = 130;
    c130.words = {{32, 16}, {34, 4}};
    c130.payload.assign(8 + 16, 0xAA);
    b.chunks = {c51, c56, sprite, c59, PathChunk(60, "Disk:Stacks:other.stk"), Chunk{61, 0, {}, 0, {}, {}, Bytes("raw")},
                Chunk{64, 7, {3, 3, 4, 4}, 0, {}, {}, {}}, c82, c83, c89, c119, c129, c130};
    return b;
}

namespace {

Picture SmallPicture(int depth, bool macColors) {
    Picture p = GradientPicture(24, 8, depth);
    if (depth == 4)
        p.palette = SixteenColors();
    p.macColors = macColors;
    return p;
}

Stack OneCard() {
    Stack s;
    s.cards.push_back(PlainCard(1));
    return s;
}

Stack DepthStack(int depth) {
    Stack s;
    s.depth = static_cast<uint16_t>(depth);
    s.cardWidth = 24;
    s.cardHeight = 8;
    s.cards.push_back(PictureCard(1, SmallPicture(depth, false)));
    s.cards.push_back(SharedCard(2, 1));
    return s;
}

Stack ObjectsStack() {
    Stack s;
    s.cardWidth = 64;
    s.cardHeight = 48;
    Card c = PictureCard(1, SolidPicture(64, 48, 8, 3));
    c.name = "Objects";
    c.objects.push_back(AllChunksButton(1));
    c.objects.push_back(TextField(2, {5, 5, 60, 20}, "Field", "Some text"));
    Object g = Graphic(3, {10, 10, 18, 14}, "Picture");
    SetGraphicPicture(g, SolidPicture(8, 4, 8, 7), GraphicRows::Raw);
    c.objects.push_back(g);
    Object other;
    other.kind = 200;
    other.id = 9;
    other.extra = Bytes("unknown kind");
    c.objects.push_back(other);
    s.cards.push_back(c);
    s.nextObjectId = 10;
    return s;
}

Stack PathsStack() {
    Stack s;
    s.cardWidth = 64;
    s.cardHeight = 48;
    Card c = PlainCard(1);
    Object g = Graphic(1, {0, 0, 10, 10}, "Disk based");
    g.flags = 0x40;
    g.data = MacPath("Disk:Pictures:photo.bmp");
    g.trailerWidth = 0;  // read back as the rectangle's size
    c.objects.push_back(g);
    Object t = TextField(2, {0, 20, 60, 40}, "File text", "");
    t.flags = 0x40;
    t.subRecords[0].path = MacPath("C::Texts:story.txt");
    c.objects.push_back(t);
    Object b = Button(3, {0, 0, 20, 20}, "Play");
    b.chunks.push_back(PathChunk(82, "Volume:a:b:c.wav"));
    c.objects.push_back(b);
    s.cards.push_back(c);
    return s;
}

Stack ResourcesStack() {
    Stack s = OneCard();
    Object action = Button(0, {}, "");
    action.chunks.push_back(PathChunk(60, "Disk:Stacks:next.stk"));
    Object linkButton = Button(0, {}, "");
    linkButton.chunks.push_back(Chunk{61, 0, {}, 0, {}, {}, Bytes("go")});
    s.resources.push_back({"Actn", 128, "Go on", 0, 0, ActionRecord(action)});
    s.resources.push_back({"Hlnk", 129, "", 0, 0, LinkData("hello", Bytes("xy"), &linkButton)});
    s.resources.push_back({"NBAs", 130, "Module", 0, 0, Bytes("NBA1RUNTIMEdata")});
    s.resources.push_back({"Snd ", 131, "Bell", 0, 0, Bytes("RIFF....WAVE")});
    s.resources.push_back({"Icon", 132, "Gone", 0x80000000u, 0, Bytes("deleted")});
    s.resources.push_back({"FntL", 128, "", 0, 0, std::vector<uint8_t>(92, 0)});
    s.nextResourceId = 133;
    return s;
}

Stack MacRomanStack() {
    Stack s;
    s.cardWidth = 24;
    s.cardHeight = 8;
    Card c = PictureCard(1, SmallPicture(8, true));
    c.name = "Caf\x8e";
    c.objects.push_back(Button(1, {1, 1, 20, 6}, "Caf\x8e"));
    s.cards.push_back(c);
    return s;
}

// A background field holding one entry for each of two cards, in runs of two faces (one a Mac
// face mapped through the font table), with an odd text and an empty one.
Stack StyledTextStack() {
    Stack s;
    s.cardWidth = 64;
    s.cardHeight = 24;
    s.flags = 0x10;  // texts in Mac Roman
    Card holder = PictureCard(1, SmallPicture(8, false));
    Object field = TextField(2, {2, 2, 60, 20}, "Notes", "");
    field.flags = 0x10;
    const TextRun bold{0, 5, 1, 24, {255, 0, 0}}, plain{4, 7, 0, 9, {0, 0, 255}};
    field.subRecords = {TextEntry(1, "Odd \x8e text", {bold, plain}), TextEntry(2, "", {bold})};
    holder.objects.push_back(field);
    s.cards = {holder, SharedCard(2, 1)};
    s.resources.push_back({"FntL", 128, "", 0, 0, FontTable({{5, "Geneva", true}, {7, "Times New Roman", false}})});
    return s;
}

}  // namespace

Picture LogoPicture() {
    Picture p = SolidPicture(32, 32, 8, 0);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            p.pixels[static_cast<size_t>(y * 32 + x)] = std::min({x, y, 31 - x, 31 - y}) / 4 % 2 ? 0 : 255;
    return p;
}

namespace {

// A white square going round the border of a dark one, eight steps a turn, a quarter of a
// second a step (80 x 80 in the card's grey ramp: 0 white, 255 black).
FrameAnimation DemoFlipBook() {
    constexpr int kSide = 80, kBlock = 20;
    constexpr int kSteps[8][2] = {{0, 0}, {30, 0}, {60, 0}, {60, 30}, {60, 60}, {30, 60}, {0, 60}, {0, 30}};
    FrameAnimation a;
    a.width = a.height = kSide;
    a.delay = 15;
    a.cycles = 20;
    a.shortPairs = true;
    a.flags = 0x0002;  // frame 1 shows with the card
    for (const auto& [left, top] : kSteps) {
        std::vector<uint8_t> frame(kSide * kSide, 200);
        for (int y = top; y < top + kBlock; ++y)
            for (int x = left; x < left + kBlock; ++x)
                frame[y * kSide + x] = 0;
        a.frames.push_back(frame);
    }
    return a;
}

}  // namespace

Stack DemoStack() {
    Stack s;
    s.cardWidth = 320;
    s.cardHeight = 240;
    s.nextObjectId = 20;

    // Buttons of every shape, some with icons, that move between the cards.
    constexpr uint16_t kRedIcon = 200, kBlueIcon = 201, kChimeSound = 300;
    constexpr int16_t kNext = -1, kPrevious = -2;
    Card first = PictureCard(1, GradientPicture(320, 240, 8));
    first.name = "Welcome";
    Object next = ShapedButton(1, {230, 190, 310, 220}, "Next", kButtonShapeDefault, 0, kNext);
    next.chunks.push_back(Chunk{61, 0, {}, 0, {}, {}, Bytes("next card")});
    first.objects.push_back(next);
    // The title in two faces and colours; its word "Pageloom" is a link to the next card.
    constexpr uint16_t kTitleFace = 3, kLinkFace = 4, kTitleLink = 140;
    Object title = TextField(2, {20, 20, 300, 60}, "Title", "");
    title.subRecords = {TextEntry(1, "Welcome to Pageloom",
                                  {{0, kTitleFace, 1, 24, {160, 0, 0}}, {11, kLinkFace, 4, 22, {0, 0, 212}}})};
    first.objects.push_back(title);
    Object logo = Graphic(3, {20, 80, 52, 112}, "Logo");
    SetGraphicPicture(logo, LogoPicture());
    first.objects.push_back(logo);
    Object back = ShapedButton(4, {10, 190, 90, 220}, "Back", kButtonShapeRounded, 0, kPrevious);
    back.flags = 0x10;  // on the background layer, shared by the cards that share the picture
    first.objects.push_back(back);
    // Above the picture's black band, where its name shows.
    first.objects.push_back(ShapedButton(8, {120, 105, 200, 175}, "Onward", kButtonShapeInvisible, kRedIcon, kNext));
    // Plays the stack's stored chime, then moves on at once (a sound does not hold the move).
    Object chime = ShapedButton(13, {230, 140, 310, 175}, "Chime", kButtonShapeDefault, 0, kNext);
    chime.words.push_back({20, 0x24});  // the stored sound and the move
    Chunk sound{83, 0, {0, 127, 0, 0}, 0, {{16, kChimeSound}}, {}, {}};  // half volume: the word at +4, the top
    chime.chunks.push_back(sound);
    first.objects.push_back(chime);
    s.cards.push_back(first);

    Card second = SharedCard(2, 1);
    second.name = "Second";
    second.objects.push_back(TextField(5, {20, 20, 300, 60}, "Note", "A card sharing the first picture"));
    second.objects.push_back(ShapedButton(9, {220, 140, 310, 175}, "Next", kButtonShapeShadowed, 0, kNext));
    second.objects.push_back(ShapedButton(10, {160, 70, 230, 130}, "Ahead", kButtonShapePencil, kBlueIcon, kNext));
    s.cards.push_back(second);

    Picture blue = SolidPicture(320, 240, 8, 6);
    Card last = PictureCard(3, blue);
    last.name = "Last";
    last.objects.push_back(ShapedButton(7, {120, 100, 200, 130}, "Start over", kButtonShapeRectangle, 0, 1));
    last.objects.push_back(ShapedButton(11, {20, 150, 100, 230}, "Before", kButtonShapePicked, kBlueIcon, kPrevious));
    last.objects.push_back(ShapedButton(12, {220, 150, 300, 230}, "Again", kButtonShapeLasso, kRedIcon, kPrevious));
    last.objects.push_back(ShapedButton(13, {220, 100, 300, 130}, "Movie", kButtonShapeRectangle, 0, 4));
    // Arriving plays the flip-book between the lower buttons; its first frame shows with the card.
    constexpr uint16_t kFlipBookAction = 150;
    last.actions[0] = kFlipBookAction;
    s.cards.push_back(last);

    // The movie with its bar (flag 1) and its first frame on the card (flag 4).
    Card movie = PictureCard(4, SolidPicture(320, 240, 8, 3));
    movie.name = "Movie";
    movie.objects.push_back(TextField(14, {20, 20, 300, 50}, "Caption", "A movie: press its bar to play"));
    movie.objects.push_back(MovieButton(15, {20, 200, 110, 230}, "Show", {100, 60, 220, 150},
                                        std::string("Disk:") + kDemoMovieName, 1 | 4));
    movie.objects.push_back(ShapedButton(16, {220, 200, 300, 230}, "Start over", kButtonShapeRectangle, 0, 1));
    s.cards.push_back(movie);

    Stack resources = ResourcesStack();
    s.resources = resources.resources;
    // The stack's font table is the title's, not the empty one of the resources' stack.
    std::erase_if(s.resources, [](const Resource& r) { return r.type == "FntL"; });
    const Object linkAction = ShapedButton(0, {}, "", kButtonShapeRounded, 0, kNext);
    s.resources.push_back({"Icon", kRedIcon, "Red", 0, 0, IconFile(32, {221, 8, 6})});
    s.resources.push_back({"Icon", kBlueIcon, "Blue", 0, 0, IconFile(32, {0, 0, 212})});
    s.resources.push_back({"Snd ", kChimeSound, "Chime", 0, 0, StoredSound(11025, ToneSamples())});
    s.resources.push_back({"FntL", 128, "", 0, 0, FontTable({{kTitleFace, "Times New Roman"}, {kLinkFace, "Courier New"}})});
    std::vector<uint8_t> link = LinkData("Pageloom", {}, &linkAction);
    link[0] = kTitleLink >> 8, link[1] = kTitleLink & 0xFF;  // the link id is its resource id
    s.resources.push_back({"Hlnk", kTitleLink, "Pageloom", 0, 0, link});
    s.resources.push_back({"Actn", kFlipBookAction, "", 0, 0,
                           ActionRecord(FrameAnimationButton(0, {}, "", kDemoFlipBookArea, DemoFlipBook()))});
    s.nextResourceId = resources.nextResourceId;
    return s;
}

// Buttons playing animated objects: a strip of two frames along a path, and one picture per frame.
Stack SpritesStack() {
    Stack s;
    s.cardWidth = 64;
    s.cardHeight = 48;
    Card c = PictureCard(1, SolidPicture(64, 48, 8, 3));
    Sprite strip;
    strip.number = 1;
    strip.film.strip = SolidPicture(16, 8, 8, 5);
    strip.film.frames = {{0, 0, 8, 8}, {8, 0, 16, 8}};
    strip.path = {{10, 10, 40}, {50, 30, 40}};
    Sprite perFrame;
    perFrame.number = 2;
    perFrame.hasPath = false;
    perFrame.film.kind = 2;
    perFrame.film.strip = SolidPicture(6, 6, 8, 1);
    perFrame.film.framePictures = {SolidPicture(6, 6, 8, 2)};
    c.objects.push_back(AnimationButton(1, {0, 0, 30, 20}, "Strip", SpriteRecord(strip), -1));
    c.objects.push_back(AnimationButton(2, {32, 0, 62, 20}, "Frames", SpriteRecord(perFrame)));
    s.cards = {c, PlainCard(2)};
    return s;
}

std::vector<std::pair<std::string, Stack>> SeedStacks() {
    std::vector<std::pair<std::string, Stack>> seeds;
    seeds.emplace_back("one-card", OneCard());
    for (int depth : {4, 8, 16, 32})
        seeds.emplace_back("depth" + std::to_string(depth), DepthStack(depth));
    seeds.emplace_back("objects", ObjectsStack());
    seeds.emplace_back("paths", PathsStack());
    seeds.emplace_back("resources", ResourcesStack());
    seeds.emplace_back("macroman", MacRomanStack());
    seeds.emplace_back("styled-text", StyledTextStack());
    seeds.emplace_back("sprites", SpritesStack());
    return seeds;
}

}  // namespace stackbuilder
