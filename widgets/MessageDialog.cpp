#include "widgets/MessageDialog.h"

#include "widgets/Controls.h"

#include <algorithm>
#include <vector>

namespace ui {

namespace {

HWND gDialogOwner = nullptr;

HWND dialogOwner() {
    return gDialogOwner && IsWindow(gDialogOwner) ? gDialogOwner : nullptr;
}

struct Kind {
    TMsgDlgType type;
    const char* title;
    LPCSTR icon;
};
const Kind kKinds[] = {
    {TMsgDlgType::mtWarning, "警告", IDI_EXCLAMATION},
    {TMsgDlgType::mtError, "エラー", IDI_HAND},
    {TMsgDlgType::mtInformation, "情報", IDI_ASTERISK},
    {TMsgDlgType::mtConfirmation, "確認", IDI_QUESTION},
};

struct ButtonKind {
    unsigned flag;
    int result;
    const char* caption;
};
// The fixed order of the buttons in their row.
const ButtonKind kButtons[] = {
    {mbYes, mrYes, "はい(&Y)"},
    {mbNo, mrNo, "いいえ(&N)"},
    {mbOK, mrOk, "OK"},
    {mbCancel, mrCancel, "キャンセル"},
};

int defaultResult(unsigned buttons) {
    return (buttons & mbOK) ? mrOk : mrYes;
}

int escapeResult(unsigned buttons) {
    return (buttons & mbCancel) ? mrCancel : (buttons & mbNo) ? mrNo : mrOk;
}

class TMessageForm : public TForm {
  public:
    TMessageForm(const std::string& message, const Kind& kind, unsigned buttons)
        : TForm("TMessageForm", kind.title, WS_POPUP | WS_CAPTION | WS_SYSMENU, WS_EX_DLGMODALFRAME,
                dialogOwner()),
          buttons_(buttons) {
        QuitOnDestroy = false;
        icon_ = &Create<TImage>("Image", Handle());
        icon_->SetIcon(nullptr, static_cast<WORD>(reinterpret_cast<ULONG_PTR>(kind.icon)));
        label_ = &Create<TLabel>("Message", Handle());
        label_->SetWordWrap(true);
        label_->SetCaption(message);
        label_->SetAutoSize(false);
        for (const ButtonKind& kind : kButtons) {
            if (!(buttons & kind.flag))
                continue;
            TButton& button = Create<TButton>(kind.caption, Handle());
            button.SetCaption(kind.caption);
            button.SetControlId(kind.result);
            button.SetDefault(kind.result == defaultResult(buttons));
            int result = kind.result;
            button.OnClick = [this, result](TComponent&) { close(result); };
            button.Show();
            if (kind.result == defaultResult(buttons))
                SetFocus(button.Handle());
            buttonsShown_.push_back(&button);
        }
        icon_->Show();
        label_->Show();
        layOut();
        CentreOnScreen();
        SetWindowPos(Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }

    int ShowModal() {
        HWND owner = dialogOwner();
        bool ownerWasEnabled = owner && IsWindowEnabled(owner);
        if (ownerWasEnabled)
            EnableWindow(owner, FALSE);
        ShowWindow(Handle(), SW_SHOW);
        SetForegroundWindow(Handle());
        for (const ButtonKind& kind : kButtons)
            if (HWND button = GetDlgItem(Handle(), kind.result);
                button && kind.result == defaultResult(buttons_))
                SetFocus(button);
        MSG message;
        while (result_ == 0 && GetMessageA(&message, nullptr, 0, 0) > 0) {
            if (IsDialogMessageA(Handle(), &message))
                continue;
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        if (message.message == WM_QUIT && result_ == 0)
            PostQuitMessage(static_cast<int>(message.wParam)); // hand the quit on
        if (ownerWasEnabled)
            EnableWindow(owner, TRUE);
        ShowWindow(Handle(), SW_HIDE);
        if (owner)
            SetForegroundWindow(owner);
        return result_ ? result_ : escapeResult(buttons_);
    }

  protected:
    bool HandleMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        switch (message) {
        case DM_GETDEFID:
            result = MAKELRESULT(defaultResult(buttons_), DC_HASDEFID);
            return true;
        case WM_COMMAND:
            // Escape arrives as IDCANCEL whether or not there is a Cancel button.
            if (lParam == 0 || LOWORD(wParam) == IDCANCEL) {
                int id = LOWORD(wParam);
                close(id == IDCANCEL ? escapeResult(buttons_) : id);
                result = 0;
                return true;
            }
            break;
        case WM_CLOSE:
            close(escapeResult(buttons_));
            return true;
        default:
            break;
        }
        return TForm::HandleMessage(message, wParam, lParam, result);
    }

  protected:
    // On a monitor of another scale the message measures anew.
    void FormScaleChanged() override { layOut(); }

  private:
    // Sized by its message as measured now, in the label's font.
    void layOut() {
        SIZE text = measure(*label_, label_->Caption());
        MessageLayout layout =
            LayOutMessage(text.cx, text.cy, static_cast<int>(buttonsShown_.size()));
        place(*icon_, layout.icon);
        place(*label_, layout.label);
        auto box = layout.buttons.begin();
        for (TButton* button : buttonsShown_)
            place(*button, *box++);
        SetClientSize(layout.clientWidth, layout.clientHeight);
    }
    SIZE measure(const TLabel& label, const std::string& text) const {
        WindowDc dc(label.Handle());
        SelectGuard font(dc.get(), label.FontHandle());
        RECT rect = {0, 0, Scale(kMaxTextWidth), 0};
        DrawTextA(dc.get(), text.c_str(), -1, &rect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
        return {UnscaleUp(rect.right), UnscaleUp(rect.bottom)};
    }
    static void place(TControl& control, const Box& rect) {
        control.SetBounds(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    }
    void close(int result) {
        if (result_ == 0)
            result_ = result;
        PostMessageA(Handle(), WM_NULL, 0, 0); // wake the modal loop
    }

    unsigned buttons_;
    TImage* icon_;
    TLabel* label_;
    std::vector<TButton*> buttonsShown_; // in their row's order
    int result_ = 0;
};

} // namespace

int ShowMessageDialog(const std::string& message, TMsgDlgType kind, unsigned buttons) {
    const Kind* found = &kKinds[0];
    for (const Kind& k : kKinds)
        if (k.type == kind)
            found = &k;
    TMessageForm form(message, *found, buttons);
    return form.ShowModal();
}

void SetDialogOwner(HWND owner) {
    gDialogOwner = owner;
}

} // namespace ui
