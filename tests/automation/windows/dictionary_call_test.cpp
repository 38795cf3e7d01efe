// The late-bound call against a real automation server of the system:
// "Scripting.Dictionary", which Wine (like Windows) ships and registers. It
// is started by programmatic identifier and driven by name through its
// IDispatch, exactly as the spreadsheet application is, so the system's COM
// checks the DISPPARAMS, flags and named arguments the layer builds.
#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "export/automation/class_registry.h"
#include "export/automation/com_session.h"
#include "export/automation/exceptions.h"
#include "export/automation/ole_object.h"
#include "export/automation/ole_variant.h"
#include "export/automation/spreadsheet_link.h"
#include "export/automation/system_error_text.h"
#include "export/automation/text_convert.h"

namespace automation {
namespace {

constexpr char kDictionary[] = "Scripting.Dictionary";
// The dictionary's own failure for a key it holds already
// (CTL_E_KEY_ALREADY_EXISTS).
constexpr HRESULT kKeyAlreadyExists = static_cast<HRESULT>(0x800A01C9u);

// The object's reference count, read by taking and giving back one.
ULONG References(const OleVariant& holder) {
  IDispatch* object = holder.Dispatch();
  object->AddRef();
  return object->Release();
}

class WindowsAutomation : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(session_.Initialized()); }

  OleVariant link_;
  ComSession session_{link_};
};

TEST_F(WindowsAutomation, TheDictionaryIsStartedByItsIdentifierAndHeldOnce) {
  const OleVariant dictionary = CreateOleObject(kDictionary);
  ASSERT_EQ(dictionary.Type(), VT_DISPATCH);
  EXPECT_EQ(References(dictionary), 1u);
  CLSID clsid{};
  EXPECT_EQ(LookupClass(ToOleString(kDictionary).c_str(), &clsid), S_OK);
  EXPECT_EQ(LookupClass(ToOleString("Lumetra.No.Such.Class").c_str(), &clsid), CO_E_CLASSSTRING);
  try {
    (void)CreateOleObject("Lumetra.No.Such.Class");
    FAIL() << "created a class nobody registered";
  } catch (const EOleSysError& error) {
    EXPECT_EQ(error.ErrorCode(), CO_E_CLASSSTRING);
  }
}

// A class of the system wins over the process's own registrations of the
// same name, so a spreadsheet application installed while the program runs
// takes over from the built-in one; a name only the process knows still
// finds its fallback.
TEST_F(WindowsAutomation, TheSystemsClassAnswersBeforeTheProcesssOwn) {
  CLSID system{};
  ASSERT_EQ(LookupClass(ToOleString(kDictionary).c_str(), &system), S_OK);
  const CLSID own{0x4C554D99, 0x7E57, 0x4A11, {0x80, 0, 0, 0, 0, 0, 0, 0x02}};
  int made = 0;
  const ClassFactory factory = [&made](IUnknown**) -> HRESULT {
    ++made;
    return E_FAIL;
  };
  for (ClassRank rank : {ClassRank::Ordinary, ClassRank::Fallback}) {
    ASSERT_EQ(RegisterAutomationClass(kDictionary, own, factory, rank), S_OK);
  }
  ASSERT_EQ(RegisterAutomationClass("Lumetra.Test.OnlyHere", own, factory, ClassRank::Fallback), S_OK);

  CLSID found{};
  EXPECT_EQ(LookupClass(ToOleString(kDictionary).c_str(), &found), S_OK);
  EXPECT_TRUE(SameGuid(found, system));
  CreateOleObject(kDictionary).Exec("Add", "key", 1);
  EXPECT_EQ(made, 0);
  EXPECT_EQ(LookupClass(ToOleString("Lumetra.Test.OnlyHere").c_str(), &found), S_OK);
  EXPECT_TRUE(SameGuid(found, own));
  EXPECT_TRUE(IsFallbackClass(found));

  for (ClassRank rank : {ClassRank::Ordinary, ClassRank::Fallback}) UnregisterAutomationClass(kDictionary, rank);
  UnregisterAutomationClass("Lumetra.Test.OnlyHere", ClassRank::Fallback);
}

TEST_F(WindowsAutomation, MethodsPropertiesAndArgumentTypesReachTheServer) {
  const OleVariant dictionary = CreateOleObject(kDictionary);
  // A method whose result is used.
  EXPECT_FALSE(dictionary.Call("Exists", "alpha").ToBool());
  // A property read, and the same member as a method without arguments
  // whose result is used (invoked as method-or-property-get).
  EXPECT_EQ(dictionary.Get("Count").Raw().lVal, 0);
  EXPECT_EQ(dictionary.Call("Count").Raw().lVal, 0);

  // A method without result, with text keys and 32-bit integer and double values.
  dictionary.Exec("Add", "alpha", 17);
  dictionary.Exec("Add", "beta", 2.5);
  EXPECT_TRUE(dictionary.Call("Exists", "alpha").ToBool());
  const OleVariant count = dictionary.Get("Count");
  EXPECT_EQ(count.Type(), VT_I4);
  EXPECT_EQ(count.Raw().lVal, 2);

  const OleVariant alpha = dictionary.Get("Item", "alpha");
  ASSERT_EQ(alpha.Type(), VT_I4);
  EXPECT_EQ(alpha.Raw().lVal, 17);
  const OleVariant beta = dictionary.Get("Item", "beta");
  ASSERT_EQ(beta.Type(), VT_R8);
  EXPECT_EQ(beta.Raw().dblVal, 2.5);

  // A property write: the key stays positional, the value goes as the
  // named property-put argument.
  dictionary.Put("Item", "alpha", "Секундомер");
  const OleVariant written = dictionary.Get("Item", "alpha");
  ASSERT_EQ(written.Type(), VT_BSTR);
  EXPECT_EQ(FromBstr(written.Raw().bstrVal), "Секундомер");
  dictionary.Put("Item", "gamma", -4);  // a new key by writing
  EXPECT_EQ(dictionary.Get("Count").Raw().lVal, 3);

  // Every temporary of the calls above is gone: the one reference left is ours.
  EXPECT_EQ(References(dictionary), 1u);
}

