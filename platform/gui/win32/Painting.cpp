// Our own window classes and their procedures: the form, the containers (panels, the notebook
// and its pages, group frames), pictures and the circle shape. Containers also relay what their
// native children send to a parent (commands, colour requests, cursor requests).
#include "platform/gui/win32/Win32Backend.h"

#include <exception>

#include "platform/gui/Application.h"
#include "platform/gui/ExtControls.h"
#include "platform/gui/Form.h"
#include "platform/gui/StdControls.h"
#include "platform/gui/win32/DibView.h"

namespace gui {
namespace win32 {

const char kFormClass[] = "LumiForm";
const char kContainerClass[] = "LumiContainer";
const char kPictureClass[] = "LumiPicture";
const char kShapeClass[] = "LumiShape";

namespace {

constexpr int kAppIconId = 1;  // the icon's id in the resource script
constexpr int kGroupTextIndent = 8;
constexpr char kFocusProperty[] = "LumiFocus";

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  FillRect(dc, &r, Win32Backend::Instance()->BrushFor(colour));
}

COLORREF BackgroundOf(const TControl* c) {
  return ToColorRef(c ? c->Color() : clBtnFace);
}

// Colour of the parent a control is drawn on (pictures and shapes leave the rest of their
// rectangle in it).
COLORREF ParentBackground(HWND hwnd) { return BackgroundOf(ControlOf(GetParent(hwnd))); }

// Native children ask their parent for colours: texts in the font's colour on the control's
// own colour (white on the page colour for the wizard's labels, check boxes and radio buttons).
LRESULT ChildColours(HWND parent, UINT msg, WPARAM wParam, LPARAM lParam) {
  HWND child = reinterpret_cast<HWND>(lParam);
  const TControl* c = ControlOf(child);
  if (!c || WindowKind(*c).systemColours) return DefWindowProcA(parent, msg, wParam, lParam);
  HDC dc = reinterpret_cast<HDC>(wParam);
  const COLORREF bg = ToColorRef(c->Color());
  SetTextColor(dc, ToColorRef(c->Font().Color));
  SetBkColor(dc, bg);
  return reinterpret_cast<LRESULT>(Win32Backend::Instance()->BrushFor(bg));
}

// What every one of our windows with native children handles the same way; returns true with
// the result when it handled the message.
bool CommonMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND:
      if (lParam) {
        Win32Backend::Instance()->OnCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        result = 0;
        return true;
      }
      return false;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
      result = ChildColours(hwnd, msg, wParam, lParam);
      return true;
    case WM_SETCURSOR:
      if (Win32Backend::Instance()->ApplyCursor(reinterpret_cast<HWND>(wParam))) {
        result = TRUE;
        return true;
      }
      return false;
    case WM_ERASEBKGND:
      result = 1;  // WM_PAINT fills everything; erasing first would only flicker
      return true;
    default:
      return false;
  }
}

void PaintContainer(HWND hwnd) {
  PaintScope paint(hwnd);
  HDC dc = paint.Dc();
  RECT client;
  GetClientRect(hwnd, &client);
  const TControl* c = ControlOf(hwnd);
  Fill(dc, client, BackgroundOf(c));
  if (!c) return;
  if (auto frame = WindowKind(*c).paintFrame) frame(dc, client, *c);
}

