// The VerList: one line per installed Office product, and the rules over its lines,
// versions and product codes. No platform calls.
#pragma once

#include "sysinfo/ProductVersion.h"
#include "sysinfo/RegView.h"

#include <string>
#include <vector>

namespace kel {

// One installed Office product as the inventory lists it, with the registry view
// its entry was read from. Text() is its line in the memo and the report: the six
// columns below, in this order, separated by one tab; an empty column keeps its
// place.
struct TProductLine {
    std::string version;        // "11.0": the major version and ".0"
    std::string code;           // its product code in braces; empty for Click-to-Run
    std::string name;           // the display name
    std::string displayVersion; // "11.0.5614.0"
    std::string productId;
    std::string installRoot; // the folder of its programs
    RegView view = RegView::Program;

    std::string Text() const;
    // Installed by Click-to-Run: a line without a product code.
    bool IsClickToRun() const { return code.empty(); }
    bool operator==(const TProductLine&) const = default;
};
using ProductLines = std::vector<TProductLine>;

// A product's line. A tab, CR or LF inside a column (machine data) becomes a space,
// so that every column keeps its place in the text.
TProductLine MakeProductLine(int major, const std::string& code, const std::string& name,
                             const std::string& displayVersion, const std::string& productId,
                             const std::string& path, RegView view = RegView::Program);

// -1 when line index1 has the greater version, 1 when the smaller, 0 when equal; a
// version that does not parse counts as 0.
int CompareVersionLines(const ProductLines& list, int index1, int index2);

// Sorts the lines newest version first; lines of equal version keep their order.
void SortNewestFirst(ProductLines& list);

// How the machine's list of programs shows an installed product, most prominent
// first. A Windows Installer suite of Office 2007 and later hides its own package
// entry (SystemComponent = 1) behind an entry of its setup that bears the same
// name; a Click-to-Run suite is a suite release. Language packs, proofing tools and
// shared parts are hidden components.
enum class Listing { Suite, Shown, Component };

struct ProductCandidate {
    TProductLine line;
    Listing listing;
};

// The VerList of the candidates: newest version first, and within a version the
// suites, then the shown products, then the components, each in the order given.
// A version that has a suite or a shown product keeps none of its components.
ProductLines ChooseProductLines(const std::vector<ProductCandidate>& candidates);

// The first line whose version equals version, or -1.
int FindVersionLine(const ProductLines& lines, const std::string& version);

// "{12345678-9ABC-DEF0-1234-56789ABCDEF0}" gives "87654321CBA90FED21436587A9CBED0F";
// a shorter input is cut at its first missing position.
std::string PackProductCode(const std::string& code);

// True for the braced form of a Windows Installer product code: "{", 8, 4, 4, 4
// and 12 hexadecimal digits (either case) joined by "-", "}"; 38 characters.
bool IsProductCode(const std::string& name);

} // namespace kel