TEST_F(WindowsAutomation, AnUnknownMemberIsAnOleErrorNamingIt) {
  const OleVariant dictionary = CreateOleObject(kDictionary);
  try {
    dictionary.Exec("NoSuchMember");
    FAIL() << "the call succeeded";
  } catch (const EOleError& error) {
    EXPECT_EQ(dynamic_cast<const EOleSysError*>(&error), nullptr) << "no result code of its own";
    EXPECT_EQ(error.Message(), "Method 'NoSuchMember' not supported by automation object");
  }
  EXPECT_EQ(References(dictionary), 1u);
}

TEST_F(WindowsAutomation, AFailingCallRaisesTheServersCodeWithTheSystemTextOrTheFallback) {
  const OleVariant dictionary = CreateOleObject(kDictionary);
  dictionary.Exec("Add", "alpha", 1);
  try {
    dictionary.Exec("Add", "alpha", 2);
    FAIL() << "a key was added twice";
  } catch (const EOleException& error) {
    EXPECT_EQ(error.ErrorCode(), kKeyAlreadyExists);
    // Wine's dictionary fills in no description: the message is then the
    // system's text for the code, or the fallback when it has none.
    const std::string system = SystemErrorText(kKeyAlreadyExists);
    EXPECT_EQ(error.Message(), system.empty() ? "OLE error 800A01C9" : system);
  } catch (const EOleSysError& error) {
    ADD_FAILURE() << "not an exception record: " << error.Message();
  }
  EXPECT_EQ(dictionary.Get("Item", "alpha").Raw().lVal, 1);
  EXPECT_EQ(References(dictionary), 1u);
}

TEST_F(WindowsAutomation, TheSpreadsheetApplicationIsNotInstalledUnderWine) {
  EXPECT_FALSE(CheckExcelInstall());
  EXPECT_EQ(SpreadsheetStartupStep(link_), SpreadsheetMissingLabel());
  EXPECT_TRUE(link_.IsEmpty());
  EXPECT_TRUE(SpreadsheetCloseQuery(link_));
}

TEST_F(WindowsAutomation, ClosingDropsTheFailureOfACallTheServerRefuses) {
  link_ = CreateOleObject(kDictionary);
  EXPECT_TRUE(SpreadsheetCloseQuery(link_));
  EXPECT_EQ(References(link_), 1u);
}

// Whether the calling thread has COM initialised, in any apartment.
bool ComInitialised() {
  APTTYPE type{};
  APTTYPEQUALIFIER qualifier{};
  return SUCCEEDED(::CoGetApartmentType(&type, &qualifier));
}

TEST(WindowsComSession, InitialisationAndUninitialisationArePaired) {
  std::thread([] {
    OleVariant link;
    {
      ComSession session(link);
      EXPECT_EQ(session.InitResult(), S_OK);
      EXPECT_TRUE(ComInitialised());
      link = CreateOleObject(kDictionary);
    }
    EXPECT_TRUE(link.IsEmpty()) << "released before COM went";
    EXPECT_FALSE(ComInitialised());
    try {
      (void)CreateOleObject(kDictionary);
      FAIL() << "created without COM";
    } catch (const EOleSysError& error) {
      EXPECT_EQ(error.ErrorCode(), CO_E_NOTINITIALIZED);
    }
  }).join();
}

TEST(WindowsComSession, AThreadInitialisedBeforeStaysInitialised) {
  std::thread([] {
    ASSERT_EQ(::CoInitialize(nullptr), S_OK);
    OleVariant link;
    {
      ComSession session(link);
      EXPECT_EQ(session.InitResult(), S_FALSE);
    }
    EXPECT_TRUE(ComInitialised());
    ::CoUninitialize();
    EXPECT_FALSE(ComInitialised());
  }).join();
}

TEST(WindowsComSession, AMultithreadedThreadIsNotUninitialisedByASessionThatFailed) {
  std::thread([] {
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    OleVariant link;
    {
      ComSession session(link);
      EXPECT_EQ(session.InitResult(), RPC_E_CHANGED_MODE);
      EXPECT_FALSE(session.Initialized());
    }
    EXPECT_TRUE(ComInitialised()) << "the thread's own initialisation is intact";
    ::CoUninitialize();
  }).join();
}

}  // namespace
}  // namespace automation
