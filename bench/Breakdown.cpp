#include "bench/Breakdown.h"

#include "app/MainWindow.h"
#include "office/Applications.h"
#include "office/ProcessSurvey.h"
#include "office/UserInfo.h"
#include "repair/Actions.h"
#include "sysinfo/Association.h"
#include "sysinfo/ProductInfo.h"
#include "sysinfo/Registry.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace bench {

namespace {

double now() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

double timed(const std::function<void()>& work) {
    double start = now();
    work();
    return now() - start;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Step {
    std::string name;
    std::function<void()> work;
    bool ofBuild = false; // a whole call BuildPages makes (not at a page's first show)
};

// Prints the step's first time and the median of rounds more; returns the median.
double printStep(const Step& step, int rounds) {
    double first = timed(step.work);
    std::vector<double> again;
    for (int i = 0; i < rounds; ++i)
        again.push_back(timed(step.work));
    std::printf("  %-52s first %7.2f ms  then %7.2f ms\n", step.name.c_str(), first * 1000,
                median(again) * 1000);
    return median(again);
}

// A window without rows: the survey alone is timed.
struct PlainForm : kel::TRunningStateView {
    void ShowRunningState(const std::string&, const std::string&, bool) override {}
};

// The main window (not shown) with its pages built, as the program has it once it is
// ready; then every page shown once, as the user's first visit reads its rows' states.
void createAndBuild(double& create, double& build, double& firstShows) {
    double start = now();
    auto form = std::make_unique<app::MainWindow>();
    create = now() - start;
    start = now();
    form->BuildPages();
    build = now() - start;
    start = now();
    for (int i = 0; i < form->GLB_Menu->Count(); ++i) {
        form->GLB_Menu->SetItemIndex(i);
        form->GLB_MenuClick(*form->GLB_Menu);
    }
    firstShows = now() - start;
    form.reset();
}

std::vector<Step> pageConstructionCalls(kel::TKelOfficeInfo& info, kel::TUserInfoList& users,
                                        kel::TRunningStateView& form) {
    std::vector<Step> steps = {
        {"DetectOffice", [&] { kel::DetectOffice(info); }, true},
        {"ReadUserInfo", [&] { kel::ReadUserInfo(info, users); }, true},
        {"GetOfficeIcon (an icon extraction)",
         [&] {
             HICON icon = nullptr;
             kel::GetOfficeIcon(info, icon);
             DestroyIcon(icon);
         },
         true},
    };
    for (const kel::TDocumentType& page : kel::kDocumentTypes) {
        kel::TKelExtInfo& record = info.Record(page.application);
        steps.push_back({std::string("GetExtInfo ") + page.extension + " (whole)",
                         [&record, &page] {
                             kel::GetExtInfo(page.extension, page.accepted, record);
                             DestroyIcon(record.IconHandle);
                             record.IconHandle = nullptr;
                         },
                         true});
        steps.push_back({std::string("  of it ReadProductInfo ") + page.extension, [&record] {
                             kel::TKelProductInfo version;
                             kel::ReadProductInfo(record.FileName, version);
                         }});
        steps.push_back(
            {std::string("  of it ExtractIconA ") + page.extension, [&record] {
                 DestroyIcon(ExtractIconA(GetModuleHandleA(nullptr), record.FileName.c_str(), 0));
             }});
    }
    for (const kel::TDocumentType& page : kel::kDocumentTypes) {
        if (!kel::HasRunningRow(page))
            continue;
        steps.push_back({std::string("RefreshRunningState ") + page.processRow + " (at first show)",
                         [&info, &form, &page] {
                             kel::ProcessIds ids;
                             kel::RefreshRunningState(form, info.Record(page.application), ids,
                                                      page.processRow);
                         }});
    }
    // Each switch's state, as its page's first show reads it.
    for (const kel::TAction& row : kel::kActions)
        if (row.IsSwitch())
            steps.push_back({std::string("read ") + row.row + " (at first show)",
                             [&info, &row] { row.read(info); }});
    steps.push_back({"GetRegKeyNames of HKEY_CLASSES_ROOT (a script host read)", [] {
                         kel::StringList names;
                         kel::GetRegKeyNames(HKEY_CLASSES_ROOT, "", names);
                     }});
    return steps;
}

} // namespace

void PrintStartupBreakdown(int rounds) {
    kel::StringList names;
    kel::GetRegKeyNames(HKEY_CLASSES_ROOT, "", names);
    std::printf("  (%u classes in HKEY_CLASSES_ROOT; a page's caption reuses its lookup's version "
                "read)\n",
                static_cast<unsigned>(names.size()));
    const char* const parts[] = {"main window with the About page (FormCreate)",
                                 "BuildPages (whole)",
                                 "every page's first show, after start-up (its states)"};
    std::vector<double> again[3];
    for (int i = 0; i <= rounds; ++i) {
        double times[3] = {};
        createAndBuild(times[0], times[1], times[2]);
        for (int part = 0; part < 3; ++part)
            if (i == 0)
                std::printf("  %-52s first %7.2f ms\n", parts[part], times[part] * 1000);
            else
                again[part].push_back(times[part]);
    }
    for (int part = 0; part < 3; ++part)
        std::printf("  %-52s then  %7.2f ms\n", parts[part], median(again[part]) * 1000);
    kel::TKelOfficeInfo info;
    kel::TUserInfoList users;
    PlainForm form;
    double calls = 0;
    for (const Step& step : pageConstructionCalls(info, users, form)) {
        double then = printStep(step, rounds);
        if (step.ofBuild)
            calls += then;
    }
    std::printf("  %-52s then  %7.2f ms\n", "BuildPages less its calls above: windows, controls",
                (median(again[1]) - calls) * 1000);
}

} // namespace bench
