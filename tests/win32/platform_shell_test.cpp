// The shell calls of Win32Platform, checked by what they leave behind, and
// the line-break rewrite that message texts go through.
#include "platform/win32/win32_platform.h"
#include "platform/win32/wide_text.h"

#include "platform_test_support.h"

#include <shellapi.h>

#include <map>
#include <string>

namespace {

using qn_test::readReport;

class ShellTest : public qn_test::ScratchDirectoryTest {
protected:
    qn::Win32Platform platform{"Test"};
};

TEST_F(ShellTest, OpenStartsAProgramInTheGivenDirectory) {
    // Without arguments the probe reports to probe_report.txt where it runs.
    int answer = platform.shellOpen(qn_test::probePath(), dir);
    EXPECT_GT(answer, 32);

    std::map<std::string, std::string> report;
    for (int i = 0; i < 300 && report.empty(); ++i) {
        Sleep(50);
        report = readReport(path("probe_report.txt"));
    }
    ASSERT_FALSE(report.empty()) << "the probe did not report";
    EXPECT_EQ(dir, report["directory"]);
    // The shell asks for a normally shown window.
    EXPECT_EQ("1", report["useshowwindow"]);
    EXPECT_EQ("1", report["showwindow"]);
}

TEST_F(ShellTest, OpenOfAMissingFileGivesTheShellsError) {
    EXPECT_EQ(SE_ERR_FNF, platform.shellOpen(path("missing.exe"), dir));
}

TEST_F(ShellTest, RecentDocumentsGetALinkInTheRecentFolderThatLeadsToTheFile) {
    char recent[MAX_PATH] = {};
    DWORD size = sizeof recent;
    ASSERT_EQ(ERROR_SUCCESS,
              RegGetValueA(HKEY_CURRENT_USER,
                           "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                           "Recent", RRF_RT_REG_SZ, nullptr, recent, &size));
    const std::string name = "qn recent " + std::to_string(GetCurrentProcessId()) + ".txt";
    const std::string link = std::string(recent) + "\\" + name + ".lnk";
    DeleteFileA(link.c_str());
    ASSERT_TRUE(qn_test::writeBytes(path(name), "readme"));

    platform.addToRecentDocuments(path(name));
    const DWORD attributes = GetFileAttributesA(link.c_str());
    const std::optional<std::string> target = platform.shortcutTarget(link);
    DeleteFileA(link.c_str());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, attributes) << link;
    EXPECT_EQ(target, path(name));
    EXPECT_EQ(platform.shortcutTarget(path(name)), std::nullopt);  // not a shortcut
}

TEST_F(ShellTest, ATextOnTheClipboardReadsBackWhole) {
    const std::string title = "Ёжик \xe2\x80\x94 Radiant Type I";  // outside the code page too
    ASSERT_TRUE(platform.setClipboardText(title));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = data ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    const std::string read = text ? qn::narrow(text) : std::string("(none)");
    if (text) GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(read, title);
}

TEST(MessageBoxText, LoneCarriageReturnsBecomeLineBreaks) {
    EXPECT_EQ("one\r\ntwo", qn::withMessageBoxLineBreaks("one\rtwo"));
    EXPECT_EQ("a\r\n\r\nb\r\n", qn::withMessageBoxLineBreaks("a\r\rb\r"));
    // Existing CR LF pairs and bare LFs stay as they are.
    EXPECT_EQ("a\r\nb\nc", qn::withMessageBoxLineBreaks("a\r\nb\nc"));
    EXPECT_EQ("\r\n", qn::withMessageBoxLineBreaks("\r"));
    EXPECT_EQ("", qn::withMessageBoxLineBreaks(""));
}

}  // namespace
