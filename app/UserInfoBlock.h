// The Office page's user-information block: the company, owner and initials to edit,
// the product ID to read, and the update button (the window's BB_UserInfo) that
// writes what was edited. Its controls are components of the window.
#pragma once

#include "office/UserInfoList.h"
#include "widgets/Controls.h"

#include <string>

namespace app {

class MainWindow;

// The parameters of the command that writes the list's values on the machine's
// places: "/userinfo" and each field's "NAME=VALUE", quoted; a value marked
// approximate is left out (never written).
std::wstring UserInfoParameters(const kel::TUserInfoList& list);

class UserInfoBlock {
  public:
    explicit UserInfoBlock(MainWindow& window) : window_(window) {}

    // Builds the block at the top of page, in a frame: the fields with their
    // labels, and the update button moved onto the page beside the product ID.
    void Build(ui::TGroupBox& page);

    // Shows the list's values in the fields that edit them.
    void Show(const kel::TUserInfoList& list);
    void ShowProductId(const std::string& productId);

    // Takes the edited values, writes them when they changed, reads them back and
    // reports whether every write succeeded and the registry now holds them. A
    // field that was neither edited nor written (marked) takes what was read back.
    void Update();

  private:
    MainWindow& window_;
};

} // namespace app
