// The samples stack shipped beside the plug-in: a few short sounds, made here sample by sample,
// and icons of simple shapes in a few colours, each outlined in black.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "StackBuilder.h"

namespace stackbuilder {

namespace {

constexpr uint32_t kRate = 11025;
constexpr double kPi = 3.14159265358979;

// Seconds of 8-bit unsigned samples from a wave of time giving -1..1.
template <typename Wave>
std::vector<uint8_t> Samples(double seconds, Wave wave) {
    std::vector<uint8_t> out(static_cast<size_t>(seconds * kRate));
    for (size_t i = 0; i < out.size(); ++i) {
        const double v = std::clamp(wave(double(i) / kRate), -1.0, 1.0);
        out[i] = static_cast<uint8_t>(std::lround(128 + 120 * v));
    }
    return out;
}

// Rises over 5 ms and falls over the last 20, so that no sound starts or ends with a click.
double Edges(double t, double length) { return std::min({1.0, t / 0.005, (length - t) / 0.02}); }

std::vector<uint8_t> Beep() {
    return Samples(0.25, [](double t) { return 0.8 * Edges(t, 0.25) * std::sin(2 * kPi * 880 * t); });
}

std::vector<uint8_t> Chime() {
    return Samples(0.8, [](double t) {
        const double e = Edges(t, 0.8) * std::exp(-4 * t);
        return e * (0.6 * std::sin(2 * kPi * 659 * t) + 0.4 * std::sin(2 * kPi * 988 * t));
    });
}

std::vector<uint8_t> Boing() {
    // The pitch falls from 600 to 150 Hz with a wobble: the phase is the integral of the pitch.
    return Samples(0.5, [](double t) {
        const double phase = 2 * kPi * (600 * t - 450 * t * t / (2 * 0.5)) + 3 * std::sin(2 * kPi * 12 * t);
        return 0.9 * Edges(t, 0.5) * std::sin(phase);
    });
}

std::vector<uint8_t> Whoosh() {
    // Noise from a fixed seed, smoothed more as it goes, swelling in the middle.
    uint32_t seed = 12345;
    double smooth = 0;
    return Samples(0.6, [&](double t) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = double(seed >> 8) / double(1u << 24) * 2 - 1;
        const double keep = 0.5 + 0.45 * t / 0.6;
        smooth = keep * smooth + (1 - keep) * noise;
        return 3 * std::sin(kPi * t / 0.6) * smooth;
    });
}

std::vector<uint8_t> Fanfare() {
    return Samples(0.6, [](double t) {
        constexpr double notes[] = {523.25, 659.25, 783.99, 1046.5};
        const int n = std::min(3, static_cast<int>(t / 0.15));
        const double local = t - n * 0.15;
        const double square = std::sin(2 * kPi * notes[n] * t) > 0 ? 0.5 : -0.5;
        return Edges(local, 0.15) * square;
    });
}

// Silence: played, a sound of this name stops every sound playing.
std::vector<uint8_t> Quiet() { return std::vector<uint8_t>(kRate / 20, 128); }

// Shapes on -1..1 across, -1..1 down.
bool Disc(double u, double v) { return u * u + v * v <= 0.85 * 0.85; }
bool Square(double u, double v) { return std::abs(u) <= 0.8 && std::abs(v) <= 0.8; }
bool Triangle(double u, double v) { return v >= -0.85 && v <= 0.8 && std::abs(u) <= (v + 0.85) / 1.65 * 0.9; }
bool Arrow(double u, double v) {
    return (u >= -0.85 && u <= 0.1 && std::abs(v) <= 0.3) || (u >= 0.1 && u <= 0.9 && std::abs(v) <= 0.9 - u);
}
bool Heart(double u, double v) {
    const double x = u * 1.25, y = -v * 1.25 + 0.2;
    const double a = x * x + y * y - 1;
    return a * a * a - x * x * y * y * y <= 0;
}
bool Star(double u, double v) {
    // Even-odd test against the ten corners, points 0.9 out and notches 0.38, the first up.
    std::array<double, 20> corners;
    for (int i = 0; i < 10; ++i) {
        const double r = i % 2 ? 0.38 : 0.9, a = -kPi / 2 + i * kPi / 5;
        corners[2 * i] = r * std::cos(a);
        corners[2 * i + 1] = r * std::sin(a) + 0.08;
    }
    bool in = false;
    for (int i = 0, j = 9; i < 10; j = i++) {
        const double xi = corners[2 * i], yi = corners[2 * i + 1], xj = corners[2 * j], yj = corners[2 * j + 1];
        if ((yi > v) != (yj > v) && u < (xj - xi) * (v - yi) / (yj - yi) + xi)
            in = !in;
    }
    return in;
}

// Colour 1 inside the shape, 0 (black) on its edge, the ground transparent.
template <bool (*Inside)(double, double)>
int Outlined(int size, int x, int y) {
    auto at = [size](int px, int py) {
        return Inside((px + 0.5) * 2 / size - 1, (py + 0.5) * 2 / size - 1);
    };
    if (!at(x, y))
        return -1;
    return at(x - 1, y) && at(x + 1, y) && at(x, y - 1) && at(x, y + 1) ? 1 : 0;
}

struct SampleIcon {
    const char* name;
    Rgb colour;
    int (*pixel)(int, int, int);
};

}  // namespace

Stack SamplesStack() {
    Stack s;
    s.cardWidth = 64;
    s.cardHeight = 48;
    s.cards.push_back(PlainCard(1));
    const std::pair<const char*, std::vector<uint8_t>> sounds[] = {
        {"Beep", Beep()},       {"Boing", Boing()},   {"Chime", Chime()},
        {"Fanfare", Fanfare()}, {"Whoosh", Whoosh()}, {"Stop All Sounds", Quiet()}};
    uint16_t id = 1000;
    for (const auto& [name, samples] : sounds)
        s.resources.push_back({"Snd ", ++id, name, 0, 0, StoredSound(kRate, samples)});
    // The first is the one a new button's chooser offers first.
    const SampleIcon icons[] = {{"Star", {250, 210, 20}, Outlined<Star>},
                                {"Heart", {220, 30, 40}, Outlined<Heart>},
                                {"Square", {30, 90, 220}, Outlined<Square>},
                                {"Triangle", {30, 170, 60}, Outlined<Triangle>},
                                {"Arrow", {240, 130, 20}, Outlined<Arrow>},
                                {"Disc", {140, 60, 190}, Outlined<Disc>}};
    id = 2000;
    for (const SampleIcon& icon : icons) {
        const Rgb colours[] = {{0, 0, 0}, icon.colour};
        s.resources.push_back({"Icon", ++id, icon.name, 0, 0, IconFileOf(32, colours, icon.pixel)});
    }
    s.nextResourceId = 3000;
    return s;
}

}  // namespace stackbuilder
