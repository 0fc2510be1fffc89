#include "office/VerList.h"

#include <algorithm>
#include <vector>

namespace kel {

namespace {

// Tab, CR and LF never occur inside a double-byte character of code page 932, so
// they can be replaced byte by byte.
std::string columnText(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\r' || c == '\n')
            c = ' ';
    return text;
}

} // namespace

std::string TProductLine::Text() const {
    std::string text = version;
    for (const std::string* column : {&code, &name, &displayVersion, &productId, &installRoot})
        text += "\t" + *column;
    return text;
}

TProductLine MakeProductLine(int major, const std::string& code, const std::string& name,
                             const std::string& displayVersion, const std::string& productId,
                             const std::string& path, RegView view) {
    return {std::to_string(major) + ".0",
            columnText(code),
            columnText(name),
            columnText(displayVersion),
            columnText(productId),
            columnText(path),
            view};
}

int CompareVersionLines(const ProductLines& list, int index1, int index2) {
    double first = 0, second = 0;
    ParseVersion(list[index1].version, first);
    ParseVersion(list[index2].version, second);
    return first > second ? -1 : first < second ? 1 : 0;
}

void SortNewestFirst(ProductLines& list) {
    ProductLines unsorted = list;
    std::vector<int> order(list.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return CompareVersionLines(unsorted, a, b) < 0; });
    for (size_t i = 0; i < order.size(); ++i)
        list[i] = unsorted[order[i]];
}

ProductLines ChooseProductLines(const std::vector<ProductCandidate>& candidates) {
    auto versionOf = [](const ProductCandidate& c) { return c.line.version; };
    auto outshone = [&](const ProductCandidate& component) {
        return std::any_of(candidates.begin(), candidates.end(), [&](const ProductCandidate& c) {
            return c.listing != Listing::Component &&
                   SameVersion(versionOf(c), versionOf(component));
        });
    };
    std::vector<ProductCandidate> kept;
    for (const ProductCandidate& candidate : candidates)
        if (candidate.listing != Listing::Component || !outshone(candidate))
            kept.push_back(candidate);
    std::stable_sort(kept.begin(), kept.end(),
                     [](const auto& a, const auto& b) { return a.listing < b.listing; });
    ProductLines lines;
    for (const ProductCandidate& candidate : kept)
        lines.push_back(candidate.line);
    SortNewestFirst(lines); // stable: the listing order stays within a version
    return lines;
}

int FindVersionLine(const ProductLines& lines, const std::string& version) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (SameVersion(lines[i].version, version))
            return static_cast<int>(i);
    }
    return -1;
}

std::string PackProductCode(const std::string& code) {
    static const int kOrder[] = {8,  7,  6,  5,  4,  3,  2,  1,  13, 12, 11, 10, 18, 17, 16, 15,
                                 21, 20, 23, 22, 26, 25, 28, 27, 30, 29, 32, 31, 34, 33, 36, 35};
    std::string packed;
    for (int position : kOrder) {
        if (position >= static_cast<int>(std::min<size_t>(code.size(), 38)))
            break;
        packed += code[position];
    }
    return packed;
}

bool IsProductCode(const std::string& name) {
    static const char kForm[] = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    if (name.size() != sizeof kForm - 1)
        return false;
    for (size_t i = 0; i < name.size(); ++i) {
        char c = name[i];
        bool hex = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
        if (kForm[i] == 'X' ? !hex : name[i] != kForm[i])
            return false;
    }
    return true;
}

} // namespace kel
