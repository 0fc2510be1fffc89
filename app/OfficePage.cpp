// The Office page and its user-information block.
#include "app/OfficePage.h"

#include "app/Arguments.h"
#include "app/Change.h"
#include "app/Elevate.h"
#include "app/MainWindow.h"
#include "office/UserInfo.h"
#include "sysinfo/Account.h"
#include "sysinfo/Text.h"
#include "widgets/MessageDialog.h"

#include <exception>

namespace app {

namespace {

// The fields from the top: edit, label and its text, the user information's field
// it edits (none for the product ID, which is only shown: its name and most bytes),
// its width and its gap to the field above.
struct Field {
    const char* edit;
    const char* label;
    const char* caption;
    const kel::TUserInfoField* field;
    int width; // -1: up to the update button
    int gapAbove;
};
const Field kFields[] = {
    {"ED_MsoCompany", "LL_MsoCompany", "会社名", &kel::kCompanyField, 280, 0},
    {"ED_MsoOwner", "LL_MsoOwner", "使用者名", &kel::kOwnerField, 280, 1},
    {"ED_MsoInitials", "LL_MsoInitials", "頭文字", &kel::kInitialsField, 70, 1},
    {"ED_MsoProductID", "LL_MsoProductID", "プロダクトID", nullptr, -1, 5},
};
constexpr int kProductIdWidth = 280 - 24; // with the update button's width

} // namespace

OfficePage::OfficePage(MainWindow& window, const kel::TKelExtInfo& record) : Page(window, record) {
    if (record.IconHandle != LoadIconA(nullptr, IDI_INFORMATION)) // the shared one stays
        icon_.reset(record.IconHandle);
    const kel::TKelOfficeInfo& info = window.OfficeInfo();
    if (!info.Product.ProductName.empty())
        Box().SetCaption(info.Product.ProductName + " [Version " + info.Product.ProductVersion +
                         "]");
}

void OfficePage::build() {
    buildUserInfo();
    addRows();
    showUserInfo(window_.InfoBefore());
    const kel::TKelOfficeInfo& info = window_.OfficeInfo();
    if (!info.ProductID.empty())
        productId_->SetCaption(info.ProductID);
}

void OfficePage::buildUserInfo() {
    MainWindow& window = window_;
    ui::TGroupBox& page = Box();
    int w = page.Width();
    int top = 21;
    ui::TEdit* previous = nullptr;
    for (const Field& field : kFields) {
        if (previous != nullptr)
            top = previous->Top() + previous->Height() + field.gapAbove;
        // The product ID's width is the update button's to share, once it is made.
        ui::TEdit& edit = window.Create<ui::TEdit>(
            field.edit, page.Handle(),
            ui::ShownAt(w - 290, top, field.width < 0 ? kProductIdWidth : field.width, 20));
        if (field.field != nullptr) {
            edit.SetMaxLength(field.field->maxBytes);
        } else {
            edit.SetReadOnly(true);
            edit.SetColor(ui::clBtnFace);
            productId_ = &edit;
        }
        ui::TLabel& label = window.Create<ui::TLabel>(
            field.label, page.Handle(), ui::TInitial{.caption = field.caption, .visible = true});
        label.SetAlignment(ui::TAlignment::RightJustify);
        // Right-aligned 4 pixels before its field; from 12 pixels in, so that
        // "プロダクトID" fits at every scale.
        label.PlaceOnBand(12, edit.Left() - 16, edit.Top(), 20);
        previous = &edit;
    }
    // The frame's update button comes onto the page.
    ui::TButton& button = *window.Find<ui::TButton>("BB_UserInfo");
    BB_UserInfo = &button;
    button.SetParent(page.Handle());
    button.OnClick = [this](ui::TComponent& sender) { BB_UserInfoClick(sender); };
    // Without administrator rights the update asks for them to write the machine's
    // places: the button says so as Windows marks such a button.
    if (!kel::gProcessElevated() && kel::HasMachineUserInfo(window.OfficeInfo()))
        button.SetShield();
    ui::TEdit& productId = *productId_;
    productId.SetBounds(productId.Left(), productId.Top(), kProductIdWidth - button.Width(),
                        productId.Height());
    button.SetBounds(w - button.Width() - 12,
                     productId.Top() + productId.Height() - button.Height() - 1, button.Width(),
                     button.Height());
    button.Show();
    window.AddButtonFrame("BV_UserInfoBtn", button);
    ui::TBevel& block = window.Create<ui::TBevel>("BV_UserInfo", page.Handle(),
                                                  ui::ShownBehindAt(6, 16, w - 12, 99));
    block.SetShape(ui::TBevelShape::Frame);
}

void OfficePage::showUserInfo(const kel::TUserInfoList& list) {
    for (const Field& field : kFields)
        if (auto* edit = window_.Find<ui::TEdit>(field.edit); edit != nullptr && field.field)
            edit->SetCaption(list.Shown(field.field->name));
}

std::wstring UserInfoParameters(const kel::TUserInfoList& list) {
    std::wstring parameters = L"/userinfo";
    for (const Field& field : kFields) {
        if (field.field == nullptr || list.IsApproximate(field.field->name))
            continue;
        // A value of its own that starts with "@" is no file's name to the command.
        std::string value = list.Value(field.field->name);
        if (value.rfind('@', 0) == 0)
            value.insert(0, 1, '@');
        parameters +=
            L" " + QuoteArgument(kel::AnsiToWide(std::string(field.field->name) + "=" + value));
    }
    return parameters;
}

void OfficePage::BB_UserInfoClick(ui::TComponent&) {
    ui::TForm::BusyScope busy(window_);
    update();
}

void OfficePage::update() {
    kel::TUserInfoList& after = window_.InfoAfter();
    kel::TUserInfoList& before = window_.InfoBefore();
    for (const Field& field : kFields)
        if (auto* edit = window_.Find<ui::TEdit>(field.edit); edit != nullptr && field.field)
            after.TakeFieldText(field.field->name, edit->Caption());
    showUserInfo(after);
    if (after == before) {
        ui::ShowMessageDialog("変更されていません。", ui::TMsgDlgType::mtWarning, ui::mbOK);
        return;
    }
    kel::TellOfAnotherAccountOnce(window_);
    if (window_.Closing())
        return;
    // Without administrator rights the machine's places are written by the
    // program's own command, started elevated; the user's own settings here.
    kel::TUserInfoWrite what;
    long elevated = 0;
    if (!kel::gProcessElevated() && kel::HasMachineUserInfo(window_.OfficeInfo())) {
        std::vector<kel::TBackupFile> backups = kel::ListBackups();
        std::optional<long> exitCode = window_.RunElevatedCommand(UserInfoParameters(after));
        if (!exitCode || window_.Closing())
            return; // declined: nothing changed, nothing to say
        elevated = *exitCode;
        what.machine = false;
        if (elevated == kExitNoBackup || elevated == kExitStoppedPartWay) {
            ui::ShowMessageDialog(NoBackupMessage(elevated, backups), ui::TMsgDlgType::mtError,
                                  ui::mbOK);
            return; // the user's own settings stay as they are with the machine's
        }
    }
    int written = -1;
    std::string failure; // a backup or a key that could not be written: said as it is
    try {
        written = kel::WriteUserInfo(window_.OfficeInfo(), after, what);
    } catch (const std::exception& error) {
        failure = error.what();
    }
    int read = kel::ReadUserInfo(window_.OfficeInfo(), before);
    after.TakeUnwritten(before);
    showUserInfo(after);
    if (!failure.empty())
        ui::ShowMessageDialog(failure, ui::TMsgDlgType::mtError, ui::mbOK);
    else if (read == 0 && written == 0 && elevated == 0 && after == before)
        ui::ShowMessageDialog("更新しました。ご確認ください。", ui::TMsgDlgType::mtInformation,
                              ui::mbOK);
    else
        ui::ShowMessageDialog("更新出来ませんでした。", ui::TMsgDlgType::mtWarning, ui::mbOK);
}

} // namespace app
