// A page of the window: a group box in the page area, shown when its menu item is
// selected, with its rows of kel::kActions built the one way every page builds them.
// The controls are components of the window, found by name (app/ControlNames.h).
#pragma once

#include "office/OfficeInfo.h"
#include "repair/Actions.h"
#include "widgets/Controls.h"

#include <string>

namespace app {

class MainWindow;

class Page {
  public:
    // A page on box, shown for the menu item.
    Page(MainWindow& window, ui::TGroupBox& box, std::string item);
    // A page for the record's menu item: its own group box, named after the item,
    // over the page area, hidden, headed with the description and version of the
    // record's program where it has one.
    Page(MainWindow& window, const kel::TKelExtInfo& record);
    virtual ~Page() = default;
    Page(const Page&) = delete;
    Page& operator=(const Page&) = delete;

    const std::string& Item() const { return item_; }
    ui::TGroupBox& Box() const { return box_; }

    void Hide() { box_.Hide(); }
    // Shows the page. The first time, under the wait cursor, it makes its rows and
    // reads their states just before it is drawn, so that a start-up makes only the
    // frames of the pages not shown and reads no state, and a page is never drawn
    // with a state not read; a read that failed is tried again at the next show.
    void Show();
    // What Show does before the page is drawn: its rows made and their states read
    // the first time (a read that fails throws, and is tried again next time).
    void Prepare();
    // Whether the page's rows are made: from its first show on.
    bool Built() const { return built_; }

  protected:
    // Makes what the page holds below its frame, at its first show: its rows.
    virtual void build() { addRows(); }
    // The page's rows of kel::kActions from the top: the order they are made in is
    // their tab order.
    void addRows();
    // Reads the rows' states: the pairs' (each row's getter).
    virtual void readStates();

    MainWindow& window_;

  private:
    ui::TGroupBox& box_;
    std::string item_;
    bool built_ = false;
    bool statesUnread_ = false; // rows built, their states not read yet
};

// Builds the row on its page as the table gives it: label, button or pair, frame,
// icon, each control bound to the row.
void BuildRow(MainWindow& window, ui::TGroupBox& page, const kel::TAction& action);

// Puts down the button of the row's pair that shows state.
void SetPairState(ui::TForm& form, const std::string& row, bool state);

} // namespace app
