// Beginning an attempt and recording a sync, with a clock and a worker
// starter of the test's own.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "../support/fake_clock.h"
#include "../support/memory_registry.h"
#include "../support/recording_window.h"
#include "app/ui_handles.h"
#include "settings/registry.h"
#include "settings/settings.h"
#include "sync/sync.h"

namespace {

const long long kNow = 1765000000;

class BeginSyncTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetRecordedMessages();
        ResetMemoryRegistry();
        FakeTime() = FakeTimeState();
        SetUnixTime(kNow);
        SettingsRecord = SettingsData();
        std::wcscpy(SettingsRecord.CLOOP, L"60");
        std::wcscpy(SettingsRecord.TIMESTAMP, L"NULL");
        MainWindow = FakeWindow(1);
        for (int i = 0; i < 3; ++i) QueryEdits[i] = FakeWindow(10 + i);
        WorkerThread = nullptr;
    }
    void TearDown() override {
        if (WorkerThread) CloseWorkerHandle(WorkerThread);
        WorkerThread = nullptr;
    }
    // What one control was given, in order.
    std::vector<std::wstring> TextsOf(WindowHandle control) {
        std::vector<std::wstring> texts;
        for (const RecordedMessage& m : RecordedMessages())
            if (m.message == RECORDED_SETTEXT && m.window == control) texts.push_back(m.text);
        return texts;
    }
    int SyncDoneCount() {
        int n = 0;
        for (const RecordedMessage& m : RecordedMessages())
            if (m.message == WM_SYNC_DONE && m.window == MainWindow) ++n;
        return n;
    }
};

}  // namespace

TEST_F(BeginSyncTest, GateBoundaryWithTheDefaultPause) {
    struct Row {
        long long sinceLastSync;
        bool starts;
    } rows[] = {{3540, false}, {3541, true}, {0, false}, {86400, true}};
    for (const Row& r : rows) {
        SetUp();
        std::wcscpy(SettingsRecord.TIMESTAMP, std::to_wstring(kNow - r.sinceLastSync).c_str());
        BeginSync();
        EXPECT_EQ(FakeTime().started.size(), r.starts ? 1u : 0u) << r.sinceLastSync;
        EXPECT_EQ(SyncDoneCount(), r.starts ? 0 : 1) << "exactly one way to end the attempt";
        std::vector<std::wstring> status = TextsOf(QueryEdits[2]);
        if (r.starts) {
            EXPECT_EQ(FakeTime().started[0], &CheckIpWorker);
            EXPECT_NE(WorkerThread, nullptr);
            EXPECT_EQ(status, std::vector<std::wstring>{L"wait sync..."});
        } else {
            EXPECT_EQ(WorkerThread, nullptr);
            EXPECT_EQ(status, (std::vector<std::wstring>{L"wait sync...", L"STOP SPAM"}));
        }
        TearDown();
    }
}

TEST_F(BeginSyncTest, NeverSyncedIsAlwaysAllowed) {
    BeginSync();
    EXPECT_EQ(FakeTime().started.size(), 1u);
}

TEST_F(BeginSyncTest, StampsThePageBeforeDecidingEvenWhenRefused) {
    std::wcscpy(SettingsRecord.TIMESTAMP, std::to_wstring(kNow).c_str());
    FakeTime().local = LocalClock{2026, 1, 2, 3, 4, 5};
    BeginSync();
    EXPECT_EQ(TextsOf(QueryEdits[0]), std::vector<std::wstring>{L"2026.01.02 03:04:05"});
    EXPECT_EQ(TextsOf(QueryEdits[1]), std::vector<std::wstring>{L"wait sync..."});
    std::vector<RecordedMessage> all = RecordedMessages();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all.back().message, WM_SYNC_DONE) << "the refusal is reported after the texts";
}

TEST_F(BeginSyncTest, PauseTextIsReadAsADecimalNumber) {
    std::wcscpy(SettingsRecord.CLOOP, L"30 min");
    std::wcscpy(SettingsRecord.TIMESTAMP, std::to_wstring(kNow - 1741).c_str());
    BeginSync();
    EXPECT_EQ(FakeTime().started.size(), 1u);
}

TEST_F(BeginSyncTest, SaveLastSyncRecordsAddressThenTime) {
    std::wcscpy(CurrentIP, L"192.0.2.7");
    SaveLastSync();
    EXPECT_STREQ(SettingsRecord.LASTIP, L"192.0.2.7");
    EXPECT_EQ(std::wstring(SettingsRecord.TIMESTAMP), std::to_wstring(kNow));
    const std::vector<RegistryWrite>& w = MemoryRegistry().writes;
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0].name, L"LASTIP");
    EXPECT_EQ(w[0].text, L"192.0.2.7");
    EXPECT_EQ(w[1].name, L"TIMESTAMP");
    EXPECT_EQ(w[1].text, std::to_wstring(kNow));
    EXPECT_EQ(w[1].subkey, RegistryKeyPath);
}
