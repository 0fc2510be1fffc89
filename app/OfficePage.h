// The Office page: headed with the product's name and version, the user-information
// block at its top (the company, owner and initials to edit, the product ID to read,
// and the update button BB_UserInfo that writes what was edited), then its rows of
// kel::kActions.
#pragma once

#include "app/Page.h"
#include "office/UserInfoList.h"
#include "sysinfo/Handle.h"

#include <string>

namespace app {

// The parameters of the command that writes the list's values on the machine's
// places: "/userinfo" and each field's "NAME=VALUE", quoted (a value that starts
// with "@" as "@@...", the command's way to say it is no file); a value marked
// approximate is left out (never written).
std::wstring UserInfoParameters(const kel::TUserInfoList& list);

class OfficePage : public Page {
  public:
    // The page for record, the Office menu item with the product's icon; the page
    // keeps that icon unless it is the shared default.
    OfficePage(MainWindow& window, const kel::TKelExtInfo& record);

    ui::TButton* BB_UserInfo = nullptr;

    // Takes the edited values, writes them when they changed, reads them back and
    // reports whether every write succeeded and the registry now holds them. A
    // field that was neither edited nor written (marked) takes what was read back.
    void BB_UserInfoClick(ui::TComponent& sender);

  protected:
    // The user-information block, then the rows.
    void build() override;

  private:
    // Builds the block at the top of the page, in a frame: the fields with their
    // labels, and the update button beside the product ID.
    void buildUserInfo();
    // Shows the list's values in the fields that edit them.
    void showUserInfo(const kel::TUserInfoList& list);
    void update();

    kel::ExtractedIcon icon_;
    ui::TEdit* productId_ = nullptr; // the read-only product ID field
};

} // namespace app
