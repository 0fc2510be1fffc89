// The backup file's text: whatever names and data the registry holds, every line
// of the text is one the editor reads as intended (no name or data begins a line
// of its own, no section appears that was not asked for), wrapped data lines stay
// within the editor's width, and ParseRegFile reads the sections back. Any text:
// the keys SectionKeys gives are those of every line an importer could take for a
// section. Backup names: parsing never fails loudly, and pruning keeps exactly the
// newest.
#include "sysinfo/RegExport.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <iterator>

namespace {

const wchar_t kAlphabet[] = {
    L'[',      L']',      L'"',      L'\\',     L'\r',     L'\n',
    L'\0',     L'=',      L'@',      L'-',      L';',      L'a',
    L'\u00A5', L'\u8868', L'\u0085', L'\u200E', L'\u2060', static_cast<wchar_t>(0xD800)};

std::wstring consumeWide(FuzzedDataProvider& input, size_t maxLength) {
    return fuzz::ConsumeWide(input, maxLength, kAlphabet);
}

const wchar_t* const kRoots[] = {L"HKEY_CURRENT_USER\\", L"HKEY_LOCAL_MACHINE\\", L"HKEY_USERS\\",
                                 L""};

const wchar_t kFileAlphabet[] = {L'[',  L']',      L'-',      L'\\',     L'\r',
                                 L'\n', L'\0',     L'\t',     L' ',      L'\x0B',
                                 L'a',  L'\u00A0', L'\u2028', L'\u3000', L'\uFEFF'};

// The keys an importer could find in a text: lines end at CR LF, LF or a lone CR; a
// line whose first character after any it might skip as blank is "[" names the key
// between "[" or "[-" and its last "]".
std::vector<std::wstring> importedKeys(const std::wstring& text) {
    std::wstring blanks;
    for (wchar_t c = 0; c <= 0x20; ++c)
        blanks += c;
    for (wchar_t c = 0x7F; c <= 0xA0; ++c) // DEL, the C1 controls (NEL), no-break space
        blanks += c;
    for (wchar_t c = 0x2000; c <= 0x200F; ++c)
        blanks += c;
    for (wchar_t c = 0x2028; c <= 0x202F; ++c)
        blanks += c;
    for (wchar_t c = 0x205F; c <= 0x2064; ++c)
        blanks += c;
    blanks += L"\u1680\u180E\u3000\uFEFF";
    std::vector<std::wstring> keys;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = std::min(text.find_first_of(L"\r\n", start), text.size());
        std::wstring line = text.substr(start, end - start);
        start = end + (text.compare(end, 2, L"\r\n") == 0 ? 2 : 1);
        size_t first = line.find_first_not_of(blanks);
        if (first == std::wstring::npos || line[first] != L'[')
            continue;
        size_t from = first + (line.compare(first, 2, L"[-") == 0 ? 2 : 1);
        size_t last = line.rfind(L']');
        keys.push_back(line.substr(
            from, last == std::wstring::npos || last < from ? std::wstring::npos : last - from));
    }
    return keys;
}

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
        // Read back as written: a value to delete has no type or data, a key to
        // delete no values.
        for (kel::TRegSection& section : sections) {
            if (section.deleteKey)
                section.values.clear();
            for (kel::TRegValue& value : section.values)
                if (!value.present)
                    value = {value.name, false, 0, {}};
        }
        FUZZ_CHECK(kel::ParseRegFile(*text) == sections);
    }

    std::vector<std::wstring> names;
    size_t parsed = 0;
    for (size_t n = input.ConsumeIntegralInRange<size_t>(0, 6); n > 0; --n) {
        names.push_back(consumeWide(input, 30));
        parsed += kel::ParseBackupFileName(names.back()).has_value();
    }
    size_t keep = input.ConsumeIntegralInRange<size_t>(0, 4);
    FUZZ_CHECK(kel::BackupsBeyond(names, keep).size() == (parsed > keep ? parsed - keep : 0));

    std::wstring file =
        input.ConsumeBool() ? L"\uFEFFWindows Registry Editor Version 5.00\r\n" : L"";
    for (size_t n = input.ConsumeIntegralInRange<size_t>(0, 8); n > 0; --n)
        file += input.ConsumeBool()
                    ? kRoots[input.ConsumeIntegralInRange<size_t>(0, std::size(kRoots) - 1)]
                    : fuzz::ConsumeWide(input, 8, kFileAlphabet);
    std::optional<std::vector<std::wstring>> keys = kel::SectionKeys(file);
    FUZZ_CHECK(!keys || *keys == importedKeys(file));
    if (std::optional<std::vector<kel::TRegSection>> read = kel::ParseRegFile(file)) {
        FUZZ_CHECK(keys && keys->size() == read->size());
        for (size_t i = 0; i < read->size(); ++i)
            FUZZ_CHECK((*read)[i].path == (*keys)[i]);
    }
    return 0;
}
