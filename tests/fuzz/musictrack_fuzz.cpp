// Arbitrary bytes as a music track's sample (and as its description): the events decoded,
// encoded again and decoded once more are the same events with the same end.
#include <algorithm>
#include <tuple>
#include <vector>

#include "quicktime/formats/MusicTrack.h"
#include "tests/fuzz/FuzzCheck.h"

namespace {

auto Key(const MusicEvent& e) { return std::tuple(e.time, int(e.kind), e.part, e.number, e.value, e.duration); }

std::vector<MusicEvent> Sorted(std::vector<MusicEvent> events) {
    std::sort(events.begin(), events.end(), [](const MusicEvent& a, const MusicEvent& b) { return Key(a) < Key(b); });
    return events;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1 << 14))
        return 0;
    const std::span<const uint8_t> bytes(data, size);
    MusicTrackEvents header;
    DecodeMusicHeader(bytes, &header);
    FuzzCheck(header.instruments.size() <= size / 8);
    MusicTrackEvents first;
    DecodeMusicEvents(bytes, 0, &first);
    FuzzCheck(first.events.size() <= size / 4);
    const std::vector<uint8_t> again = EncodeMusicEvents(first.events, first.endTime);
    MusicTrackEvents second;
    DecodeMusicEvents(again, 0, &second);
    FuzzCheck(second.endTime == first.endTime);
    const std::vector<MusicEvent> a = Sorted(first.events), b = Sorted(second.events);
    FuzzCheck(a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](const MusicEvent& x, const MusicEvent& y) {
                  return Key(x) == Key(y);
              }));
    return 0;
}
