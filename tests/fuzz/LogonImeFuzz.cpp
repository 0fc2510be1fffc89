// The logon IME rule: a step is taken only when the state does not read as asked,
// leaves it reading as asked (after one more click when the saved list brought back
// lacks the IME), and keeps the user's current list (whole, or with the
// IME added at its end); only hiding replaces a left-over saved list.
#include "repair/LogonImeRule.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <optional>

using namespace kel;

namespace {

using List = PreloadValues;

bool hasIme(const std::optional<List>& list) {
    return FactsOf(list.has_value(), list.value_or(List()), false, true).currentHasIme;
}

// The two keys as the registry holds them; a missing key is no list. A current
// list not read whole may hold more than was read.
struct Keys {
    std::optional<List> preload, saved;
    bool preloadReadWhole = true;

    PreloadFacts facts() const {
        return FactsOf(preload.has_value(), preload.value_or(List()), saved.has_value(),
                       preloadReadWhole);
    }
    // What the program does for a step, when every registry call succeeds.
    void apply(LogonImeStep step) {
        if (step == LogonImeStep::SetCurrentAside) {
            saved = preload;
            preload = List{{"1", "00000411"}};
            preloadReadWhole = true;
        } else if (step == LogonImeStep::BringSavedBack) {
            preload = saved;
            saved.reset();
            preloadReadWhole = true;
        } else if (step == LogonImeStep::AddIme) {
            List list = preload.value_or(List());
            list.emplace_back(NextPreloadName(list), "e0010411");
            preload = list;
        }
    }
};

const char* const kLayouts[] = {"e0010411", "E0010411", "00000411", "00000409", "e0200411", ""};

List consumeList(FuzzedDataProvider& input) {
    List list;
    size_t count = input.ConsumeIntegralInRange<size_t>(0, 3);
    for (size_t i = 0; i < count; ++i) {
        std::string name =
            input.ConsumeBool() ? std::to_string(i + 1) : input.ConsumeRandomLengthString(3);
        std::string layout = input.ConsumeBool() ? kLayouts[input.ConsumeIntegralInRange<int>(0, 5)]
                                                 : input.ConsumeRandomLengthString(10);
        list.emplace_back(name, layout);
    }
    return list;
}

bool startsWith(const List& list, const List& prefix) {
    return list.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), list.begin());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    Keys keys;
    if (input.ConsumeBool())
        keys.preload = consumeList(input);
    if (input.ConsumeBool())
        keys.saved = consumeList(input);
    keys.preloadReadWhole = !keys.preload || input.ConsumeBool();

    for (int round = 0; round < 4 && input.remaining_bytes() > 0; ++round) {
        int requested = input.ConsumeBool() ? 1 : 0;
        Keys before = keys;
        LogonImeStep step = DecideLogonIme(requested, before.facts());
        // What could not be read is never dropped with the list.
        if (!before.preloadReadWhole)
            FUZZ_CHECK(step != LogonImeStep::BringSavedBack);
        if (hasIme(before.preload) == (requested == 1))
            FUZZ_CHECK(step == LogonImeStep::Nothing);
        keys.apply(step);
        // A saved list brought back without the IME has it added by the next click.
        if (step == LogonImeStep::BringSavedBack && !hasIme(keys.preload)) {
            Keys next = keys;
            FUZZ_CHECK(DecideLogonIme(requested, next.facts()) == LogonImeStep::AddIme);
            next.apply(LogonImeStep::AddIme);
            FUZZ_CHECK(hasIme(next.preload));
        } else {
            FUZZ_CHECK(hasIme(keys.preload) == (requested == 1));
        }
        // The current list stays, whole or with the IME at its end, unless it held
        // nothing of the user's.
        if (before.preload && !IsOwnlessList(*before.preload)) {
            bool kept = (keys.saved && *keys.saved == *before.preload) ||
                        (keys.preload && startsWith(*keys.preload, *before.preload));
            FUZZ_CHECK(kept);
        }
        // The saved list stays unless hiding replaced it by the newer current list.
        if (before.saved && step != LogonImeStep::SetCurrentAside) {
            bool kept = (keys.saved && *keys.saved == *before.saved) ||
                        (keys.preload && *keys.preload == *before.saved);
            FUZZ_CHECK(kept);
        }
        // Hiding and showing again gives the list back.
        if (step == LogonImeStep::SetCurrentAside) {
            Keys again = keys;
            LogonImeStep back = DecideLogonIme(1, again.facts());
            FUZZ_CHECK(back == LogonImeStep::BringSavedBack);
            again.apply(back);
            FUZZ_CHECK(again.preload == before.preload);
        }
    }
    return 0;
}