LRESULT FormBody(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (msg == WM_NCDESTROY) RemovePropA(hwnd, kFocusProperty);
  if (CommonMessage(hwnd, msg, wParam, lParam, result)) return result;
  TControl* c = ControlOf(hwnd);
  if (!c) return DefWindowProcA(hwnd, msg, wParam, lParam);
  TForm& form = static_cast<TForm&>(*c);
  switch (msg) {
    case WM_CLOSE:
      Application().Dispatch([&] { form.Close(); });
      return 0;
    case WM_COMMAND:
      Win32Backend::Instance()->OnDialogKey(form, LOWORD(wParam));
      return 0;
    case WM_PAINT: {
      {
        PaintScope paint(hwnd);
        RECT client;
        GetClientRect(hwnd, &client);
        Fill(paint.Dc(), client, BackgroundOf(c));
      }
      Application().Dispatch([&] { form.Paint(); });
      return 0;
    }
    case WM_ACTIVATE: {
      // Focus goes back to the control the user left (the chooser's "Cambia" once the chooser
      // closes), or to the first control that takes it.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd, focus)) SetPropA(hwnd, kFocusProperty, focus);
        return 0;
      }
      HWND saved = static_cast<HWND>(GetPropA(hwnd, kFocusProperty));
      if (saved && IsWindow(saved) && IsChild(hwnd, saved) && IsWindowVisible(saved) &&
          IsWindowEnabled(saved)) {
        SetFocus(saved);
      } else if (HWND next = GetNextDlgTabItem(hwnd, nullptr, FALSE)) {
        SetFocus(next);
      }
      return 0;
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

LRESULT ContainerBody(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (CommonMessage(hwnd, msg, wParam, lParam, result)) return result;
  switch (msg) {
    case WM_PAINT:
      PaintContainer(hwnd);
      return 0;
    case WM_SETTEXT:
      // A group frame draws its caption itself.
      result = DefWindowProcA(hwnd, msg, wParam, lParam);
      InvalidateRect(hwnd, nullptr, TRUE);
      return result;
    case WM_LBUTTONUP: {
      TControl* c = ControlOf(hwnd);
      if (c && c->OnClick) Application().Dispatch([c] { c->UserClick(); });
      return 0;
    }
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

LRESULT PictureBody(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PaintScope paint(hwnd);
      RECT client;
      GetClientRect(hwnd, &client);
      Fill(paint.Dc(), client, ParentBackground(hwnd));
      const auto* image = dynamic_cast<const TImage*>(ControlOf(hwnd));
      DibView dib;
      if (image && !image->Picture().Empty() &&
          ViewDib(image->Picture().Bytes().data(), image->Picture().Bytes().size(), dib)) {
        // Drawn at its own size from the top left, clipped by the control, as the toolkit's
        // picture does without stretching.
        StretchDIBits(paint.Dc(), 0, 0, dib.width, dib.height, 0, 0, dib.width, dib.height,
                      dib.bits, static_cast<const BITMAPINFO*>(dib.info), DIB_RGB_COLORS,
                      SRCCOPY);
      }
      return 0;
    }
    case WM_LBUTTONUP: {
      TControl* c = ControlOf(hwnd);
      if (c) Application().Dispatch([c] { c->UserClick(); });
      return 0;
    }
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

LRESULT ShapeBody(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PaintScope paint(hwnd);
      HDC dc = paint.Dc();
      RECT client;
      GetClientRect(hwnd, &client);
      Fill(dc, client, ParentBackground(hwnd));
      const COLORREF colour = BackgroundOf(ControlOf(hwnd));
      PenHandle pen(CreatePen(PS_SOLID, 1, colour));
      SelectScope usePen(dc, pen.Get());
      SelectScope useBrush(dc, Win32Backend::Instance()->BrushFor(colour));
      Ellipse(dc, client.left, client.top, client.right, client.bottom);
      return 0;
    }
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

LRESULT CALLBACK FormProc(HWND h, UINT m, WPARAM w, LPARAM l) { return Guarded(h, m, w, l, FormBody); }
LRESULT CALLBACK ContainerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return Guarded(h, m, w, l, ContainerBody);
}
LRESULT CALLBACK PictureProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  return Guarded(h, m, w, l, PictureBody);
}
LRESULT CALLBACK ShapeProc(HWND h, UINT m, WPARAM w, LPARAM l) { return Guarded(h, m, w, l, ShapeBody); }

void Register(const char* name, WNDPROC proc, HICON icon) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DBLCLKS;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hIcon = icon;
  wc.lpszClassName = name;
  RegisterClassExA(&wc);
}

}  // namespace

void PaintGroupFrame(HDC dc, const RECT& client, const TControl& c) {
  SelectScope font(dc, Win32Backend::Instance()->FontFor(c.Font()));
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  RECT frame = client;
  frame.top += tm.tmHeight / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  if (c.Caption().empty()) return;
  RECT text{client.left + kGroupTextIndent, client.top, client.right - kGroupTextIndent,
            client.top + tm.tmHeight};
  SetTextColor(dc, ToColorRef(c.Font().Color));
  SetBkColor(dc, BackgroundOf(&c));
  SetBkMode(dc, OPAQUE);
  const UINT flags = DT_SINGLELINE | DT_LEFT | DT_TOP;
  RECT measure = text;
  DrawTextA(dc, c.Caption().c_str(), -1, &measure, flags | DT_CALCRECT);
  measure.right += 2;
  measure.left -= 2;
  Fill(dc, measure, BackgroundOf(&c));
  DrawTextA(dc, c.Caption().c_str(), -1, &text, flags);
}

void PaintPanelFrame(HDC dc, const RECT& client, const TControl& c) {
  const auto& panel = static_cast<const TPanel&>(c);
  if (panel.Outline() != TPanel::kNoOutline)
    FrameRect(dc, &client, Win32Backend::Instance()->BrushFor(ToColorRef(panel.Outline())));
  else if (panel.Bevel()) {
    RECT edge = client;  // DrawEdge takes a writable rectangle
    DrawEdge(dc, &edge, BDR_RAISEDINNER, BF_RECT);
  }
}

LRESULT Guarded(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam,
                LRESULT (*body)(HWND, UINT, WPARAM, LPARAM)) {
  try {
    return body(hwnd, msg, wParam, lParam);
  } catch (...) {
    try {
      Application().HandleException(std::current_exception());
    } catch (...) {
      // The display itself failed (out of memory): nothing more can be shown, and nothing may
      // unwind into user32.
    }
    return 0;
  }
}

void RegisterWindowClasses() {
  HICON icon = LoadIconA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kAppIconId));
  Register(kFormClass, FormProc, icon);
  Register(kContainerClass, ContainerProc, nullptr);
  Register(kPictureClass, PictureProc, nullptr);
  Register(kShapeClass, ShapeProc, nullptr);
}

}  // namespace win32
}  // namespace gui
