// The form's keyboard handling, as the toolkit gives it to every form: Tab and
// Shift+Tab in tab order, arrows among a parent's controls, Enter on a focused
// button, the focus kept across activations, and access keys.
#include "widgets/Component.h"

#include <algorithm>
#include <utility>

namespace ui {

namespace {

// Whether the focused window handles this key itself (WM_GETDLGCODE).
bool focusWants(const MSG& message, LRESULT codes) {
    HWND focus = GetFocus();
    if (focus == nullptr)
        return false;
    MSG copy = message;
    return (SendMessageA(focus, WM_GETDLGCODE, copy.wParam, reinterpret_cast<LPARAM>(&copy)) &
            codes) != 0;
}

bool keyDown(int key) {
    return GetKeyState(key) < 0;
}

bool isPushButton(HWND window) {
    return (SendMessageA(window, WM_GETDLGCODE, 0, 0) &
            (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) != 0;
}

} // namespace

// Every control with a window, parent by parent, each followed by the controls
// placed on it.
std::vector<TControl*> TForm::controlsInTabOrder() const {
    std::vector<std::pair<TControl*, HWND>> controls; // with its parent
    for (const auto& component : components_)
        if (auto* control = dynamic_cast<TControl*>(component.get());
            control != nullptr && control->Handle() != nullptr)
            controls.emplace_back(control, control->ParentHandle());
    std::stable_sort(controls.begin(), controls.end(), [](const auto& a, const auto& b) {
        return a.first->TabSequence() < b.first->TabSequence();
    });
    std::vector<TControl*> order;
    auto walk = [&](HWND parent, auto& self) -> void {
        for (const auto& [control, itsParent] : controls) {
            if (itsParent != parent)
                continue;
            order.push_back(control);
            self(control->Handle(), self);
        }
    };
    if (window_ != nullptr)
        walk(window_, walk);
    return order;
}

std::vector<TControl*> TForm::TabOrderList() const {
    std::vector<TControl*> order = controlsInTabOrder();
    std::erase_if(order,
                  [](TControl* control) { return !control->TabStop() || !control->CanFocus(); });
    return order;
}

TControl* TForm::NextTabStopOn(const TControl& from, HWND container) const {
    std::vector<TControl*> order = controlsInTabOrder();
    auto start = std::find(order.begin(), order.end(), &from);
    if (start == order.end())
        return nullptr;
    size_t at = static_cast<size_t>(start - order.begin());
    for (size_t step = 1; step <= order.size(); ++step) {
        TControl* control = order[(at + step) % order.size()];
        if (control->TabStop() && control->CanFocus() && IsChild(container, control->Handle()))
            return control;
    }
    return nullptr;
}

TControl* TForm::focusedControl() const {
    for (HWND window = GetFocus(); window != nullptr && window != window_;
         window = GetParent(window)) {
        TControl* control = TControl::FromHandle(window);
        if (control != nullptr && &control->Owner() == this)
            return control;
    }
    return nullptr;
}

void TForm::SelectNext(bool forward) {
    std::vector<TControl*> order = TabOrderList();
    if (order.empty())
        return;
    auto current = std::find(order.begin(), order.end(), focusedControl());
    size_t index;
    if (current == order.end())
        index = forward ? 0 : order.size() - 1;
    else
        index = (static_cast<size_t>(current - order.begin()) + (forward ? 1 : order.size() - 1)) %
                order.size();
    HWND target = order[index]->Handle();
    SetFocus(target);
    if (SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
        SendMessageA(target, EM_SETSEL, 0, -1); // an edit entered by Tab selects its text
}

// The control that had the focus last gets it back; when it can't take it, the
// first control in tab order does. False when no control can take it.
bool TForm::restoreFocus() {
    for (const auto& component : components_) {
        auto* control = dynamic_cast<TControl*>(component.get());
        if (control != nullptr && savedFocus_ != nullptr && control->Handle() == savedFocus_ &&
            control->CanFocus()) {
            SetFocus(savedFocus_);
            return true;
        }
    }
    std::vector<TControl*> order = TabOrderList();
    if (order.empty())
        return false;
    SetFocus(order.front()->Handle());
    return true;
}

// The arrow keys go round the tab stops that share the focused control's parent.
bool TForm::selectSibling(bool forward) {
    TControl* focused = focusedControl();
    if (focused == nullptr)
        return false;
    std::vector<TControl*> siblings;
    for (TControl* control : TabOrderList())
        if (control->ParentHandle() == focused->ParentHandle())
            siblings.push_back(control);
    auto current = std::find(siblings.begin(), siblings.end(), focused);
    if (current == siblings.end())
        return true;
    size_t index = static_cast<size_t>(current - siblings.begin());
    SetFocus(siblings[(index + (forward ? 1 : siblings.size() - 1)) % siblings.size()]->Handle());
    return true;
}

// Enter clicks the focused push button.
bool TForm::pressFocusedButton() {
    TControl* focused = focusedControl();
    if (focused == nullptr || focused->Handle() != GetFocus() || !isPushButton(GetFocus()))
        return false;
    focused->HandleCommand(BN_CLICKED);
    return true;
}

bool TForm::pressAccessKey(char key) {
    for (const auto& component : components_) {
        auto* control = dynamic_cast<TControl*>(component.get());
        if (control != nullptr && control->Handle() != nullptr && control->HandleAccessKey(key))
            return true;
    }
    return false;
}

bool TForm::handleKeyDown(const MSG& message) {
    if (keyDown(VK_MENU) || focusWants(message, DLGC_WANTALLKEYS | DLGC_WANTMESSAGE))
        return false;
    switch (message.wParam) {
    case VK_TAB:
        if (keyDown(VK_CONTROL) || focusWants(message, DLGC_WANTTAB))
            return false;
        SelectNext(!keyDown(VK_SHIFT));
        return true;
    case VK_RETURN:
        return pressFocusedButton();
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        return !focusWants(message, DLGC_WANTARROWS) &&
               selectSibling(message.wParam == VK_RIGHT || message.wParam == VK_DOWN);
    default:
        return false;
    }
}

bool TForm::IsDialogKey(const MSG& message) {
    if (window_ == nullptr || (message.hwnd != window_ && !IsChild(window_, message.hwnd)))
        return false;
    switch (message.message) {
    case WM_KEYDOWN:
        return handleKeyDown(message);
    case WM_SYSCHAR:
        return pressAccessKey(static_cast<char>(message.wParam));
    case WM_CHAR: // a plain letter where the focused control takes no characters
        return !focusWants(message, DLGC_WANTCHARS) &&
               pressAccessKey(static_cast<char>(message.wParam));
    default:
        return false;
    }
}

} // namespace ui
