#include "sysinfo/CommandLineRules.h"

namespace kel {

namespace {

// Quote, comma, dot, blank and percent are below 0x40, so none of them can be the
// trail byte of a code page 932 character: plain byte searches are safe here.

std::string before(const std::string& s, size_t position) {
    return s.substr(0, position);
}

// While s holds the quote: cut at the last one, then, if one is left, keep what
// follows the first. "\"path\" /e" gives "path".
std::string stripQuotes(std::string s, char quote) {
    while (s.find(quote) != std::string::npos) {
        s = before(s, s.rfind(quote));
        size_t first = s.find(quote);
        if (first != std::string::npos)
            s = s.substr(first + 1);
    }
    return s;
}

} // namespace

std::string ExpandFirstVariable(const std::string& s, const EnvironmentLookup& lookup) {
    size_t open = s.find('%');
    if (open == std::string::npos)
        return s;
    size_t close = s.find('%', open + 1);
    if (close == std::string::npos)
        return s;
    return lookup(s.substr(open + 1, close - open - 1)) + s.substr(close + 1);
}

std::string ReduceCommandLine(const std::string& input, const EnvironmentLookup& lookup) {
    std::string s = stripQuotes(stripQuotes(input, '\''), '"');
    size_t comma = s.find(',');
    if (comma != std::string::npos) // an icon index such as ",1"
        s = before(s, comma);
    size_t dot = s.find('.');
    if (dot != std::string::npos) {
        size_t blank = s.find(' ', dot); // switches after a path with an extension
        if (blank != std::string::npos)
            s = before(s, blank);
    } else if (size_t blank = s.find(' '); blank != std::string::npos) {
        s = before(s, blank);
    }
    if (s.find('%') != std::string::npos)
        s = ExpandFirstVariable(s, lookup);
    return s;
}

} // namespace kel
