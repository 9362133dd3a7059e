#pragma once

#include "editorprocedures.h"
#include "progresswindow.h"

#include <windows.h>

// The editor's message boxes, all captioned "VESK", owned by the window
// that asks.
class Win32Prompts : public vesk::Prompts
{
public:
    static constexpr const char *kCaption = "VESK";

    explicit Win32Prompts(HWND owner = nullptr) : m_owner(owner) {}
    void setOwner(HWND owner) { m_owner = owner; }

    void message(const std::string &text, bool) override { MessageBoxA(m_owner, text.c_str(), kCaption, MB_OK); }
    Answer ask(const std::string &text, bool withCancel) override
    {
        switch (MessageBoxA(m_owner, text.c_str(), kCaption, withCancel ? MB_YESNOCANCEL : MB_YESNO)) {
        case IDYES:
            return Answer::Yes;
        case IDNO:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    }

    std::unique_ptr<vesk::Progress> startProgress(const std::string &title) override
    {
        const HDC screen = GetDC(nullptr);
        const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
        ReleaseDC(nullptr, screen);
        return std::make_unique<win32::ProgressWindow>(GetModuleHandleA(nullptr), m_owner, title, dpi);
    }

private:
    HWND m_owner;
};
