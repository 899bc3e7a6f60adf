#include "model/pbc_selection.h"

#include <gtest/gtest.h>

#include <memory>

#include "model/mpeg_file.h"

TEST(PbcSelection, SpecialSelections) {
    EXPECT_EQ(DisabledSelection().PlayItemId(), "Event Disabled");
    EXPECT_EQ(DisabledSelection().Caption(), "Event Disabled");
    EXPECT_EQ(EndSelection().PlayItemId(), "Selection-end");
    EXPECT_EQ(EndSelection().SelectionId(), "Selection-end");
    EXPECT_EQ(EndSelection().Caption(), "VideoCD END");
    EXPECT_EQ(ItselfSelection().Caption(), "Itself");
    EXPECT_TRUE(IsSpecialSelection(&ItselfSelection()));
    EXPECT_EQ(EndSelection().Owner(), nullptr);
}

TEST(PbcSelection, CreatedAutomatic) {
    TPbcSelection selection(nullptr);
    EXPECT_TRUE(selection.PrevAuto() && selection.NextAuto() && selection.ReturnAuto() && selection.DefaultKeyAuto() &&
                selection.TimeoutAuto() && selection.WaitAuto());
    EXPECT_EQ(selection.TimeoutTarget(), &EndSelection());
    EXPECT_EQ(selection.NextTarget(), nullptr);
    EXPECT_EQ(selection.WaitTime(), 0);
    EXPECT_EQ(selection.NumericMode(), TNumericMode::None);
    EXPECT_EQ(selection.NumericKey(1), nullptr);
}

TEST(PbcSelection, UserChoicesStopTheAutomaticRules) {
    TPbcSelection selection(nullptr);
    TPbcSelection a(nullptr), b(nullptr);
    selection.SetAutoNext(&a);
    EXPECT_EQ(selection.NextTarget(), &a);
    selection.SetNext(&b);
    selection.SetAutoNext(&a);
    EXPECT_EQ(selection.NextTarget(), &b);
    EXPECT_FALSE(selection.NextAuto());

    selection.SetTimeout(nullptr);
    EXPECT_EQ(selection.TimeoutTarget(), &EndSelection());
    EXPECT_FALSE(selection.TimeoutAuto());
    selection.SetAutoTimeout(&a);
    EXPECT_EQ(selection.TimeoutTarget(), &EndSelection());

    TPbcSelection fresh(nullptr);
    fresh.SetAutoTimeout(nullptr);
    EXPECT_EQ(fresh.TimeoutTarget(), &EndSelection());
    fresh.SetAutoWaitTime(-7);
    EXPECT_EQ(fresh.WaitTime(), -1);
    EXPECT_TRUE(fresh.WaitAuto());
    fresh.SetWaitTime(-5);
    EXPECT_EQ(fresh.WaitTime(), -1);
    fresh.SetAutoWaitTime(4);
    EXPECT_EQ(fresh.WaitTime(), -1);
}

TEST(PbcSelection, StillsPlayOnceAndJumpAtOnce) {
    TPbcSelection selection(nullptr);
    selection.SetJumpImmediate(false);
    selection.SetLoopCount(3);
    EXPECT_FALSE(selection.JumpImmediate());
    selection.SetEntryKind(TEntryKind::Segment);  // the rules apply to the values held
    EXPECT_TRUE(selection.JumpImmediate());
    EXPECT_EQ(selection.LoopCount(), 1);
    selection.SetLoopCount(3);
    selection.SetJumpImmediate(false);
    EXPECT_EQ(selection.LoopCount(), 1);
    EXPECT_TRUE(selection.JumpImmediate());

    TPbcSelection motion(nullptr);
    motion.SetLoopCount(-2);
    EXPECT_EQ(motion.LoopCount(), 0);
}

