// The spreadsheet link at window start-up, at the close query, and around
// the program's COM lifetime.
#include "export/automation/spreadsheet_link.h"

#include <gtest/gtest.h>

#include <thread>

#include "export/automation/com_session.h"
#include "export/automation/exceptions.h"
#include "export/automation/text_convert.h"
#include "tests/support/fake_automation.h"

namespace automation {
namespace {

using testing::FakeAutomationServer;

class SpreadsheetLinkTest : public ::testing::Test {
 protected:
  testing::ScopedComInitialization com;
  FakeAutomationServer excel;
  OleVariant link;
};

OleString gLookedUp;
HRESULT STDAPICALLTYPE AnswersFalse(LPCOLESTR progId, LPCLSID) {
  gLookedUp = progId;
  return S_FALSE;
}

TEST_F(SpreadsheetLinkTest, TheInstallCheckIsTrueOnlyForAnExactSuccess) {
  EXPECT_FALSE(CheckExcelInstall());
  excel.Register("Excel.Application");
  EXPECT_TRUE(CheckExcelInstall());
  EXPECT_EQ(excel.InstancesCreated(), 0);  // the check starts nothing

  EXPECT_FALSE(CheckExcelInstall(&AnswersFalse));
  EXPECT_EQ(FromOleString(gLookedUp.data(), gLookedUp.size()), "Excel.Application");
}

TEST_F(SpreadsheetLinkTest, StartUpWithTheApplicationRegisteredStartsOneUntouchedInstance) {
  excel.Register("Excel.Application");
  SpreadsheetLabel const label = SpreadsheetStartupStep(link);

  EXPECT_EQ(label, (SpreadsheetLabel{"MS EXCEL установлен", true}));
  EXPECT_EQ(link.Type(), VT_DISPATCH);
  EXPECT_EQ(excel.InstancesCreated(), 1);
  EXPECT_EQ(excel.TotalReferences(), 1u);  // the link's, and nobody else's
  EXPECT_TRUE(excel.Calls().empty());      // not made visible, no workbook
}

// The program's own application is registered as a fallback: it answers
// only while no other application does, and Label1 tells the two apart.
TEST_F(SpreadsheetLinkTest, TheProgramsOwnApplicationAnswersOnlyWhereNoOtherDoes) {
  FakeAutomationServer builtIn;
  builtIn.Register("Excel.Application", ClassRank::Fallback);
  EXPECT_TRUE(CheckExcelInstall());
  EXPECT_EQ(SpreadsheetStartupStep(link), (SpreadsheetLabel{"MS EXCEL нет, сохранит программа", true}));
  EXPECT_EQ(builtIn.InstancesCreated(), 1);

  excel.Register("Excel.Application");
  EXPECT_EQ(SpreadsheetStartupStep(link), SpreadsheetInstalledLabel());
  EXPECT_EQ(excel.InstancesCreated(), 1);
  EXPECT_EQ(builtIn.InstancesCreated(), 1);

  UnregisterAutomationClass("Excel.Application");
  EXPECT_EQ(SpreadsheetStateLabel(), SpreadsheetBuiltInLabel());
  UnregisterAutomationClass("Excel.Application", ClassRank::Fallback);
  EXPECT_EQ(SpreadsheetStateLabel(), SpreadsheetMissingLabel());
}

TEST_F(SpreadsheetLinkTest, StartUpWithoutTheApplicationLeavesTheLinkEmpty) {
  excel.Register("Some.Other.Application");
  SpreadsheetLabel const label = SpreadsheetStartupStep(link);

  EXPECT_EQ(label, (SpreadsheetLabel{"MS EXCEL не установлен", false}));
  EXPECT_TRUE(link.IsEmpty());
  EXPECT_EQ(excel.InstancesCreated(), 0);
}

TEST_F(SpreadsheetLinkTest, AFailingStartRaisesTheCreationsCodeAndLeavesTheLinkEmpty) {
  excel.Register("Excel.Application");
  excel.FailCreation(CO_E_SERVER_EXEC_FAILURE);
  try {
    SpreadsheetStartupStep(link);
    FAIL() << "the start-up step succeeded";
  } catch (const EOleSysError& error) {
    EXPECT_EQ(error.ErrorCode(), CO_E_SERVER_EXEC_FAILURE);
    // Only the system has a text for a code of a server of its own.
    EXPECT_EQ(error.Message(), testing::ExpectedSystemText(CO_E_SERVER_EXEC_FAILURE, "OLE error 80080005"));
  }
  EXPECT_TRUE(link.IsEmpty());

  excel.CreateWithoutDispatch();
  try {
    SpreadsheetStartupStep(link);
    FAIL() << "the start-up step succeeded";
  } catch (const EOleSysError& error) {
    EXPECT_EQ(error.ErrorCode(), E_NOINTERFACE);
  }
  EXPECT_TRUE(link.IsEmpty());
}

TEST_F(SpreadsheetLinkTest, ANewInstanceReplacesAndReleasesTheOneTheLinkHeld) {
  excel.Register("Excel.Application");
  StartSpreadsheetInstance(link);
  StartSpreadsheetInstance(link);
  EXPECT_EQ(excel.InstancesCreated(), 2);
  EXPECT_EQ(excel.LiveObjects(), 1u);
  link.Exec("Quit");
  EXPECT_EQ(excel.Calls().back().instance, 2);
}

TEST_F(SpreadsheetLinkTest, ClosingWithAnEmptyLinkDropsTheInvalidOperation) {
  EXPECT_THROW((void)link.Call("Exists"), EVariantInvalidOpError);
  EXPECT_TRUE(SpreadsheetCloseQuery(link));
}

TEST_F(SpreadsheetLinkTest, ClosingQuitsOnlyAnInstanceThatSaysItExists) {
  link = excel.NewInstance();

  excel.Forget("Exists");
  EXPECT_TRUE(SpreadsheetCloseQuery(link));
  EXPECT_TRUE(excel.Calls().empty());

  FakeAutomationServer answersFalse;
  answersFalse.Answer("Exists", false);
  OleVariant const quiet = answersFalse.NewInstance();
  EXPECT_TRUE(SpreadsheetCloseQuery(quiet));
  EXPECT_EQ(answersFalse.Describe(), std::vector<std::string>{": method|get Exists()"});

  FakeAutomationServer answersEmpty;
  answersEmpty.Answer("Exists", std::monostate{});
  EXPECT_TRUE(SpreadsheetCloseQuery(answersEmpty.NewInstance()));
  EXPECT_EQ(answersEmpty.Calls().size(), 1u);

  FakeAutomationServer answersTrue;
  answersTrue.Answer("Exists", true);
  OleVariant const running = answersTrue.NewInstance();
  EXPECT_TRUE(SpreadsheetCloseQuery(running));
  EXPECT_EQ(answersTrue.Describe(), (std::vector<std::string>{": method|get Exists()", ": method Quit()"}));
  EXPECT_TRUE(answersTrue.Calls()[0].resultRequested);
  EXPECT_FALSE(answersTrue.Calls()[1].resultRequested);
  EXPECT_EQ(answersTrue.TotalReferences(), 1u);  // the answer to "Exists" is gone
}

TEST_F(SpreadsheetLinkTest, ClosingSwallowsEveryFailureOfTheInstance) {
  link = excel.NewInstance();
  excel.Fail("Exists", RPC_E_DISCONNECTED);
  EXPECT_TRUE(SpreadsheetCloseQuery(link));

  FakeAutomationServer failingQuit;
  failingQuit.Answer("Exists", true);
  failingQuit.Raise("Quit", "Quit refused.", E_FAIL);
  EXPECT_TRUE(SpreadsheetCloseQuery(failingQuit.NewInstance()));
  EXPECT_EQ(failingQuit.Calls().size(), 2u);

  FakeAutomationServer oddAnswer;
  oddAnswer.Answer("Exists", std::string("perhaps"));
  EXPECT_TRUE(SpreadsheetCloseQuery(oddAnswer.NewInstance()));
  EXPECT_EQ(oddAnswer.Calls().size(), 1u);
}

TEST(ComSessionTest, TheLinkIsReleasedBeforeCOMIsUninitialised) {
  FakeAutomationServer excel;
  std::thread([&] {
    OleVariant link;
    {
      ComSession session(link);
      EXPECT_EQ(session.InitResult(), S_OK);
      link = excel.NewInstance();
    }
    EXPECT_TRUE(link.IsEmpty());
    EXPECT_EQ(excel.LiveObjects(), 0u);
    void* object = nullptr;
    EXPECT_EQ(CreateInstance(excel.Clsid(), nullptr, CLSCTX_INPROC_SERVER, kDispatchIid, &object), CO_E_NOTINITIALIZED);
  }).join();
}

TEST(ComSessionTest, AnAlreadyInitialisedThreadIsLeftInitialisedAsItWas) {
  FakeAutomationServer excel;
  excel.Register("Lumetra.Test.Session");
  std::thread([&] {
    testing::ScopedComInitialization outer;
    OleVariant link;
    {
      ComSession session(link);
      EXPECT_EQ(session.InitResult(), S_FALSE);
      EXPECT_TRUE(session.Initialized());
    }
    IDispatch* object = nullptr;
    EXPECT_EQ(
        CreateInstance(excel.Clsid(), nullptr, CLSCTX_INPROC_SERVER, kDispatchIid, reinterpret_cast<void**>(&object)),
        S_OK);
    if (object != nullptr) object->Release();
  }).join();
}

}  // namespace
}  // namespace automation
