// The page of one application.
#include "app/ApplicationPage.h"

#include "app/MainWindow.h"
#include "office/ProcessSurvey.h"

namespace app {

ApplicationPage::ApplicationPage(MainWindow& window, const kel::TKelExtInfo& record,
                                 const kel::TDocumentType& type)
    : Page(window, record), type_(type), icon_(record.IconHandle) {}

// At the first show, once the rows are made: the running-state row is surveyed
// before the page is drawn, so it is never drawn with a state not read.
void ApplicationPage::readStates() {
    if (kel::HasRunningRow(type_)) {
        kel::TKelOfficeInfo& info = window_.OfficeInfo();
        kel::RefreshRunningState(window_, info.Record(type_.application),
                                 info.RunningIds(type_.application), type_.processRow);
    }
    Page::readStates();
}

} // namespace app
