// Compiled into every test program, so that its definitions are taken before the
// program's do-nothing ones in the library.
#include "tests/support/RegistrySeams.h"

#include "sysinfo/Registry.h"

namespace testing_support {

void (*gBeforeRegWriteOpen)(HKEY, const std::string&) = nullptr;
void (*gBeforeRegKeyDelete)(HKEY, const std::wstring&) = nullptr;
RenameWay gRenameWay = RenameWay::AsTheProgram;

} // namespace testing_support

namespace kel {

void BeforeRegWriteOpen(HKEY root, const std::string& keyPath) {
    if (testing_support::gBeforeRegWriteOpen != nullptr)
        testing_support::gBeforeRegWriteOpen(root, keyPath);
}

void BeforeRegKeyDelete(HKEY parent, const std::wstring& name) {
    if (testing_support::gBeforeRegKeyDelete != nullptr)
        testing_support::gBeforeRegKeyDelete(parent, name);
}

RegRenameKeyFunction RegRenameKeyToUse(RegRenameKeyFunction chosen, RegRenameKeyFunction exported) {
    switch (testing_support::gRenameWay) {
    case testing_support::RenameWay::Copy:
        return nullptr;
    case testing_support::RenameWay::Platform:
        return exported;
    default:
        return chosen;
    }
}

} // namespace kel
