// The value semantics of OleVariant: references are added by copies and
// given back by clears, assignments and destruction, and nothing else.
#include "export/automation/ole_variant.h"

#include <gtest/gtest.h>

#include "export/automation/exceptions.h"
#include "export/automation/text_convert.h"
#include "tests/support/fake_automation.h"

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
  EXPECT_EQ(server.TotalReferences(), 1u);
  {
    OleVariant const copy = first;
    OleVariant assigned;
    assigned = first;
    EXPECT_EQ(copy.Dispatch(), first.Dispatch());
    EXPECT_EQ(server.TotalReferences(), 3u);
  }
  EXPECT_EQ(server.TotalReferences(), 1u);

  OleVariant moved = std::move(first);
  EXPECT_TRUE(first.IsEmpty());
  EXPECT_EQ(server.TotalReferences(), 1u);
  moved.Clear();
  EXPECT_TRUE(moved.IsEmpty());
  EXPECT_EQ(server.LiveObjects(), 0u);
}

TEST_F(OleVariantTest, StoringANewObjectReleasesTheOldOne) {
  OleVariant link = server.NewInstance();
  link = server.NewInstance();
  EXPECT_EQ(server.InstancesCreated(), 2);
  EXPECT_EQ(server.LiveObjects(), 1u);

  OleVariant const other = server.NewInstance();
  link = other;
  EXPECT_EQ(server.LiveObjects(), 1u);
  EXPECT_EQ(server.TotalReferences(), 2u);

  OleVariant& same = link;
  link = same;  // assigning a variant to itself keeps its one reference
  EXPECT_EQ(server.TotalReferences(), 2u);
}

TEST_F(OleVariantTest, TextsAreCopiedNotShared) {
  server.Answer("Name", std::string("Таблица"));
  OleVariant const original = server.NewInstance().Get("Name");
  OleVariant const copy = original;
  EXPECT_NE(copy.Raw().bstrVal, original.Raw().bstrVal);
  EXPECT_EQ(FromBstr(copy.Raw().bstrVal), "Таблица");
}

TEST_F(OleVariantTest, ABooleanComesFromEmptyBooleansNumbersAndTexts) {
  OleVariant const app = server.NewInstance();
  auto of = [&](testing::FakeValue value) {
    server.Answer("Exists", std::move(value));
    return app.Call("Exists").ToBool();
  };
  EXPECT_FALSE(OleVariant().ToBool());
  EXPECT_TRUE(of(true));
  EXPECT_FALSE(of(false));
  EXPECT_TRUE(of(std::int32_t{-1}));
  EXPECT_FALSE(of(std::int32_t{0}));
  EXPECT_TRUE(of(0.5));
  EXPECT_TRUE(of(std::string("True")));
  EXPECT_FALSE(of(std::string("false")));
  EXPECT_TRUE(of(std::string("2")));
  EXPECT_THROW(of(std::string("yes")), EVariantTypeCastError);
  EXPECT_THROW(app.ToBool(), EVariantTypeCastError);
}

TEST_F(OleVariantTest, EveryTemporaryOfAChainIsGoneWhenTheStatementEnds) {
  OleVariant const app = server.NewInstance();
  app.Call("WorkSheets")
      .Get("Item", 1)
      .Get("Range", "A1:K11", Omitted())
      .Call("Characters")
      .Call("Font")
      .Put("Name", "Arial");
  EXPECT_EQ(server.Calls().size(), 6u);
  EXPECT_EQ(server.LiveObjects(), 1u);
  EXPECT_EQ(server.TotalReferences(), 1u);
}

}  // namespace
}  // namespace automation
