// Shows the window's pages as clicks on the menu do (a page makes its rows at its
// first show), and adds rows the table does not place.
#pragma once

#include "app/ControlNames.h"
#include "app/MainWindow.h"
#include "app/Page.h"

namespace testing_support {

// Shows each page in the menu's order, then the one that was selected again.
inline void ShowEveryPage(app::MainWindow& form) {
    int selected = form.GLB_Menu->ItemIndex();
    for (int i = 0; i < form.GLB_Menu->Count(); ++i) {
        form.GLB_Menu->SetItemIndex(i);
        form.GLB_MenuClick(*form.GLB_Menu);
    }
    form.GLB_Menu->SetItemIndex(selected);
    form.GLB_MenuClick(*form.GLB_Menu);
}

// Builds a row that the table may not have on its page, as the page builds its own.
inline void AddActionRow(app::MainWindow& form, const kel::TAction& action) {
    if (auto* page = form.Find<ui::TGroupBox>(app::names::Page(kel::PageName(action.page))))
        app::BuildRow(form, *page, action);
}

} // namespace testing_support
