// Children: starting them, waiting for them, binding them to the launcher.
#include "platform/win32/win32_platform.h"

#include "platform/win32/platform_parts.h"
#include "platform/win32/scoped_handle.h"
#include "platform/win32/wide_text.h"

#include <utility>

namespace qn {
namespace {

std::uint64_t creationTime(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
    return (std::uint64_t(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Keyboard and mouse messages, whether the user's or posted, on the client
// area and on the frame.
const std::pair<UINT, UINT> kInputMessages[] = {
    {WM_KEYFIRST, WM_KEYLAST}, {WM_MOUSEFIRST, WM_MOUSELAST}, {WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK}};

void dropInput() {
    MSG msg;
    for (const auto& [first, last] : kInputMessages)
        while (PeekMessageW(&msg, nullptr, first, last, PM_REMOVE)) {
        }
}

// Until the child ends the windows are painted and answer what other
// programs send them (a window that answers nothing for seconds is shown as
// hung); input meanwhile is dropped, and what was posted, which may ask for
// another run or the launcher's end, waits until the caller is through.
void waitAnswering(HANDLE process) {
    for (;;) {
        const DWORD woke =
            MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_PAINT | QS_SENDMESSAGE | QS_INPUT);
        if (woke != WAIT_OBJECT_0 + 1) return;
        dropInput();
        MSG msg;
        // Bounded: a window that never validates itself cannot hold the wait.
        for (int i = 0; i < 64 && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE | PM_QS_PAINT); ++i)
            DispatchMessageW(&msg);
    }
}

}  // namespace

void Win32Platform::dropQueuedInput() { dropInput(); }

ProcessResult Win32Platform::runProcess(const ProcessRequest& request) {
    ProcessResult result;
    // CreateProcessW may write into the command line, so it gets its own copy.
    std::wstring commandLine = wide(request.commandLine);
    commandLine.push_back(L'\0');

    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (request.show != ShowState::Default) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = request.show == ShowState::Minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL;
    }
    DWORD flags = NORMAL_PRIORITY_CLASS | (request.newConsole ? CREATE_NEW_CONSOLE : 0);
    if (request.endsWithLauncher && job_ == nullptr) {
        UniqueHandle job(CreateJobObjectW(nullptr, nullptr));
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        // Kept open for the launcher's life: closing it would end the children.
        if (job.valid() &&
            SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits))
            job_ = job.release();
    }
    // Suspended until it is in the job, so nothing it starts escapes it, and
    // until the caller has noted it, so no child runs that it does not know of.
    if (request.endsWithLauncher) flags |= CREATE_SUSPENDED;
    const std::wstring workingDirectory = wide(request.workingDirectory);
    const wchar_t* directory = workingDirectory.empty() ? nullptr : workingDirectory.c_str();

    // With the program named, the system never guesses it from a command line
    // whose path has blanks (for "c:\program files\q.exe" it tries c:\program.exe).
    const std::wstring applicationName = wide(request.applicationName);
    const wchar_t* application = applicationName.empty() ? nullptr : applicationName.c_str();

    PROCESS_INFORMATION info{};
    if (!CreateProcessW(application, &commandLine[0], nullptr, nullptr,
                        request.inheritHandles ? TRUE : FALSE, flags, nullptr, directory,
                        &startup, &info)) {
        result.error = GetLastError();
        return result;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    // Where the system refuses (a job of our own inside another on older
    // systems), the child runs unbound: whoever comes after us checks its id.
    if (request.endsWithLauncher && job_ != nullptr) AssignProcessToJobObject(static_cast<HANDLE>(job_), process.get());
    result.started = true;
    if (request.onStarted) request.onStarted(ChildId{info.dwProcessId, creationTime(process.get())});
    if (request.endsWithLauncher) ResumeThread(thread.get());
    if (request.wait && process.valid()) {
        waitAnswering(process.get());
        DWORD code = 0;
        if (GetExitCodeProcess(process.get(), &code)) result.exitCode = code;
    }
    return result;
}

bool Win32Platform::isRunning(const ChildId& child) {
    UniqueHandle process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, child.id));
    // Someone else's process may refuse us and still be alive.
    if (!process.valid()) return GetLastError() == ERROR_ACCESS_DENIED;
    if (WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) return false;
    // The number may have been given to another process since.
    return creationTime(process.get()) == child.created;
}

std::optional<std::string> Win32Platform::findProgram(const std::string& name) {
    wchar_t found[MAX_PATH] = {};
    wchar_t* filePart = nullptr;
    const DWORD got = SearchPathW(nullptr, wide(name).c_str(), L".exe", MAX_PATH, found, &filePart);
    if (got == 0 || got >= MAX_PATH) return std::nullopt;
    const DWORD attributes = GetFileAttributesW(found);
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
    return narrow(found);
}
}  // namespace qn
