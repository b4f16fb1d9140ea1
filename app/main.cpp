// The program: the real platform, native windows, and the application on top.
#include "app/app.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/win32_backend.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    // Declared in this order so the windows (App) go before the backend.
    qn::Win32Platform platform(qn::kApplicationTitle);
    qn::ui::Win32Backend backend;
    qn::App app(platform, &backend);
    app.run();
}
