// The backup file's text: whatever names and data the registry holds, every line
// of the text is one the editor reads as intended (no name or data begins a line
// of its own, no section appears that was not asked for), and wrapped data lines
// stay within the editor's width. Backup names: parsing never fails loudly, and
// pruning keeps exactly the newest.
#include "sysinfo/RegExport.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <iterator>

namespace {

const wchar_t kAlphabet[] = {L'[',  L']',  L'"',      L'\\',     L'\r',
                             L'\n', L'\0', L'=',      L'@',      L'-',
                             L';',  L'a',  L'\u00A5', L'\u8868', static_cast<wchar_t>(0xD800)};

std::wstring consumeWide(FuzzedDataProvider& input, size_t maxLength) {
    return fuzz::ConsumeWide(input, maxLength, kAlphabet);
}

const wchar_t* const kRoots[] = {L"HKEY_CURRENT_USER\\", L"HKEY_LOCAL_MACHINE\\", L"HKEY_USERS\\",
                                 L""};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::vector<kel::TRegSection> sections;
    size_t count = input.ConsumeIntegralInRange<size_t>(0, 4);
    for (size_t s = 0; s < count; ++s) {
        kel::TRegSection section;
        section.path = kRoots[input.ConsumeIntegralInRange<size_t>(0, std::size(kRoots) - 1)] +
                       consumeWide(input, 12);
        section.deleteKey = input.ConsumeBool();
        size_t values = input.ConsumeIntegralInRange<size_t>(0, 3);
        for (size_t v = 0; v < values; ++v) {
            kel::TRegValue value{consumeWide(input, 8),
                                 input.ConsumeBool(),
                                 input.ConsumeIntegralInRange<uint32_t>(0, 12),
                                 {}};
            value.data = input.ConsumeBytes<uint8_t>(input.ConsumeIntegralInRange<size_t>(0, 60));
            section.values.push_back(value);
        }
        sections.push_back(section);
    }
    std::optional<std::wstring> text = kel::RegFileText({consumeWide(input, 6)}, sections);
    if (text) {
        size_t headers = 0;
        size_t start = 0;
        while (start < text->size()) {
            size_t end = text->find(L"\r\n", start);
            FUZZ_CHECK(end != std::wstring::npos); // every line ends with CR LF
            std::wstring line = text->substr(start, end - start);
            FUZZ_CHECK(line.find_first_of(std::wstring(L"\r\n\0", 3)) == std::wstring::npos);
            if (!line.empty() && line[0] == L'[')
                ++headers;
            if (line.size() > 2 && line.compare(0, 2, L"  ") == 0)
                FUZZ_CHECK(line.size() <= 80);
            start = end + 2;
        }
        FUZZ_CHECK(headers == sections.size());
    }

    std::vector<std::wstring> names;
    size_t parsed = 0;
    for (size_t n = input.ConsumeIntegralInRange<size_t>(0, 6); n > 0; --n) {
        names.push_back(consumeWide(input, 30));
        parsed += kel::ParseBackupFileName(names.back()).has_value();
    }
    size_t keep = input.ConsumeIntegralInRange<size_t>(0, 4);
    FUZZ_CHECK(kel::BackupsBeyond(names, keep).size() == (parsed > keep ? parsed - keep : 0));
    return 0;
}
