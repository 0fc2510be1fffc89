// The version strings of one executable.
#pragma once

#include "sysinfo/ProductVersion.h"

#include <map>
#include <stdexcept>
#include <string>

namespace kel {

class TKelProductInfo {
  public:
    std::string CompanyName;
    std::string FileDescription;
    std::string FileVersion;
    std::string InternalName;
    std::string LegalCopyright;
    std::string OriginalFilename;
    std::string ProductName;
    std::string ProductVersion;
    std::string MajorVersion; // ProductVersion up to its second dot, else empty

    void Clear();
    // The framed block "↓-- TKelProductInfo --↓" ... "↑-- TKelProductInfo --↑",
    // one Name[value] line per field, every line ended by CR LF; a CR or LF inside a
    // value is a space there (OnOneLine).
    std::string Dump() const;
};

// One version string of the record and its name in the version block and the dump.
struct TProductInfoString {
    const char* name;
    std::string TKelProductInfo::*field;
};

// The eight version strings, in the order they are read and dumped.
extern const TProductInfoString kProductInfoStrings[8];

// Raised when a version block can't be read although its size was obtained.
// what() is "Assertion failure (<source file>, line <n>)".
class AssertionFailure : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Clears info, then fills it from the version resource of path in the language and
// code page of the first translation. Returns 0 when all eight strings were read;
// -1 when the file, the resource, the translation or a string is missing, with the
// strings read before the missing one kept. Throws AssertionFailure (see above).
int ReadProductInfo(const std::string& path, TKelProductInfo& info);

// While one lives, ReadProductInfo reads each file's version block once: a second
// read of the same path gives the first read's result and strings again (a failed
// read's too; a read that threw is not kept). The pages are built inside one, so
// that a page's caption reuses the read its program lookup made moments before.
// On the user-interface thread; one opened inside another keeps reads of its own, and
// the outer one's reuse resumes when it ends.
class ProductInfoReuse {
  public:
    ProductInfoReuse();
    ~ProductInfoReuse();
    ProductInfoReuse(const ProductInfoReuse&) = delete;
    ProductInfoReuse& operator=(const ProductInfoReuse&) = delete;

  private:
    friend int ReadProductInfo(const std::string& path, TKelProductInfo& info);
    struct Read {
        int status;
        TKelProductInfo info;
    };
    std::map<std::string, Read> reads_;
    ProductInfoReuse* outer_;
};

} // namespace kel
