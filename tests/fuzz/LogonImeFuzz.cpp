// The logon IME rule: a step never throws a list of keyboard layouts away, is taken
// only when the state does not read as asked, and leaves it reading as asked.
#include "repair/LogonImeRule.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <optional>

using namespace kel;

namespace {

using List = std::vector<PreloadValue>;

bool same(const List& a, const List& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].name != b[i].name || a[i].isText != b[i].isText ||
            (a[i].isText && a[i].layout != b[i].layout))
            return false;
    }
    return true;
}

// The two keys as the registry holds them; a missing key is no list.
struct Keys {
    std::optional<List> preload, kept;

    PreloadLists view() const {
        PreloadLists lists;
        lists.listExists = preload.has_value();
        lists.list = preload.value_or(List());
        lists.keptExists = kept.has_value();
        return lists;
    }
    // What the program does for a step, when every registry call succeeds.
    void apply(LogonImeStep step) {
        if (step == LogonImeStep::kHide) {
            if (preload)
                kept = preload;
            preload = List{{"1", true, kJapaneseKeyboard}};
        } else if (step == LogonImeStep::kShow) {
            preload = kept.value_or(List());
            kept.reset();
        }
    }
};

const char* const kLayouts[] = {"e0010411", "E0010411", "00000411", "00000409", "e0200411", ""};

List consumeList(FuzzedDataProvider& input) {
    List list;
    size_t count = input.ConsumeIntegralInRange<size_t>(0, 3);
    for (size_t i = 0; i < count; ++i) {
        PreloadValue value;
        value.name =
            input.ConsumeBool() ? std::to_string(i + 1) : input.ConsumeRandomLengthString(3);
        value.isText = input.ConsumeBool();
        value.layout = input.ConsumeBool() ? kLayouts[input.ConsumeIntegralInRange<int>(0, 5)]
                                           : input.ConsumeRandomLengthString(10);
        list.push_back(value);
    }
    return list;
}

bool isPlaceholder(const List& list) {
    PreloadLists lists;
    lists.listExists = true;
    lists.list = list;
    return HoldsOnlyTheKeyboard(lists);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    Keys keys;
    if (input.ConsumeBool())
        keys.preload = consumeList(input);
    if (input.ConsumeBool())
        keys.kept = consumeList(input);

    for (int round = 0; round < 4 && input.remaining_bytes() > 0; ++round) {
        int requested = input.ConsumeBool() ? 1 : 0;
        Keys before = keys;
        LogonImeStep step = DecideLogonIme(requested, before.view());
        if (LogonImeState(before.view()) == requested)
            FUZZ_CHECK(step == LogonImeStep::kNone);
        keys.apply(step);
        // Every list there was is still there, unless it was the placeholder.
        for (const std::optional<List>& old : {before.preload, before.kept}) {
            if (!old || isPlaceholder(*old))
                continue;
            bool kept = (keys.preload && same(*keys.preload, *old)) ||
                        (keys.kept && same(*keys.kept, *old));
            FUZZ_CHECK(kept);
        }
        if (step == LogonImeStep::kHide)
            FUZZ_CHECK(LogonImeState(keys.view()) == 0 && HoldsOnlyTheKeyboard(keys.view()));
        if (step == LogonImeStep::kShow)
            FUZZ_CHECK(!keys.kept && before.kept && same(*keys.preload, *before.kept));
        // Hiding and showing again gives the list back.
        if (step == LogonImeStep::kHide && before.preload) {
            Keys again = keys;
            LogonImeStep back = DecideLogonIme(1, again.view());
            if (LogonImeState(before.view()) == 1) {
                FUZZ_CHECK(back == LogonImeStep::kShow);
                again.apply(back);
                FUZZ_CHECK(same(*again.preload, *before.preload));
            }
        }
    }
    return 0;
}
