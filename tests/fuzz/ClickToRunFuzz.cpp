// The rules that read a Click-to-Run installation's registry data.
#include "office/ClickToRunRules.h"
#include "tests/fuzz/FuzzSupport.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <string>

using namespace kel;

namespace {

std::string asciiUpper(std::string text) {
    for (char& c : text)
        c = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    return text;
}

void checkReleaseIds(const std::string& value) {
    size_t kept = 0;
    for (const std::string& id : SplitReleaseIds(value)) {
        FUZZ_CHECK(!id.empty() && id.find(',') == std::string::npos);
        FUZZ_CHECK(id.front() != ' ' && id.front() != '\t' && id.back() != ' ' &&
                   id.back() != '\t');
        kept += id.size();
    }
    FUZZ_CHECK(kept <= value.size());
}

void checkEntry(const std::string& id, const std::string& culture) {
    FUZZ_CHECK(ReleaseKindOf(id) == ReleaseKindOf(asciiUpper(id))); // case does not count
    std::string entry = asciiUpper(id) + " - " + culture;
    bool named = !id.empty() && !culture.empty();
    FUZZ_CHECK(IsReleaseEntryName(id, entry) == named);
    if (id.find_first_of(" -") == std::string::npos) // the first " - " is the separator
        FUZZ_CHECK(EntryCulture(entry) == culture);
}

void checkFolder(const std::string& path, int major) {
    std::string folder = ClickToRunProgramFolder(path, major);
    std::string tail = "\\root\\Office" + std::to_string(major) + "\\";
    FUZZ_CHECK(folder.size() >= tail.size() &&
               folder.compare(folder.size() - tail.size(), tail.size(), tail) == 0);
    std::string kept = folder.substr(0, folder.size() - tail.size());
    FUZZ_CHECK(path.compare(0, kept.size(), kept) == 0); // a start of the path...
    for (size_t i = kept.size(); i < path.size(); ++i)   // ...without its final backslashes
        FUZZ_CHECK(path[i] == '\\');
    // Never cut between the bytes of a character.
    std::vector<bool> starts = fuzz::CharacterStarts(path);
    FUZZ_CHECK(kept.size() >= path.size() || starts[kept.size()]);
}

// Every client path is a full plain path that ends with the client's name and starts
// with the whole folder it came from; a named client folder leaves the installation's
// folders out.
void checkClients(const std::wstring& clientFolder, const std::wstring& installation,
                  bool inInstallation) {
    const std::wstring name = L"\\OfficeC2RClient.exe";
    std::vector<std::wstring> programs =
        ClickToRunClientPrograms(clientFolder, installation, inInstallation);
    FUZZ_CHECK(programs.size() <= 2);
    for (const std::wstring& program : programs) {
        FUZZ_CHECK(program.size() > name.size() &&
                   program.compare(program.size() - name.size(), name.size(), name) == 0);
        FUZZ_CHECK(IsFullPlainPath(program));
        std::wstring from = programs.size() == 1 ? clientFolder : installation;
        FUZZ_CHECK(IsFullPlainPath(from));
        while (!from.empty() && from.back() == L'\\')
            from.pop_back();
        FUZZ_CHECK(program.size() > from.size() && program.compare(0, from.size(), from) == 0 &&
                   program[from.size()] == L'\\');
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    std::string id = input.ConsumeRandomLengthString(40);
    std::string culture = input.ConsumeRandomLengthString(12);
    int major = input.ConsumeIntegralInRange(0, 99);
    std::string rest = input.ConsumeRemainingBytesAsString();
    checkReleaseIds(rest);
    checkEntry(id, culture);
    checkFolder(rest, major);
    std::wstring wide(rest.begin(), rest.end()), folder(id.begin(), id.end());
    checkClients(folder, wide, major % 2 == 0);
    int number = VersionMajorNumber(rest);
    FUZZ_CHECK(number == -1 || (!rest.empty() && rest[0] >= '0' && rest[0] <= '9'));
    return 0;
}
