// The Office page's user-information block.
#include "app/MainWindow.h"

#include "office/UserInfo.h"
#include "repair/Actions.h"
#include "widgets/MessageDialog.h"

namespace app {

namespace {

struct UserInfoField {
    const char* edit;
    const char* name;
};
const UserInfoField kUserInfoFields[] = {
    {"ED_MsoCompany", "Company"},
    {"ED_MsoOwner", "Owner"},
    {"ED_MsoInitials", "Initials"},
};

} // namespace

void MainWindow::showUserInfo(const kel::TUserInfoList& list) {
    for (const UserInfoField& field : kUserInfoFields) {
        if (auto* edit = Find<ui::TEdit>(field.edit))
            edit->SetCaption(list.Shown(field.name));
    }
}

// Takes the edited values, writes them when they changed, reads them back and
// reports whether every write succeeded and the registry now holds them. A field
// that was neither edited nor written (marked) takes what was read back.
void MainWindow::BB_UserInfoClick(ui::TComponent&) {
    kel::TUserInfoList& after = *infoAfter_;
    kel::TUserInfoList& before = *infoBefore_;
    for (const UserInfoField& field : kUserInfoFields) {
        if (auto* edit = Find<ui::TEdit>(field.edit))
            after.TakeFieldText(field.name, edit->Caption());
    }
    showUserInfo(after);
    if (after == before) {
        ui::ShowMessageDialog("変更されていません。", ui::TMsgDlgType::mtWarning, ui::mbOK);
        return;
    }
    kel::TellOfAnotherAccountOnce(*this);
    int written = kel::WriteUserInfo(*officeInfo_, after);
    int read = kel::ReadUserInfo(*officeInfo_, before);
    after.TakeUnwritten(before);
    showUserInfo(after);
    if (read == 0 && written == 0 && after == before)
        ui::ShowMessageDialog("更新しました。ご確認ください。", ui::TMsgDlgType::mtInformation,
                              ui::mbOK);
    else
        ui::ShowMessageDialog("更新出来ませんでした。", ui::TMsgDlgType::mtWarning, ui::mbOK);
}

} // namespace app