TEST(PbcSelection, NumericModeSwitches) {
    TPbcSelection target(nullptr);
    int provided = 0;
    TPbcSelection selection(nullptr, [&](TPbcSelection& s) {
        ++provided;
        s.SetNumericKey(1, &target);
    });
    selection.SetNumericMode(TNumericMode::Custom);  // 0 -> 2 keeps the keys
    EXPECT_EQ(provided, 0);
    selection.SetNumericKey(5, &target);
    selection.SetNumericKey(100, &target);  // not a key
    EXPECT_EQ(selection.NumericKey(5), &target);
    EXPECT_EQ(selection.NumericKey(100), nullptr);
    selection.RecomputeNumericKeys();  // custom keys are kept
    EXPECT_EQ(provided, 0);
    selection.SetNumericMode(TNumericMode::Automatic);  // 2 -> 1 asks the provider
    EXPECT_EQ(provided, 1);
    EXPECT_EQ(selection.NumericKey(1), &target);
    selection.SetNumericMode(TNumericMode::Automatic);  // unchanged: nothing happens
    EXPECT_EQ(provided, 1);
    EXPECT_TRUE(selection.HasNumericKeys() && selection.NumericAutomatic() && !selection.NumericCustom());

    TPbcSelection without(nullptr);
    without.SetNumericMode(TNumericMode::Custom);
    without.SetNumericKey(9, &target);
    without.SetNumericMode(TNumericMode::None);  // no provider: every key is cleared
    EXPECT_EQ(without.NumericKey(9), nullptr);
}

TEST(PbcSelection, DestroyedTargetsAreDropped) {
    TPbcSelection holder(nullptr);
    auto target = std::make_unique<TPbcSelection>(nullptr);
    holder.SetNumericMode(TNumericMode::Custom);
    holder.SetNumericKey(7, target.get());
    holder.SetPrev(target.get());
    holder.SetAutoNext(target.get());
    holder.SetTimeout(target.get());
    TPbcSelection* seen = nullptr;
    RegisterNavigationCallbacks({{}, [&](TPbcSelection& s) { seen = &s; }});
    TPbcSelection* const gone = target.get();
    target.reset();
    RegisterNavigationCallbacks({});
    EXPECT_EQ(seen, gone);
    EXPECT_EQ(holder.NumericKey(7), nullptr);
    EXPECT_EQ(holder.PrevTarget(), nullptr);
    EXPECT_EQ(holder.NextTarget(), nullptr);
    EXPECT_EQ(holder.TimeoutTarget(), nullptr);
    EXPECT_FALSE(holder.PrevAuto());  // the flags stay as they were
    EXPECT_TRUE(holder.NextAuto());
}

TEST(PbcSelection, DeletedEntryLeavesCustomKeysOfOtherFiles) {
    TMpegFile first("", true), second("", true);
    TPbcSelection* chapter = second.AddEntryPoint("0:00:05.000", true);
    TPbcSelection* start = first.EntryPoints().SelectionAt(0);
    start->SetNumericMode(TNumericMode::Custom);
    start->SetNumericKey(7, chapter);
    start->SetNumericKey(8, second.EntryPoints().SelectionAt(0));
    ASSERT_TRUE(second.RemoveEntryPoint("0:00:05.000"));
    EXPECT_EQ(start->NumericKey(7), nullptr);
    EXPECT_EQ(start->NumericKey(8), second.EntryPoints().SelectionAt(0));
}

TEST(PbcSelection, RefreshIsSuspendedByTheCounter) {
    int runs = 0;
    RegisterNavigationCallbacks({[&] { ++runs; }, {}});
    RequestNavigationRefresh(nullptr, false);
    EXPECT_EQ(runs, 1);
    {
        TNavigationUpdateScope outer;
        BeginNavigationUpdate();
        RequestNavigationRefresh(nullptr, false);
        EXPECT_EQ(runs, 1);
        RequestNavigationRefresh(nullptr, true);
        EXPECT_EQ(runs, 2);
        EndNavigationUpdate();
        EXPECT_EQ(NavigationUpdateCount(), 1);
    }
    EXPECT_EQ(runs, 3);  // once at the end of the scope
    EndNavigationUpdate();
    EXPECT_EQ(NavigationUpdateCount(), 0);  // never below zero
    RegisterNavigationCallbacks({});
    RequestNavigationRefresh(nullptr, true);
    EXPECT_EQ(runs, 3);
}
