// What a late-bound call puts on the wire: flags, DISPIDs, argument types
// and order, named arguments, whether a result is asked for.
#include "export/automation/dispatch_call.h"

#include <gtest/gtest.h>

#include "export/automation/ole_variant.h"
#include "tests/support/fake_automation.h"

namespace automation {
namespace {

using testing::FakeAutomationServer;
using testing::RecordedCall;

class DispatchCallTest : public ::testing::Test {
 protected:
  testing::ScopedComInitialization com;
  FakeAutomationServer server;
  OleVariant app = server.NewInstance();

  const RecordedCall& OnlyCall() {
    EXPECT_EQ(server.Calls().size(), 1u);
    return server.Calls().back();
  }
};

TEST_F(DispatchCallTest, ArgumentlessMethodWhoseResultIsUsedIsInvokedAsMethodOrGet) {
  OleVariant const sheets = app.Call("WorkSheets");

  const RecordedCall& call = OnlyCall();
  EXPECT_EQ(call.member, "WorkSheets");
  EXPECT_EQ(call.flags, DISPATCH_METHOD | DISPATCH_PROPERTYGET);
  EXPECT_TRUE(call.resultRequested);
  EXPECT_TRUE(call.args.empty());
  EXPECT_TRUE(call.namedDispids.empty());
  EXPECT_TRUE(call.nullIid);
  EXPECT_EQ(call.lcid, 0u);
  EXPECT_TRUE(call.excepInfoGiven);
  EXPECT_EQ(sheets.Type(), VT_DISPATCH);

  ASSERT_EQ(server.Lookups().size(), 1u);
  EXPECT_EQ(server.Lookups()[0].name, "WorkSheets");
  EXPECT_EQ(server.Lookups()[0].nameCount, 1u);
  EXPECT_TRUE(server.Lookups()[0].nullIid);
  EXPECT_EQ(server.Lookups()[0].lcid, GetThreadLocale());
  EXPECT_EQ(call.dispid, DISPID{1000});
}

TEST_F(DispatchCallTest, MethodsWithArgumentsOrWithoutResultArePlainMethods) {
  OleVariant const item = app.Call("Item", 1);
  app.Exec("Quit");
  app.Exec("Merge", false);

  ASSERT_EQ(server.Calls().size(), 3u);
  const RecordedCall& withResult = server.Calls()[0];
  EXPECT_EQ(withResult.flags, DISPATCH_METHOD);
  EXPECT_TRUE(withResult.resultRequested);
  ASSERT_EQ(withResult.args.size(), 1u);
  EXPECT_EQ(withResult.args[0].vt, VT_I4);
  EXPECT_EQ(withResult.args[0].i4, 1);

  const RecordedCall& quit = server.Calls()[1];
  EXPECT_EQ(quit.flags, DISPATCH_METHOD);
  EXPECT_FALSE(quit.resultRequested);
  EXPECT_TRUE(quit.args.empty());

  const RecordedCall& merge = server.Calls()[2];
  EXPECT_EQ(merge.flags, DISPATCH_METHOD);
  EXPECT_FALSE(merge.resultRequested);
  ASSERT_EQ(merge.args.size(), 1u);
  EXPECT_EQ(merge.args[0].vt, VT_BOOL);
  EXPECT_EQ(merge.args[0].boolean, VARIANT_FALSE);
  EXPECT_TRUE(merge.namedDispids.empty());
}

TEST_F(DispatchCallTest, PropertyReadPassesArgumentsLastFirstWithTheMarkerByReference) {
  OleVariant const range = app.Get("Range", "A1:K11", Omitted());
  OleVariant const again = app.Get("Range", "B2:K11", Omitted());

  const RecordedCall& call = server.Calls()[0];
  EXPECT_EQ(call.flags, DISPATCH_PROPERTYGET);
  EXPECT_TRUE(call.resultRequested);
  ASSERT_EQ(call.rawArgs.size(), 2u);
  EXPECT_EQ(call.rawArgs[0].vt, VT_BYREF | VT_VARIANT);
  EXPECT_TRUE(call.rawArgs[0].IsOmittedMarker());
  EXPECT_EQ(call.rawArgs[1].vt, VT_BSTR);
  EXPECT_EQ(call.rawArgs[1].text, "A1:K11");
  EXPECT_TRUE(call.namedDispids.empty());

  // One marker for the whole program, never a copy per call.
  EXPECT_EQ(call.rawArgs[0].target, &OmittedMarker());
  EXPECT_EQ(server.Calls()[1].rawArgs[0].target, &OmittedMarker());
  EXPECT_EQ(OmittedMarker().vt, VT_ERROR);
  EXPECT_EQ(OmittedMarker().scode, DISP_E_PARAMNOTFOUND);
}

TEST_F(DispatchCallTest, PropertyWriteNamesOnlyTheValueAndKeepsLeadingArgumentsPositional) {
  app.Put("Cells", 2, 3, "№ измерения");

  const RecordedCall& call = OnlyCall();
  EXPECT_EQ(call.flags, DISPATCH_PROPERTYPUT);
  EXPECT_FALSE(call.resultRequested);
  ASSERT_EQ(call.rawArgs.size(), 3u);
  ASSERT_EQ(call.namedDispids, std::vector<DISPID>{DISPID_PROPERTYPUT});
  // The named value comes first in the array, then the positional ones last first.
  EXPECT_EQ(call.rawArgs[0].vt, VT_BSTR);
  EXPECT_EQ(call.rawArgs[0].text, "№ измерения");
  EXPECT_EQ(call.rawArgs[1].vt, VT_I4);
  EXPECT_EQ(call.rawArgs[1].i4, 3);
  EXPECT_EQ(call.rawArgs[2].vt, VT_I4);
  EXPECT_EQ(call.rawArgs[2].i4, 2);
}

TEST_F(DispatchCallTest, ValuesKeepTheKindTheCallerGaveThem) {
  app.Put("HorizontalAlignment", Int16(-4108));
  app.Put("Value", 12.3456);
  app.Put("DisplayAlerts", false);
  app.Put("Color", 15132390);
  app.Put("NumberFormat", std::string("@"));

  ASSERT_EQ(server.Calls().size(), 5u);
  auto value = [&](std::size_t i) { return server.Calls()[i].rawArgs.at(0); };
  EXPECT_EQ(value(0).vt, VT_I2);
  EXPECT_EQ(value(0).i2, -4108);
  EXPECT_EQ(value(1).vt, VT_R8);
  EXPECT_DOUBLE_EQ(value(1).r8, 12.3456);
  EXPECT_EQ(value(2).vt, VT_BOOL);
  EXPECT_EQ(value(2).boolean, VARIANT_FALSE);
  EXPECT_EQ(value(3).vt, VT_I4);
  EXPECT_EQ(value(3).i4, 15132390);
  EXPECT_EQ(value(4).vt, VT_BSTR);
  EXPECT_EQ(value(4).text, "@");
  for (const RecordedCall& call : server.Calls()) EXPECT_EQ(call.namedDispids.size(), 1u);
}

TEST_F(DispatchCallTest, EachCallOfAChainGoesToTheObjectThePreviousOneReturned) {
  OleVariant const sheet = app.Call("WorkSheets").Get("Item", 1);
  sheet.Get("Range", "A1:K11", Omitted()).Call("Borders").Put("LineStyle", 1);
  sheet.Put("Cells", 11, 6, "Данные считаны 01.02.2024 в 10:11:12");

  std::vector<std::string> const expected{
      ": method|get WorkSheets()",
      "WorkSheets(): get Item(1)",
      "WorkSheets().Item(1): get Range(\"A1:K11\", <omitted>)",
      "WorkSheets().Item(1).Range(\"A1:K11\", <omitted>): method|get Borders()",
      "WorkSheets().Item(1).Range(\"A1:K11\", <omitted>).Borders(): put LineStyle(1)",
      "WorkSheets().Item(1): put Cells(11, 6, \"Данные считаны 01.02.2024 в 10:11:12\")",
  };
  EXPECT_EQ(server.Describe(), expected);
}

TEST_F(DispatchCallTest, SixtyFourArgumentsAreStillOneCall) {
  std::vector<Arg> args(kMaxCallArguments, Arg(7));
  InvokeMember(app.Raw(), "Many", CallKind::Method, args, nullptr);
  ASSERT_EQ(server.Calls().size(), 1u);
  EXPECT_EQ(server.Calls()[0].args.size(), 64u);
}

TEST_F(DispatchCallTest, ATargetHeldByReferenceIsCalledLikeTheObjectItself) {
  IDispatch* object = app.Dispatch();
  VARIANT byRef;
  VariantInit(&byRef);
  byRef.vt = VT_DISPATCH | VT_BYREF;
  byRef.ppdispVal = &object;
  InvokeMember(byRef, "Quit", CallKind::Method, {}, nullptr);

  VARIANT toVariant;
  VariantInit(&toVariant);
  toVariant.vt = VT_VARIANT | VT_BYREF;
  toVariant.pvarVal = const_cast<VARIANT*>(&app.Raw());
  InvokeMember(toVariant, "Quit", CallKind::Method, {}, nullptr);

  EXPECT_EQ(server.Describe(), (std::vector<std::string>{": method Quit()", ": method Quit()"}));
}

}  // namespace
}  // namespace automation
