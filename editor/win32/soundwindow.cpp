#include "dialog.h"
#include "dialogs.h"
#include "editorlayout.h"
#include "waveformpicture.h"

#include <commctrl.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

using Field = vesk::SoundEditing::Field;
using Marker = vesk::SoundEditing::Marker;

// How near the pointer must come to a marker to take it, at 96 dpi.
constexpr int kGrip = 6;

class SoundWindow final : public win32dialog::Dialog
{
public:
    SoundWindow(HINSTANCE instance, int dpi, vesk::SoundEditing editing, const PlayEdited &play,
                const std::function<void()> &stop)
        : Dialog(instance, dpi, vesk::EditorWindow::Sound), m_editing(std::move(editing)), m_play(play), m_stop(stop)
    {}
    std::optional<vesk::SoundEdit> run(HWND owner)
    {
        show(vesk::soundWindowCaption(m_editing.slot()).c_str(), vesk::kSoundWindowClientWidth,
             vesk::kSoundWindowClientHeight, owner);
        return m_kept;
    }

private:
    const char *className() const override { return "VeskSound"; }
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_CREATE:
            build();
            return 0;
        case DM_GETDEFID:
            // Return is OK, from the boxes too: what the box holds counts.
            return MAKELRESULT(vesk::ids::kSoundOk, DC_HASDEFID);
        case WM_COMMAND:
            if (m_built && !m_closing)
                command(reinterpret_cast<HWND>(lParam), wParam);
            return 0;
        default:
            return Dialog::handle(message, wParam, lParam);
        }
    }

    void build()
    {
        win32::buildControls(m_controls, hwnd(), m_instance, vesk::soundWindowControls(), win32dialog::idsOf(m_kind),
                             m_dpi, m_font);
        SetWindowTextA(control("soundFigures"), m_editing.soundFigures().c_str());
        SetWindowTextA(control("gameFigures"), m_editing.gameFigures().c_str());
        m_fields = {{control("startBox"), Field::Start},
                    {control("endBox"), Field::End},
                    {control("fadeInBox"), Field::FadeIn},
                    {control("fadeOutBox"), Field::FadeOut},
                    {control("gainBox"), Field::Gain}};
        for (const char *name : {"soundPicture", "gamePicture"})
            SetWindowSubclass(control(name), pictureProc, 0, reinterpret_cast<DWORD_PTR>(this));
        SendMessageA(control("okButton"), BM_SETSTYLE, BS_DEFPUSHBUTTON, FALSE);
        if (const std::optional<std::string> why = m_editing.matchUnavailable()) {
            EnableWindow(control("matchButton"), FALSE);
            note(*why);
        }
        win32::setFocusOrder(m_controls, vesk::soundWindowFocusOrder());
        showEdit();
        SetFocus(control("startBox"));
        m_built = true;
    }

    void command(HWND from, WPARAM wParam)
    {
        if (const auto field = m_fields.find(from); field != m_fields.end()) {
            if (HIWORD(wParam) == EN_KILLFOCUS && SendMessageA(from, EM_GETMODIFY, 0, 0))
                commit(from);
            return;
        }
        namespace ids = vesk::ids;
        const int id = LOWORD(wParam);
        if (id == ids::kMatch) {
            win32::showWaitCursor(true);
            const std::string said = m_editing.match();
            win32::showWaitCursor(false);
            note(said);
            showEdit();
        } else if (id == ids::kSoundPlay) {
            if (const std::optional<std::string> refused = m_editing.refusal())
                note(*refused);
            else
                m_play(m_editing.path(), m_editing.kept());
        } else if (id == ids::kSoundStop) {
            m_stop();
        } else if (id == ids::kReset) {
            m_editing.reset();
            note({});
            showEdit();
        } else if (id == ids::kSoundOk || id == IDOK) {
            accepted();
        } else if (id == ids::kSoundCancel || id == IDCANCEL) { // Cancel, or Escape
            close();
        }
    }

    void note(const std::string &text) { SetWindowTextA(control("noteLabel"), text.c_str()); }

    void showEdit()
    {
        // Setting a box's text clears its modified mark: only what the
        // player types is taken back.
        for (const auto &[box, field] : m_fields)
            SetWindowTextA(box, m_editing.fieldText(field).c_str());
        InvalidateRect(control("soundPicture"), nullptr, FALSE);
    }

    // A typed value: a cut at the nearest zero crossing unless Shift is held.
    void commit(HWND box)
    {
        const bool snap = GetKeyState(VK_SHIFT) >= 0;
        note(m_editing.enter(m_fields.at(box), win32::textOf(box), snap));
        showEdit();
    }

    void accepted()
    {
        if (const auto box = m_fields.find(GetFocus());
            box != m_fields.end() && SendMessageA(box->first, EM_GETMODIFY, 0, 0))
            commit(box->first);
        if (const std::optional<std::string> refused = m_editing.refusal()) {
            note(*refused);
            return;
        }
        m_kept = m_editing.kept();
        close();
    }

    void close()
    {
        m_closing = true; // the boxes losing the focus now change nothing
        DestroyWindow(hwnd());
    }

    int pictureWidth() const
    {
        RECT box;
        GetClientRect(m_controls.at("soundPicture"), &box);
        return box.right;
    }
    vesk::Micros timeAt(int x) const { return m_editing.timeAt(x, pictureWidth()); }
    int xOf(vesk::Micros time) const { return m_editing.xOf(time, pictureWidth()); }

    // The markers follow the pointer: the nearer one is taken, and away from
    // both the nearer one jumps there. Let go, a cut lands at the nearest
    // zero crossing, or exactly where it is with Shift held.
    void pointer(UINT message, WPARAM keys, int x)
    {
        const bool exact = keys & MK_SHIFT;
        const auto place = [&](bool snap) {
            m_editing.moveMarker(m_dragged, timeAt(x), snap);
            showEdit();
        };
        HWND picture = control("soundPicture");
        if (message == WM_LBUTTONDOWN) {
            m_dragged = m_editing.nearerMarker(timeAt(x));
            const int marker = xOf(m_dragged == Marker::Start ? m_editing.edit().start : m_editing.end());
            SetCapture(picture);
            if (std::abs(x - marker) > win32::scaled(kGrip * 15, m_dpi))
                place(!exact);
        } else if (message == WM_MOUSEMOVE && m_dragged != Marker::None) {
            place(false); // snapped when let go: a drag reads no sound
        } else if (message == WM_LBUTTONUP && m_dragged != Marker::None) {
            place(!exact);
            m_dragged = Marker::None;
            if (GetCapture() == picture)
                ReleaseCapture();
            if (const std::optional<std::string> refused = m_editing.refusal())
                note(*refused);
        }
    }

    // A sound at its true level; the player's as the edit makes it (faded
    // and scaled), the parts cut away grey, and its markers.
    void paint(HWND picture, HDC dc)
    {
        RECT box;
        GetClientRect(picture, &box);
        FillRect(dc, &box, GetSysColorBrush(COLOR_WINDOW));
        FrameRect(dc, &box, GetSysColorBrush(COLOR_BTNSHADOW));
        const bool edited = picture == control("soundPicture");
        const vesk::SoundAnalysis *sound = edited             ? &m_editing.sound()
                                           : m_editing.game() ? &*m_editing.game()
                                                              : nullptr;
        if (!sound)
            return;
        const int width = std::min<int>(box.right, xOf(vesk::framesToMicros(sound->frames, sound->format.rate)));
        if (width <= 0)
            return;
        const std::vector<vesk::Waveform::Column> columns
            = sound->waveform.resample(0, sound->frames, static_cast<std::size_t>(width));
        if (!edited) {
            drawWaveform(dc, box, columns);
            return;
        }
        const double gain = std::pow(10.0, m_editing.edit().gain / 20);
        const int startX = xOf(m_editing.edit().start), endX = xOf(m_editing.end());
        const auto kept = [&](int x) { return x >= startX && x < endX; };
        drawWaveform(
            dc, box, columns, [&](int x) { return kept(x) ? gain * m_editing.envelope(timeAt(x)) : gain; }, kept);
        HPEN marker = CreatePen(PS_SOLID, std::max(1, win32::scaled(30, m_dpi)), RGB(0xB0, 0x30, 0x00));
        const HGDIOBJ old = SelectObject(dc, marker);
        for (int x : {startX, std::min<int>(endX, box.right - 1)}) {
            MoveToEx(dc, x, 0, nullptr);
            LineTo(dc, x, box.bottom);
        }
        SelectObject(dc, old);
        DeleteObject(marker);
    }

    static LRESULT CALLBACK pictureProc(HWND picture, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                        DWORD_PTR data)
    {
        auto *window = reinterpret_cast<SoundWindow *>(data);
        const bool markers = picture == window->m_controls.at("soundPicture");
        switch (message) {
        case WM_NCHITTEST:
            // A static control lets the pointer through to its parent.
            return markers ? HTCLIENT : DefSubclassProc(picture, message, wParam, lParam);
        case WM_SETCURSOR:
            if (!markers)
                break;
            SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
            return TRUE;
        case WM_LBUTTONDOWN:
        case WM_MOUSEMOVE:
        case WM_LBUTTONUP:
            if (markers)
                window->pointer(message, wParam, static_cast<short>(LOWORD(lParam)));
            return 0;
        case WM_ERASEBKGND:
            return TRUE;
        case WM_PAINT: {
            // Drawn aside first, so that a drag does not flicker.
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(picture, &paint);
            RECT box;
            GetClientRect(picture, &box);
            HDC aside = CreateCompatibleDC(dc);
            HBITMAP bitmap = CreateCompatibleBitmap(dc, std::max<int>(1, box.right), std::max<int>(1, box.bottom));
            const HGDIOBJ old = SelectObject(aside, bitmap);
            window->paint(picture, aside);
            BitBlt(dc, 0, 0, box.right, box.bottom, aside, 0, 0, SRCCOPY);
            SelectObject(aside, old);
            DeleteObject(bitmap);
            DeleteDC(aside);
            EndPaint(picture, &paint);
            return 0;
        }
        case WM_NCDESTROY:
            RemoveWindowSubclass(picture, pictureProc, 0);
            break;
        default:
            break;
        }
        return DefSubclassProc(picture, message, wParam, lParam);
    }

    vesk::SoundEditing m_editing;
    const PlayEdited &m_play;
    const std::function<void()> &m_stop;
    std::map<HWND, Field> m_fields; // the boxes
    std::optional<vesk::SoundEdit> m_kept;
    Marker m_dragged = Marker::None;
    bool m_built = false, m_closing = false;
};

} // namespace

std::optional<vesk::SoundEdit> showSoundWindow(HINSTANCE instance, HWND owner, int dpi, vesk::SoundEditing editing,
                                               const PlayEdited &play, const std::function<void()> &stop)
{
    return SoundWindow(instance, dpi, std::move(editing), play, stop).run(owner);
}
