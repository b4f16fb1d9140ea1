// The program: the real platform, native windows, and the application on
// top. The C runtime of a GUI program calls main() as readily as WinMain(),
// so nothing here needs <windows.h>.
#include <memory>

#include "app/app.h"
#include "platform/win32/win32_platform.h"
#include "ui/win32/native_backend.h"

int main() {
    // Declared in this order so the windows (App) go before the backend.
    qn::Win32Platform platform(qn::kApplicationTitle);
    std::unique_ptr<qn::ui::Backend> backend = qn::ui::makeWin32Backend();
    qn::App app(platform, backend.get());
    app.run();
}
