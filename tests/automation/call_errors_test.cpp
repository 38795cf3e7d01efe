// How a late-bound call fails: which error class, which message, and that
// a failing chain leaves nothing behind.
#include <gtest/gtest.h>

#include "export/automation/dispatch_call.h"
#include "export/automation/exceptions.h"
#include "export/automation/ole_variant.h"
#include "tests/support/fake_automation.h"

namespace automation {
namespace {

using testing::FakeAutomationServer;

class CallErrorsTest : public ::testing::Test {
 protected:
  testing::ScopedComInitialization com;
  FakeAutomationServer server;
  OleVariant app = server.NewInstance();
};

// The error a call raised, kept alive with its dynamic type.
template <class E>
struct Caught {
  std::exception_ptr holder;
  const E* error = nullptr;
  const E* operator->() const { return error; }
};

// Runs `call` and answers the error of class E it raised; anything else
// fails the test.
template <class E, class F>
Caught<E> Raised(F&& call) {
  Caught<E> caught;
  try {
    call();
  } catch (const E& error) {
    caught.holder = std::current_exception();
    caught.error = &error;
    return caught;
  } catch (const std::exception& other) {
    ADD_FAILURE() << "raised another error: " << other.what();
    throw;
  }
  ADD_FAILURE() << "raised nothing";
  throw std::logic_error("no error");
}

TEST_F(CallErrorsTest, AnEmptyTargetIsAnInvalidVariantOperation) {
  OleVariant const empty;
  auto const error = Raised<EVariantInvalidOpError>([&] { (void)empty.Call("Exists"); });
  EXPECT_EQ(error->Message(), "Invalid variant operation");

  VARIANT number;
  VariantInit(&number);
  number.vt = VT_I4;
  EXPECT_THROW(InvokeMember(number, "Quit", CallKind::Method, {}, nullptr), EVariantInvalidOpError);
}

TEST_F(CallErrorsTest, ATargetWithoutAutomationIsAnOleError) {
  int live = 0;
  VARIANT unknown;
  VariantInit(&unknown);
  unknown.vt = VT_UNKNOWN;
  unknown.punkVal = testing::NewPlainUnknown(&live);
  auto const error = Raised<EOleError>([&] { InvokeMember(unknown, "Quit", CallKind::Method, {}, nullptr); });
  EXPECT_EQ(error->Message(), "Variant does not reference an automation object");
  VariantClear(&unknown);
  EXPECT_EQ(live, 0);

  // A null object is refused the same way instead of being called through.
  VARIANT null;
  VariantInit(&null);
  null.vt = VT_DISPATCH;
  EXPECT_THROW(InvokeMember(null, "Quit", CallKind::Method, {}, nullptr), EOleError);
}

TEST_F(CallErrorsTest, MoreThanSixtyFourArgumentsAreRefusedBeforeAnythingIsSent) {
  std::vector<Arg> args(kMaxCallArguments + 1, Arg(1));
  auto const error = Raised<EOleError>([&] { InvokeMember(app.Raw(), "Many", CallKind::Method, args, nullptr); });
  EXPECT_EQ(error->Message(), "Dispatch methods do not support more than 64 parameters");
  EXPECT_TRUE(server.Lookups().empty());
  EXPECT_TRUE(server.Calls().empty());
}

TEST_F(CallErrorsTest, AnUnknownMemberNamesItself) {
  server.Forget("Exists");
  auto const error = Raised<EOleError>([&] { (void)app.Call("Exists"); });
  EXPECT_EQ(error->Message(), "Method 'Exists' not supported by automation object");
  EXPECT_EQ(dynamic_cast<const EOleSysError*>(error.error), nullptr);
  EXPECT_TRUE(server.Calls().empty());
}

TEST_F(CallErrorsTest, OtherLookupFailuresCarryTheirCode) {
  server.FailLookup("Range", E_OUTOFMEMORY);
  auto const error = Raised<EOleSysError>([&] { (void)app.Get("Range", "A1", Omitted()); });
  EXPECT_EQ(error->ErrorCode(), E_OUTOFMEMORY);
  EXPECT_EQ(error->Message(),
            testing::ExpectedSystemText(E_OUTOFMEMORY, "Not enough storage is available to complete this operation"));
}

TEST_F(CallErrorsTest, TheServersExceptionRecordBecomesAnOleExceptionWithATrimmedDescription) {
  server.Raise("Value", "Bad value.  \r\n", static_cast<SCODE>(0x800A03ECu), "Spreadsheet", "help.chm", 42);
  auto const error = Raised<EOleException>([&] { app.Put("Value", 1); });
  EXPECT_EQ(error->Message(), "Bad value");
  EXPECT_EQ(error->ErrorCode(), static_cast<HRESULT>(0x800A03ECu));
  EXPECT_EQ(error->Source(), "Spreadsheet");
  EXPECT_EQ(error->HelpFile(), "help.chm");
  EXPECT_EQ(error->HelpContext(), 42u);
}

TEST_F(CallErrorsTest, ARecordFilledInLaterIsFilledBeforeTheErrorIsBuilt) {
  server.Raise("SaveAs", "Cannot write the file...", E_ACCESSDENIED, "Spreadsheet", {}, 0, /*deferred=*/true);
  auto const error = Raised<EOleException>([&] { app.Exec("SaveAs", "/nowhere/book.xls"); });
  EXPECT_EQ(error->Message(), "Cannot write the file");
  EXPECT_EQ(error->ErrorCode(), E_ACCESSDENIED);
}

TEST_F(CallErrorsTest, ARecordWithoutDescriptionTakesTheTextOfItsCode) {
  server.Raise("Add", "", DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Raised<EOleException>([&] { app.Exec("Add"); })->Message(),
            testing::ExpectedSystemText(DISP_E_TYPEMISMATCH, "Type mismatch"));

  // Only blanks and full stops is no description either.
  server.Raise("Add", " . \t", static_cast<SCODE>(0x800A03ECu));
  EXPECT_EQ(Raised<EOleException>([&] { app.Exec("Add"); })->Message(), "OLE error 800A03EC");

  // A record with no COM code of its own keeps the call's code.
  server.Raise("Add", "", 0);
  auto const error = Raised<EOleException>([&] { app.Exec("Add"); });
  EXPECT_EQ(error->ErrorCode(), DISP_E_EXCEPTION);
  EXPECT_EQ(error->Message(), testing::ExpectedSystemText(DISP_E_EXCEPTION, "Exception occurred"));
}

TEST_F(CallErrorsTest, OtherInvokeFailuresAreSystemErrorsWithTheSystemsTextOrTheCode) {
  server.Fail("Quit", DISP_E_MEMBERNOTFOUND);
  auto const known = Raised<EOleSysError>([&] { app.Exec("Quit"); });
  EXPECT_EQ(known->ErrorCode(), DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(known->Message(), testing::ExpectedSystemText(DISP_E_MEMBERNOTFOUND, "Member not found"));
  EXPECT_EQ(dynamic_cast<const EOleException*>(known.error), nullptr);

  server.Fail("Quit", static_cast<HRESULT>(0x8004ABCDu));
  EXPECT_EQ(Raised<EOleSysError>([&] { app.Exec("Quit"); })->Message(), "OLE error 8004ABCD");
}

TEST_F(CallErrorsTest, ErrorsOfOwnMessageKeepIt) {
  EOleSysError const own("Could not start", E_FAIL);
  EXPECT_EQ(own.Message(), "Could not start");
  EXPECT_EQ(TrimPunctuation("Done... \n\x01"), "Done");
  EXPECT_EQ(TrimPunctuation("v1.5 ok"), "v1.5 ok");
  EXPECT_EQ(TrimPunctuation("Файл не найден."), "Файл не найден");
}

TEST_F(CallErrorsTest, AFailingChainReleasesEverythingItObtained) {
  ULONG const referencesBefore = server.TotalReferences();
  server.Raise("LineStyle", "Unable to set the LineStyle property.", E_FAIL);

  EXPECT_THROW(
      app.Call("WorkSheets").Get("Item", 1).Get("Range", "A1:K11", Omitted()).Call("Borders").Put("LineStyle", 1),
      EOleException);

  EXPECT_EQ(server.Calls().size(), 5u);
  EXPECT_EQ(server.LiveObjects(), 1u);
  EXPECT_EQ(server.TotalReferences(), referencesBefore);
}

TEST_F(CallErrorsTest, AFailingStatementInTheMiddleOfAHandlerReleasesItsSheetOnUnwinding) {
  server.Fail("Merge", RPC_E_DISCONNECTED);
  auto handler = [&] {
    OleVariant const sheet = app.Call("WorkSheets").Get("Item", 1);
    sheet.Get("Range", "A1:K1", Omitted()).Exec("Merge", false);
    sheet.Put("Cells", 1, 1, "never sent");
  };
  EXPECT_THROW(handler(), EOleSysError);
  EXPECT_EQ(server.Calls().back().member, "Merge");
  EXPECT_EQ(server.LiveObjects(), 1u);
  EXPECT_EQ(server.TotalReferences(), 1u);
}

}  // namespace
}  // namespace automation
