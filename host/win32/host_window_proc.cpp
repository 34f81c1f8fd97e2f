#include "host/win32/host_state.h"
#include "host/win32/window_procs.h"
#include "logo/win32/logo_saver_proc.h"

namespace {

bool IsCloseInput(UINT message) {
    switch (message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return true;
    default:
        return false;
    }
}

// The input method is detached only when the process already has IMM32 loaded; the host never
// loads or frees the library itself.
void DetachInputMethod(HWND window) {
    hostState.imeModule = GetModuleHandleA("IMM32.DLL");
    if (hostState.imeModule == nullptr) return;
    hostState.associateContext = reinterpret_cast<ImmAssociateContextProc>(
        reinterpret_cast<void*>(GetProcAddress(hostState.imeModule, "ImmAssociateContext")));
    if (hostState.associateContext != nullptr)
        hostState.savedImeContext = hostState.associateContext(window, nullptr);
}

void RestoreInputMethod(HWND window) {
    if (hostState.imeModule != nullptr && hostState.associateContext != nullptr &&
        hostState.savedImeContext != nullptr)
        hostState.associateContext(window, hostState.savedImeContext);
}

}  // namespace

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        DetachInputMethod(window);
        GetCursorPos(&hostState.lastCursorPos);
        if (!hostState.isPreviewChild) SetCursor(nullptr);
        break;

    case WM_DESTROY:
        RestoreInputMethod(window);
        PostQuitMessage(0);
        break;

    case WM_SETTEXT:
        return 0;  // the title never changes

    case WM_PAINT:
        if (hostState.closeAllowed) return DefWindowProcA(window, message, wParam, lParam);
        if (!hostState.isPreviewChild) SetCursor(nullptr);
        break;

    case WM_HELP:
    case WM_CONTEXTMENU:
        if (hostState.isPreviewChild) {
            // Help belongs to the Display control panel that holds the preview.
            HWND parent = GetParent(window);
            if (parent != nullptr && IsWindow(parent))
                PostMessageA(parent, message, reinterpret_cast<WPARAM>(parent), lParam);
            return 1;
        }
        break;

    case WM_SYSCOMMAND:
        if (!hostState.isPreviewChild &&
            (wParam == SC_NEXTWINDOW || wParam == SC_PREVWINDOW || wParam == SC_SCREENSAVE))
            return 0;
        break;

    case WM_TIMER:
        if (hostState.closeAllowed) return 0;  // closing: no further frame
        Sleep(0);
        break;

    default:
        if (IsCloseInput(message) && hostState.closeAllowed)
            return DefWindowProcA(window, message, wParam, lParam);
        break;
    }
    return LogoSaverProc(window, message, wParam, lParam);
}
