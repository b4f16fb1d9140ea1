// The owners of handles: each real handle given back exactly once, and what
// a guard selected into a device context put back when it goes.
#include "platform/win32/scoped_gdi.h"

#include <gtest/gtest.h>

#include <utility>

namespace {

bool isOpen(HANDLE handle) {
    DWORD flags = 0;
    return GetHandleInformation(handle, &flags) != 0;
}

HANDLE newEvent() { return CreateEventA(nullptr, TRUE, FALSE, nullptr); }

TEST(ScopedHandleTest, ClosesItsHandleOnceWhereverOwnershipEnds) {
    HANDLE raw = newEvent();
    {
        qn::UniqueHandle last;
        {
            qn::UniqueHandle first(raw);
            qn::UniqueHandle second(std::move(first));
            last = std::move(second);
        }
        EXPECT_TRUE(isOpen(raw));  // the owners it was moved out of did not close it
        EXPECT_EQ(last.get(), raw);
    }
    EXPECT_FALSE(isOpen(raw));

    HANDLE replaced = newEvent();
    HANDLE kept = newEvent();
    {
        qn::UniqueHandle owner(replaced);
        owner.reset(kept);
        EXPECT_FALSE(isOpen(replaced));
        EXPECT_EQ(owner.release(), kept);
    }
    EXPECT_TRUE(isOpen(kept));
    CloseHandle(kept);
}

TEST(ScopedHandleTest, EachKindKnowsItsFailedValue) {
    EXPECT_FALSE(qn::UniqueHandle(nullptr).valid());
    EXPECT_FALSE(qn::UniqueHandle(INVALID_HANDLE_VALUE).valid());
    EXPECT_FALSE(qn::FindHandle(INVALID_HANDLE_VALUE).valid());
    EXPECT_FALSE(qn::FindHandle().valid());
}

TEST(SelectionGuardTest, PutsBackWhatItReplaced) {
    const qn::ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
    ASSERT_TRUE(dc);
    const HGDIOBJ before = GetCurrentObject(dc.get(), OBJ_FONT);
    const qn::ScopedFont font(CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0,
                                          "Arial"));
    ASSERT_TRUE(font);
    {
        const qn::SelectionGuard guard(dc.get(), font.get());
        EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), font.get());
    }
    EXPECT_EQ(GetCurrentObject(dc.get(), OBJ_FONT), before);
}

}  // namespace
