// The contracts of the COM functions the layer relies on: string layout,
// variant copies and clears, apartment counting and class creation.
#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "export/automation/class_registry.h"
#include "export/automation/com_types.h"
#include "export/automation/text_convert.h"
#include "tests/support/fake_automation.h"

namespace automation {
namespace {

using testing::FakeAutomationServer;

TEST(ComStrings, ABstrCarriesItsByteLengthInFrontAndAZeroBehind) {
  OLECHAR const text[] = {OLECHAR('a'), 0, OLECHAR('b')};
  BSTR const s = SysAllocStringLen(text, 3);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(SysStringLen(s), 3u);
  std::uint32_t prefix;
  std::memcpy(&prefix, reinterpret_cast<const char*>(s) - sizeof prefix, sizeof prefix);
  EXPECT_EQ(prefix, 3 * sizeof(OLECHAR));
  EXPECT_EQ(s[1], 0);
  EXPECT_EQ(s[3], 0);
  EXPECT_EQ(FromBstr(s), std::string("a\0b", 3));
  SysFreeString(s);

  EXPECT_EQ(SysStringLen(nullptr), 0u);
  SysFreeString(nullptr);
}

TEST(ComStrings, TextsConvertBothWaysAndMalformedBytesAreReplacedNotDropped) {
  std::string const mixed = "Секундомер \xF0\x9F\x95\x90 ok";
  OleString const wide = ToOleString(mixed);
  EXPECT_EQ(wide.size(), 16u);  // ten letters, space, a surrogate pair, space, "ok"
  EXPECT_EQ(FromOleString(wide.data(), wide.size()), mixed);

  OleString const broken = ToOleString("a\xD0z\xFF");
  ASSERT_EQ(broken.size(), 4u);
  EXPECT_EQ(broken[1], OLECHAR(0xFFFD));
  EXPECT_EQ(broken[3], OLECHAR(0xFFFD));

  OLECHAR const lone[] = {OLECHAR(0xD800), OLECHAR('x')};
  EXPECT_EQ(FromOleString(lone, 2), "\xEF\xBF\xBDx");
}

TEST(ComVariants, CopyAddsAReferenceAndClearGivesItBack) {
  testing::ScopedComInitialization com;
  FakeAutomationServer server;
  OleVariant const app = server.NewInstance();

  VARIANT copy;
  VariantInit(&copy);
  ASSERT_EQ(VariantCopy(&copy, const_cast<VARIANT*>(&app.Raw())), S_OK);
  EXPECT_EQ(copy.vt, VT_DISPATCH);
  EXPECT_EQ(server.TotalReferences(), 2u);
  EXPECT_EQ(VariantClear(&copy), S_OK);
  EXPECT_EQ(copy.vt, VT_EMPTY);
  EXPECT_EQ(server.TotalReferences(), 1u);

  // A reference is copied as a reference: no new count on what it points at.
  VARIANT byRef;
  VariantInit(&byRef);
  byRef.vt = VT_BYREF | VT_VARIANT;
  byRef.pvarVal = const_cast<VARIANT*>(&app.Raw());
  ASSERT_EQ(VariantCopy(&copy, &byRef), S_OK);
  EXPECT_EQ(copy.pvarVal, &app.Raw());
  VariantClear(&copy);
  EXPECT_EQ(server.TotalReferences(), 1u);
}

TEST(ComApartment, InitialisationIsCountedPerThreadAndCreationNeedsIt) {
  FakeAutomationServer server;
  server.Register("Lumetra.Test.Apartment");
  std::thread([&] {
    IDispatch* object = nullptr;
    EXPECT_EQ(
        CreateInstance(server.Clsid(), nullptr, CLSCTX_INPROC_SERVER, kDispatchIid, reinterpret_cast<void**>(&object)),
        CO_E_NOTINITIALIZED);
    EXPECT_EQ(object, nullptr);

    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    EXPECT_EQ(
        CreateInstance(server.Clsid(), nullptr, CLSCTX_INPROC_SERVER, kDispatchIid, reinterpret_cast<void**>(&object)),
        S_OK);
    ASSERT_NE(object, nullptr);
    object->Release();
    CoUninitialize();
  }).join();
  EXPECT_EQ(server.LiveObjects(), 0u);
}

TEST(ComClasses, ProgrammaticIdentifiersLeadToTheirClassesOnlyWhileRegistered) {
  testing::ScopedComInitialization com;
  CLSID clsid{};
  {
    FakeAutomationServer server;
    server.Register("Lumetra.Test.Registry");
    ASSERT_EQ(LookupClass(ToOleString("lumetra.test.REGISTRY").c_str(), &clsid), S_OK);
    EXPECT_TRUE(SameGuid(clsid, server.Clsid()));

    int outerAlive = 0;
    IUnknown* outer = testing::NewPlainUnknown(&outerAlive);
    void* object = nullptr;
    EXPECT_EQ(CreateInstance(clsid, outer, CLSCTX_INPROC_SERVER, kDispatchIid, &object), CLASS_E_NOAGGREGATION);
    outer->Release();
    EXPECT_EQ(outerAlive, 0);

    server.FailCreation(CO_E_SERVER_EXEC_FAILURE);
    EXPECT_EQ(CreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, kDispatchIid, &object), CO_E_SERVER_EXEC_FAILURE);
    server.CreateWithoutDispatch();
    EXPECT_EQ(CreateInstance(clsid, nullptr, CLSCTX_LOCAL_SERVER, kDispatchIid, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
  }
  EXPECT_EQ(LookupClass(ToOleString("Lumetra.Test.Registry").c_str(), &clsid), CO_E_CLASSSTRING);
  void* object = nullptr;
  EXPECT_EQ(CreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, kDispatchIid, &object), REGDB_E_CLASSNOTREG);
}

}  // namespace
}  // namespace automation
