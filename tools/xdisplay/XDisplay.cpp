// loom-xdisplay: a small X client run beside the display, on the Unix side (built by
// scripts/wine-env.sh with the machine's compiler, not by either build configuration).
//   loom-xdisplay keep-colormap   keeps the colour map of the top window installed, until the
//                                 display goes away
//   loom-xdisplay screen FILE     writes the screen as the display shows it to FILE (xwd's format)
//
// On a palette display each Wine program draws through a colour map of its own (PrivateColorMap),
// which shows only while it is installed. Installing the colour map of the window a person looks
// at is a window manager's work, and our windows are unmanaged: without this, every Wine window
// shows through the display's default colour map, nearly all black.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The colour map of the topmost mapped window on the root, the one a person looks at; the
// default colour map when no window shows.
Colormap TopColormap(Display* display, Window root) {
    Window rootReturn = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Colormap found = DefaultColormap(display, DefaultScreen(display));
    if (!XQueryTree(display, root, &rootReturn, &parent, &children, &count))
        return found;
    // Children come bottom first.
    for (unsigned i = count; i-- > 0;) {
        XWindowAttributes attributes;
        // Wine keeps windows of a pixel (off the screen, under an input method) that nobody looks at.
        if (XGetWindowAttributes(display, children[i], &attributes) && attributes.map_state == IsViewable &&
            attributes.c_class == InputOutput && attributes.colormap != None &&
            attributes.width * attributes.height > 1) {
            found = attributes.colormap;
            break;
        }
    }
    if (children)
        XFree(children);
    return found;
}

// A window may go between the event and our look at it.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

int KeepColormap(Display* display) {
    // A true-colour display shows every window's colours, whatever is installed.
    const int screenClass = DefaultVisual(display, DefaultScreen(display))->c_class;
    if (screenClass == TrueColor || screenClass == DirectColor)
        return 0;
    XSetErrorHandler(IgnoreErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    // Whenever a window is mapped, unmapped, restacked or goes, the top one's colour map goes in
    // (installing the one installed already changes nothing).
    for (;;) {
        XInstallColormap(display, TopColormap(display, root));
        XSync(display, False);
        XEvent event;
        XNextEvent(display, &event);  // ends the program when the display goes away
        while (XPending(display))
            XNextEvent(display, &event);
    }
}

void PutWord(std::string& out, uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out += static_cast<char>(value >> shift & 0xFF);
}

int Channel(unsigned long pixel, unsigned long mask) {
    if (!mask)
        return 0;
    int shift = 0;
    while (!(mask >> shift & 1))
        ++shift;
    const unsigned long top = mask >> shift;
    return static_cast<int>((pixel >> shift & top) * 255 / top);
}

// The root's pixels as the display shows them: an indexed display's through the colour map
// installed now (the server shows no other), true colour through the visual's masks. Written
// as a 32-bit true-colour xwd file, first under a ".part" name, renamed when whole.
int SaveScreen(Display* display, const char* fileName) {
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const int width = DisplayWidth(display, screen), height = DisplayHeight(display, screen);
    Visual* visual = DefaultVisual(display, screen);
    XGrabServer(display);
    XImage* image = XGetImage(display, root, 0, 0, unsigned(width), unsigned(height), AllPlanes, ZPixmap);
    int installedCount = 0;
    Colormap* installed = XListInstalledColormaps(display, root, &installedCount);
    const Colormap map = installedCount > 0 ? installed[0] : DefaultColormap(display, screen);
    std::vector<XColor> colours;
    const bool indexed = visual->c_class == PseudoColor || visual->c_class == StaticColor ||
                         visual->c_class == GrayScale || visual->c_class == StaticGray;
    if (indexed) {
        colours.resize(size_t(1) << DefaultDepth(display, screen));
        for (size_t i = 0; i < colours.size(); ++i)
            colours[i].pixel = i;
        XQueryColors(display, map, colours.data(), int(colours.size()));
    }
    XUngrabServer(display);
    if (installed)
        XFree(installed);
    if (!image)
        return 1;
    constexpr char kName[] = "screen";
    constexpr uint32_t kZPixmap = 2, kLsbFirst = 0, kTrueColor = 4;
    const uint32_t stride = uint32_t(width) * 4;
    const uint32_t header[25] = {100 + sizeof kName, 7, kZPixmap, 24, uint32_t(width), uint32_t(height), 0, kLsbFirst,
                                 32, kLsbFirst, 32, 32, stride, kTrueColor, 0xFF0000u, 0xFF00u, 0xFFu, 8, 0, 0,
                                 uint32_t(width), uint32_t(height), 0, 0, 0};
    std::string out;
    for (uint32_t word : header)
        PutWord(out, word);
    out.append(kName, sizeof kName);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            uint32_t rgb = 0;
            if (indexed) {
                const XColor& c = colours[pixel % colours.size()];
                rgb = uint32_t(c.red >> 8) << 16 | uint32_t(c.green >> 8) << 8 | uint32_t(c.blue >> 8);
            } else {
                rgb = uint32_t(Channel(pixel, visual->red_mask)) << 16 |
                      uint32_t(Channel(pixel, visual->green_mask)) << 8 | uint32_t(Channel(pixel, visual->blue_mask));
            }
            for (int shift = 0; shift < 32; shift += 8)
                out += static_cast<char>(rgb >> shift & 0xFF);
        }
    XDestroyImage(image);
    const std::string part = std::string(fileName) + ".part";
    FILE* file = std::fopen(part.c_str(), "wb");
    if (!file)
        return 1;
    const bool whole = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    if (std::fclose(file) != 0 || !whole || std::rename(part.c_str(), fileName) != 0)
        return 1;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const bool keep = argc == 2 && std::strcmp(argv[1], "keep-colormap") == 0;
    const bool shot = argc == 3 && std::strcmp(argv[1], "screen") == 0;
    if (!keep && !shot) {
        std::fprintf(stderr, "usage: loom-xdisplay keep-colormap | screen FILE\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "loom-xdisplay: no display\n");
        return 1;
    }
    return keep ? KeepColormap(display) : SaveScreen(display, argv[2]);
}
