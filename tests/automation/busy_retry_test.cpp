// A server that is busy rejects calls without carrying them out: the layer
// asks again, on its schedule, for up to ten seconds from the first try,
// and only then reports the rejection.
#include "export/automation/busy_retry.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

#include "export/automation/exceptions.h"
#include "export/automation/ole_variant.h"
#include "export/automation/spreadsheet_link.h"
#include "tests/support/fake_automation.h"

namespace automation {
namespace {

using namespace std::chrono_literals;
using std::chrono::milliseconds;
using testing::FakeAutomationServer;

class BusyServerTest : public ::testing::Test {
 protected:
  milliseconds Waited() const { return std::accumulate(pauses.begin(), pauses.end(), milliseconds(0)); }

  // A clock that moves by the pauses the retries make, and by what a test adds.
  std::chrono::steady_clock::time_point now{};
  std::vector<milliseconds> pauses;
  ScopedBusyRetryTiming timing{{[this] { return now; },
                                [this](milliseconds pause) {
                                  pauses.push_back(pause);
                                  now += pause;
                                }}};
  testing::ScopedComInitialization com;
  FakeAutomationServer excel;
};

TEST_F(BusyServerTest, ABusyApplicationIsWaitedForAndEachCallIsCarriedOutOnce) {
  excel.Register("Excel.Application");
  // Busy from its start: the creation itself is turned away a few times.
  excel.RejectNext(6);
  OleVariant link;
  EXPECT_EQ(SpreadsheetStartupStep(link), SpreadsheetInstalledLabel());
  EXPECT_EQ(excel.InstancesCreated(), 1);
  EXPECT_EQ(excel.TotalReferences(), 1u);

  // Busy again in the middle of a chain: the look-up and the call each wait.
  excel.RejectNext(3);
  link.Call("WorkSheets").Get("Item", 1).Put("Cells", 1, 1, "x");
  EXPECT_EQ(excel.Describe(), (std::vector<std::string>{": method|get WorkSheets()", "WorkSheets(): get Item(1)",
                                                        "WorkSheets().Item(1): put Cells(1, 1, \"x\")"}));
  EXPECT_EQ(excel.Rejected(), 9);
  EXPECT_EQ(pauses.size(), 9u);
  EXPECT_EQ(pauses.front(), 100ms);
  EXPECT_LT(Waited(), 2s);
}

TEST_F(BusyServerTest, TheRejectionStandsOnceTenSecondsHavePassedSinceTheFirstTry) {
  OleVariant const app = excel.NewInstance();
  excel.RejectNext(1000);
  try {
    app.Exec("Quit");
    FAIL() << "a call that was always rejected succeeded";
  } catch (const EOleSysError& error) {
    EXPECT_EQ(error.ErrorCode(), RPC_E_CALL_REJECTED);
    EXPECT_EQ(error.Message(), testing::ExpectedSystemText(RPC_E_CALL_REJECTED, "Call was rejected by callee"));
  }
  EXPECT_EQ(Waited(), kBusyRetryLimit);
  EXPECT_TRUE(excel.Calls().empty());
  // Longer pauses as the wait goes on, never above half a second.
  EXPECT_TRUE(std::is_sorted(pauses.begin(), pauses.end() - 1));
  EXPECT_EQ(*std::max_element(pauses.begin(), pauses.end()), 500ms);
  EXPECT_LT(pauses.size(), 40u);

  // The time the tries themselves take counts as well: a server that takes
  // its ten seconds to say no is not asked again.
  BusyRetryTiming slow{[this] { return now; }, [](milliseconds) { ADD_FAILURE() << "paused"; }};
  ScopedBusyRetryTiming const slowTiming(slow);
  int tries = 0;
  EXPECT_EQ(RetryWhileBusy([&] {
              ++tries;
              now += kBusyRetryLimit;
              return RPC_E_SERVERCALL_RETRYLATER;
            }),
            RPC_E_SERVERCALL_RETRYLATER);
  EXPECT_EQ(tries, 1);
}

TEST_F(BusyServerTest, OnlyABusyAnswerIsAskedAgain) {
  OleVariant const app = excel.NewInstance();
  excel.Fail("Quit", RPC_E_DISCONNECTED);
  EXPECT_THROW(app.Exec("Quit"), EOleSysError);
  excel.Raise("SaveAs", "Не удаётся сохранить книгу", static_cast<SCODE>(0x800A03ECu));
  EXPECT_THROW(app.Exec("SaveAs", "book.xls"), EOleException);
  EXPECT_EQ(excel.Calls().size(), 2u);
  EXPECT_TRUE(pauses.empty());

  EXPECT_EQ(BusyRetryPause(0ms), 100ms);
  EXPECT_EQ(BusyRetryPause(1000ms), 250ms);
  EXPECT_EQ(BusyRetryPause(4000ms), 500ms);
  EXPECT_EQ(BusyRetryPause(9800ms), 200ms);
  EXPECT_EQ(BusyRetryPause(kBusyRetryLimit), std::nullopt);
}

}  // namespace
}  // namespace automation
