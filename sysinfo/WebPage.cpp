#include "sysinfo/WebPage.h"

#include "sysinfo/Account.h"
#include "sysinfo/Association.h"
#include "sysinfo/CommandLine.h"
#include "sysinfo/Handle.h"
#include "sysinfo/MachineFacts.h"
#include "sysinfo/Start.h"
#include "sysinfo/Text.h"

#include <windows.h>
#include <ddeml.h>

#include <optional>

namespace kel {

const char kMakerSiteUrl[] = "https://www.tarnholm.jp/";
// The Microsoft Update Catalog: it still serves the updates of Office 2000 to 2016
// by Windows Installer, which the retired Office Update site served.
const char kOfficeUpdateUrl[] = "https://www.catalog.update.microsoft.com/Home.aspx";
const char kVectorAuthorUrl[] = "https://www.vector.co.jp/vpack/person/an064921.html";
const char kVectorProgramUrl[] = "https://www.vector.co.jp/soft/winnt/util/se527310.html";

namespace {

constexpr size_t kLaunchBufferChars = 256;

HDDEDATA CALLBACK clientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) {
    return nullptr;
}

// The process's one DDEML client instance.
DWORD ddeInstance() {
    static DWORD instance = [] {
        DWORD id = 0;
        if (DdeInitializeA(&id, clientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
            return DWORD(0);
        return id;
    }();
    return instance;
}

BOOL freeString(HSZ text) {
    return DdeFreeStringHandle(ddeInstance(), text);
}

// A string handle of the process's instance.
using DdeString = ScopedHandle<NullTraits<HSZ, freeString>>;
DdeString ddeString(const char* text) {
    return DdeString(DdeCreateStringHandleA(ddeInstance(), text, CP_WINANSI));
}

// One client conversation of the process's instance, disconnected on destruction.
class Conversation {
  public:
    Conversation() : service_(ddeString("IExplore")), topic_(ddeString("WWW_openUrl")) {}

    bool connect() {
        CONVCONTEXT context = {};
        context.cb = sizeof context;
        context.iCodePage = CP_WINANSI;
        conversation_.reset(DdeConnect(instance_, service_.get(), topic_.get(), &context));
        return conversation_.valid();
    }
    UINT format() const {
        CONVINFO info = {};
        info.cb = sizeof info;
        if (DdeQueryConvInfo(conversation_.get(), QID_SYNC, &info) == 0 || info.wFmt == 0)
            return CF_TEXT;
        return info.wFmt;
    }
    // Starts the transaction without waiting for the answer.
    bool executeAsync(const std::string& command) {
        UINT fmt = format();
        HDDEDATA data = DdeCreateDataHandle(
            instance_, reinterpret_cast<BYTE*>(const_cast<char*>(command.c_str())),
            static_cast<DWORD>(command.size() + 1), 0, nullptr, fmt, 0);
        if (data == nullptr)
            return false;
        DWORD transaction = 0;
        // A transaction that started owns the data; a refused one leaves it ours.
        if (DdeClientTransaction(reinterpret_cast<BYTE*>(data), static_cast<DWORD>(-1),
                                 conversation_.get(), nullptr, fmt, XTYP_EXECUTE, TIMEOUT_ASYNC,
                                 &transaction) != nullptr)
            return true;
        DdeFreeDataHandle(data);
        return false;
    }

  private:
    const DWORD instance_ = ddeInstance();
    DdeString service_, topic_;
    ScopedHandle<NullTraits<HCONV, DdeDisconnect>> conversation_;
};

// Starts Internet Explorer minimized and not activated, and returns once it waits
// for input; the path is quoted so that a path with blanks can never start another
// program.
bool startInternetExplorer() {
    std::string path = InternetExplorerPath();
    if (path.size() >= kLaunchBufferChars)
        return false;
    return gStart({TStart::Kind::Program, AnsiToWide(path), L""}, TShow::MinimizedInactive);
}

// Internet Explorer started here takes the address when it answers over DDE.
bool openInStartedExplorer(Conversation& conversation, const std::string& url) {
    return startInternetExplorer() && conversation.connect() &&
           conversation.executeAsync(OpenUrlCommand(url));
}

// Only a web address goes to the shell's "open": any other would start what its
// handler names.
bool openInDefaultBrowser(const std::string& url) {
    return IsWebAddress(url) && gStart({TStart::Kind::Open, AnsiToWide(url), L""}, TShow::Normal);
}

} // namespace

std::string InternetExplorerPath() {
    std::string path = GetProgramFilesDir() + "\\Internet Explorer\\IEXPLORE.EXE";
    ExpandEnvVariable(path);
    return path;
}

std::string OpenUrlCommand(const std::string& url) {
    return "\"" + url + "\",,-1,,,,,";
}

const char kElevatedOpensNothing[] =
    "このプログラムは管理者として動いているため、ブラウザーなどを起動しませんでした。"
    "このプログラムを管理者としてではなく通常どおり起動してから、もう一度お試しください。";

int OpenUrl(const std::string& url) {
    // Without DDE (its instance failed) only the default browser can take the page.
    std::optional<Conversation> conversation;
    if (ddeInstance() != 0) {
        conversation.emplace();
        if (conversation->connect())
            return conversation->executeAsync(OpenUrlCommand(url)) ? 0 : -1;
    }
    // A browser started from a process with administrator rights would browse with
    // them: BrowserWays gives none there.
    for (TBrowserWay way : BrowserWays(gWindowsVersion(), gProcessElevated())) {
        bool opened = way == TBrowserWay::InternetExplorer
                          ? conversation && openInStartedExplorer(*conversation, url)
                          : openInDefaultBrowser(url);
        if (opened)
            return 0;
    }
    return -1;
}

} // namespace kel
