// Shows the window's pages as clicks on the menu do: a page makes its rows at its
// first show.
#pragma once

#include "app/MainWindow.h"

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

} // namespace testing_support
