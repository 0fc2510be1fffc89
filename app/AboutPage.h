// The About page: the program's name, version and maker, its two links, the link
// to the changes' backups and the banner, and the information report that Shift, Ctrl and both
// mouse buttons held on the icon reveal. Its controls are components of the window, found by name
// like every other, and held here.
#pragma once

#include "app/Page.h"

namespace app {

class AboutPage : public Page {
  public:
    // Creates the controls on the window's GB_About, the page area.
    explicit AboutPage(MainWindow& window);

    // Places the controls on the page as it is sized now and by their texts' sizes:
    // at the start and again at each new scale.
    void LayOut();

    ui::TImage* IM_Wexd;
    ui::TLabel* LL_Wexd;
    ui::TLabel* LL_Version;
    ui::TLabel* LL_Copyright;
    ui::TLabel* LL_Support;
    ui::TLabel* LL_Site;
    ui::TLabel* LL_Download;
    ui::TLabel* LL_Vector;
    ui::TLabel* LL_History; // opens the folder of the changes' backups
    ui::TImage* IM_Link;
    ui::TButton* BT_Info;
    ui::TMemo* MM_Info;

    void IM_WexdMouseDown(ui::TImage& sender, unsigned keys);
    void BT_InfoClick(ui::TComponent& sender);

  private:
    static void colourOnHover(ui::TLabel& link);
    void bindLink(ui::TLabel& link, const std::string& question);
    ui::TBevel* infoFrame_ = nullptr; // BT_Info's frame, once placed
};

} // namespace app
