// How a caption too long for its room is shortened: what it shows fits (or is the
// ellipsis alone), begins as the caption begins at a character's boundary, and keeps
// the caption's closing bracketed part where that part fits.
#include "tests/fuzz/FuzzSupport.h"
#include "widgets/CaptionFit.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>
#include <vector>

using namespace ui;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    int room = input.ConsumeIntegralInRange<int>(-4, 300);
    bool doubleWidth = input.ConsumeBool(); // a double-byte character twice as wide
    std::string caption = input.ConsumeRemainingBytesAsString();
    auto width = [doubleWidth](const std::string& text) {
        int units = 0;
        std::vector<bool> starts = fuzz::CharacterStarts(text);
        for (size_t i = 0; i < text.size(); ++i)
            units += starts[i] ? (doubleWidth && !starts[i + 1] ? 2 : 1) : 0;
        return units;
    };
    std::string shown = FitCaption(caption, room, width);
    if (shown == caption && caption != "...") { // the ellipsis alone is shown as it is
        FUZZ_CHECK(width(caption) <= room);
        return 0;
    }
    FUZZ_CHECK(shown == "..." || width(shown) <= room);
    // Some "..." in it (the caption may hold its own) stands between a beginning of the
    // caption, cut at a character's boundary, and nothing or the caption's own end.
    std::vector<bool> starts = fuzz::CharacterStarts(caption);
    bool split = false;
    for (size_t at = shown.find("..."); at != std::string::npos && !split;
         at = shown.find("...", at + 1)) {
        std::string head = shown.substr(0, at), rest = shown.substr(at + 3);
        split = head.size() < caption.size() && caption.compare(0, head.size(), head) == 0 &&
                starts[head.size()] && rest.size() <= caption.size() &&
                caption.compare(caption.size() - rest.size(), rest.size(), rest) == 0;
    }
    FUZZ_CHECK(split || shown == "...");
    // The closing bracketed part, " [" to a final single-byte "]", stays whole wherever
    // it fits with the ellipsis.
    size_t open = caption.rfind(" [");
    bool bracketed = !caption.empty() && caption.back() == ']' && starts[caption.size() - 1] &&
                     open != std::string::npos;
    if (bracketed && width("..." + caption.substr(open)) <= room)
        FUZZ_CHECK(shown.ends_with(caption.substr(open)));
    return 0;
}
