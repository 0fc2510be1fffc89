// A page of the window and the rows every page builds from kel::kActions.
#include "app/Page.h"

#include "app/ControlNames.h"
#include "app/Inventory.h"
#include "app/MainWindow.h"
#include "sysinfo/Account.h"
#include "sysinfo/ProductInfo.h"

#include <algorithm>
#include <vector>

namespace app {

Page::Page(MainWindow& window, ui::TGroupBox& box, std::string item)
    : window_(window), box_(box), item_(std::move(item)) {}

namespace {

ui::TGroupBox& createBox(MainWindow& window, const kel::TKelExtInfo& record) {
    // Hidden, at the back, with the About page's bounds.
    ui::TInitial initial{.bounds = window.GB_About->BoundsRect(), .visible = false, .atBack = true};
    kel::TKelProductInfo version;
    if (!record.FileName.empty() && kel::ReadProductInfo(record.FileName, version) == 0)
        initial.caption = version.FileDescription + " [Version " + version.FileVersion + "]";
    return window.Create<ui::TGroupBox>(names::Page(record.ViewName), window.Handle(), initial);
}

} // namespace

Page::Page(MainWindow& window, const kel::TKelExtInfo& record)
    : Page(window, createBox(window, record), record.ViewName) {}

void Page::Show() {
    Prepare();
    box_.Show();
}

void Page::Prepare() {
    if (!built_ || statesUnread_) { // read again at the next show if reading failed
        ui::WaitCursor wait;
        if (!built_) {
            built_ = true;
            build();
        }
        if (statesUnread_) {
            readStates();
            statesUnread_ = false;
        }
    }
}

void Page::readStates() {
    for (const kel::TAction& row : kel::kActions)
        if (row.IsSwitch() && item_ == kel::PageName(row.page))
            SetPairState(window_, row.row, row.read(window_.OfficeInfo()) != 0);
}

void SetPairState(ui::TForm& form, const std::string& row, bool state) {
    if (auto* button = form.Find<ui::TSpeedButton>(names::PairButton(row, state)))
        button->SetDown(true);
}

namespace {

// The controls of one row on its page, as the table gives it.
class RowBuilder {
  public:
    RowBuilder(MainWindow& window, ui::TGroupBox& page, const kel::TAction& action)
        : window_(window), action_(action), row_(action.row), parent_(page.Handle()),
          w_(page.Width()), r_(action.position) {}

    void Build() {
        if (action_.IsSwitch())
            addPair();
        else if (action_.label == nullptr)
            addWideButton();
        else
            addButton();
        addFrame();
        if (action_.label != nullptr)
            addIcon();
    }

  private:
    // Each control runs its own row; a switch's buttons their state.
    void bind(ui::TControl& control, int state) {
        MainWindow* window = &window_;
        const kel::TAction* action = &action_;
        control.OnClick = [window, action, state](ui::TComponent&) {
            window->ActionButtonClick(*action, state);
        };
    }
    // Centred on the button's 25-pixel band at the height of its text.
    void addLabel(const ui::TControl& beside, int width) {
        ui::TInitial initial{.caption = action_.label, .visible = true};
        ui::TLabel& label = window_.Create<ui::TLabel>(names::RowLabel(row_), parent_, initial);
        label.SetAlignment(ui::TAlignment::Center);
        label.PlaceOnBand(36, width, beside.Top(), 25);
    }
    // する stands left of しない and comes first in the tab order and for the arrow
    // keys, as the buttons are read.
    void addPair() {
        int left = w_ - 70 - 10 - 70 - 2, top = 33 * r_ + 20;
        auto& on = window_.Create<ui::TSpeedButton>(names::PairButton(row_, 1), parent_,
                                                    ui::ShownAt(left, top, 70, 25, "する"));
        on.SetGroupIndex(r_ + 1);
        bind(on, 1);
        auto& off = window_.Create<ui::TSpeedButton>(
            names::PairButton(row_, 0), parent_, ui::ShownAt(left + 70 + 2, top, 70, 25, "しない"));
        off.SetGroupIndex(r_ + 1);
        bind(off, 0);
        // A change the window hands to an elevated command is marked as Windows
        // marks one: with the shield.
        if (kel::RunPlaceOf(action_.scope, kel::gProcessElevated()) ==
            kel::TRunPlace::ElevatedCommand) {
            off.SetShield(true);
            on.SetShield(true);
        }
        addLabel(on, left - 40);
    }
    void addWideButton() {
        ui::TButton& button =
            window_.Create<ui::TButton>(names::RowButton(row_), parent_,
                                        ui::ShownAt(7, 33 * r_ + 17, w_ - 14, 31, action_.caption));
        bind(button, 0);
        if (kel::RunPlaceOf(action_.scope, kel::gProcessElevated()) ==
            kel::TRunPlace::ElevatedCommand)
            button.SetShield();
    }
    void addButton() {
        int left = w_ - 142 - 10;
        ui::TButton& button =
            window_.Create<ui::TButton>(names::RowButton(row_), parent_,
                                        ui::ShownAt(left, 33 * r_ + 20, 142, 25, action_.caption));
        bind(button, 0);
        addLabel(button, left - 41);
    }
    void addFrame() {
        ui::TBevel& frame = window_.Create<ui::TBevel>(
            names::RowFrame(row_), parent_, ui::ShownBehindAt(6, 33 * r_ + 16, w_ - 12, 33));
        frame.SetShape(ui::TBevelShape::Frame);
    }
    void addIcon() {
        ui::TImage& image =
            window_.Create<ui::TImage>(names::RowIcon(row_), parent_,
                                       ui::ShownAt(14, 33 * r_ + 16 + 4 + (25 - 22) / 2, 22, 22));
        const ui::TImageList* icons = window_.IL_Icon;
        int icon = static_cast<int>(action_.icon);
        image.SetPicture([icons, icon](int) { return icons->Picture(icon, ui::clBtnFace); });
    }

    MainWindow& window_;
    const kel::TAction& action_;
    const std::string row_;
    HWND parent_;
    int w_; // the page's width
    int r_; // the row's position from the top
};

} // namespace

void Page::addRows() {
    std::vector<const kel::TAction*> rows;
    for (const kel::TAction& action : kel::kActions)
        if (item_ == kel::PageName(action.page) &&
            (action.kind != kel::TActionKind::RepairOffice ||
             RowIsPresent(action, window_.OfficeInfo(), true)))
            rows.push_back(&action);
    std::stable_sort(rows.begin(), rows.end(), [](const kel::TAction* a, const kel::TAction* b) {
        return a->position < b->position;
    });
    for (const kel::TAction* row : rows)
        BuildRow(window_, box_, *row);
    statesUnread_ = true;
}

void BuildRow(MainWindow& window, ui::TGroupBox& page, const kel::TAction& action) {
    RowBuilder(window, page, action).Build();
}

} // namespace app
