// The value semantics of OleVariant: references are added by copies and
// given back by clears, assignments and destruction, and nothing else.
#include "export/automation/ole_variant.h"

#include <gtest/gtest.h>

#include "export/automation/exceptions.h"
#include "export/automation/text_convert.h"
#include "fake_automation.h"

namespace automation {
namespace {

using testing::FakeAutomationServer;

class OleVariantTest : public ::testing::Test {
 protected:
  testing::ScopedComInitialization com;
  FakeAutomationServer server;
};

TEST_F(OleVariantTest, CopiesShareTheObjectAndEachGivesItsReferenceBack) {
  OleVariant first = server.NewInstance();
  EXPECT_EQ(server.totalReferences(), 1u);
  {
    OleVariant const copy = first;
    OleVariant assigned;
    assigned = first;
    EXPECT_EQ(copy.Dispatch(), first.Dispatch());
    EXPECT_EQ(server.totalReferences(), 3u);
  }
  EXPECT_EQ(server.totalReferences(), 1u);

  OleVariant moved = std::move(first);
  EXPECT_TRUE(first.IsEmpty());
  EXPECT_EQ(server.totalReferences(), 1u);
  moved.Clear();
  EXPECT_TRUE(moved.IsEmpty());
  EXPECT_EQ(server.liveObjects(), 0u);
}

TEST_F(OleVariantTest, StoringANewObjectReleasesTheOldOne) {
  OleVariant link = server.NewInstance();
  link = server.NewInstance();
  EXPECT_EQ(server.instancesCreated(), 2);
  EXPECT_EQ(server.liveObjects(), 1u);

  OleVariant const other = server.NewInstance();
  link = other;
  EXPECT_EQ(server.liveObjects(), 1u);
  EXPECT_EQ(server.totalReferences(), 2u);

  OleVariant& same = link;
  link = same;  // assigning a variant to itself keeps its one reference
  EXPECT_EQ(server.totalReferences(), 2u);
}

TEST_F(OleVariantTest, TextsAreCopiedNotShared) {
  VARIANT raw;
  VariantInit(&raw);
  raw.vt = VT_BSTR;
  raw.bstrVal = AllocBstr("Таблица");
  OleVariant const original = OleVariant::Attach(raw);
  EXPECT_EQ(raw.vt, VT_EMPTY);

  OleVariant const copy = original;
  EXPECT_NE(copy.Raw().bstrVal, original.Raw().bstrVal);
  EXPECT_EQ(FromBstr(copy.Raw().bstrVal), "Таблица");
}

TEST_F(OleVariantTest, ABooleanComesFromEmptyBooleansNumbersAndTexts) {
  auto of = [](VARTYPE vt, auto fill) {
    VARIANT raw;
    VariantInit(&raw);
    raw.vt = vt;
    fill(raw);
    return OleVariant::Attach(raw);
  };
  EXPECT_FALSE(OleVariant().ToBool());
  EXPECT_TRUE(of(VT_BOOL, [](VARIANT& v) { v.boolVal = VARIANT_TRUE; }).ToBool());
  EXPECT_FALSE(of(VT_BOOL, [](VARIANT& v) { v.boolVal = VARIANT_FALSE; }).ToBool());
  EXPECT_TRUE(of(VT_I4, [](VARIANT& v) { v.lVal = -1; }).ToBool());
  EXPECT_FALSE(of(VT_I2, [](VARIANT& v) { v.iVal = 0; }).ToBool());
  EXPECT_TRUE(of(VT_R8, [](VARIANT& v) { v.dblVal = 0.5; }).ToBool());
  EXPECT_TRUE(of(VT_BSTR, [](VARIANT& v) { v.bstrVal = AllocBstr("True"); }).ToBool());
  EXPECT_FALSE(of(VT_BSTR, [](VARIANT& v) { v.bstrVal = AllocBstr("false"); }).ToBool());
  EXPECT_TRUE(of(VT_BSTR, [](VARIANT& v) { v.bstrVal = AllocBstr("2"); }).ToBool());
  EXPECT_THROW(of(VT_BSTR, [](VARIANT& v) { v.bstrVal = AllocBstr("yes"); }).ToBool(), EVariantTypeCastError);
  EXPECT_THROW(of(VT_NULL, [](VARIANT&) {}).ToBool(), EVariantTypeCastError);
  EXPECT_THROW(server.NewInstance().ToBool(), EVariantTypeCastError);
}

TEST_F(OleVariantTest, EveryTemporaryOfAChainIsGoneWhenTheStatementEnds) {
  OleVariant const app = server.NewInstance();
  app.Call("WorkSheets")
      .Get("Item", 1)
      .Get("Range", "A1:K11", Omitted())
      .Call("Characters")
      .Call("Font")
      .Put("Name", "Arial");
  EXPECT_EQ(server.calls().size(), 6u);
  EXPECT_EQ(server.liveObjects(), 1u);
  EXPECT_EQ(server.totalReferences(), 1u);
}

}  // namespace
}  // namespace automation
