// A whole export of a full read (84 measurements, the read date and time)
// through the built-in spreadsheet application, from starting the instance
// to saving the .xls and quitting. Goals: at most 160 member-call chains
// started from the link, at most 10 ms.
//
// Counters per export: "chains" (calls made on the application object held
// by the link: each chain starts with one) and "invokes" (every
// IDispatch::Invoke of every chain). They are counted by a thin proxy that
// the benchmark registers in place of the application and that wraps every
// object handed out.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <string>

#include "export/automation/class_registry.h"
#include "export/automation/spreadsheet_link.h"
#include "export/measurement_export.h"
#include "export/sheetapp/builtin_spreadsheet.h"
#include "tests/support/fake_export_ports.h"

namespace {

namespace me = measurement_export;

struct CallCounts {
  long chains = 0;
  long invokes = 0;
};
CallCounts gCounts;

class CountingProxy final : public IDispatch {
 public:
  // Takes over the caller's reference to `inner`.
  CountingProxy(IDispatch* inner, bool link) : inner_(inner), link_(link) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override {
    return automation::QueryOwnInterface(static_cast<IDispatch*>(this), riid, object);
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
  ULONG STDMETHODCALLTYPE Release() override {
    ULONG const left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return inner_->GetTypeInfoCount(count); }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID lcid, ITypeInfo** info) override {
    return inner_->GetTypeInfo(index, lcid, info);
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
    return inner_->GetIDsOfNames(riid, names, count, lcid, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT* argError) override {
    ++gCounts.invokes;
    if (link_) ++gCounts.chains;
    HRESULT const status = inner_->Invoke(id, riid, lcid, flags, params, result, info, argError);
    if (SUCCEEDED(status) && result != nullptr && result->vt == VT_DISPATCH && result->pdispVal != nullptr) {
      result->pdispVal = new CountingProxy(result->pdispVal, false);
    }
    return status;
  }

 private:
  ~CountingProxy() { inner_->Release(); }

  IDispatch* inner_;
  bool link_;
  std::atomic<ULONG> refs_{1};
};

HRESULT CreateCountedApplication(IUnknown** object) {
  IUnknown* application = nullptr;
  HRESULT const created = sheetapp::CreateBuiltInSpreadsheet(&application);
  if (FAILED(created)) return created;
  IDispatch* dispatch = nullptr;
  application->QueryInterface(automation::kDispatchIid, reinterpret_cast<void**>(&dispatch));
  application->Release();
  *object = new CountingProxy(dispatch, true);
  return S_OK;
}

struct ComForBenchmark {
  ComForBenchmark() { CoInitialize(nullptr); }
  ~ComForBenchmark() { CoUninitialize(); }
};

void RunExports(benchmark::State& state, const std::string& extension, bool save) {
  ComForBenchmark com;
  automation::RegisterAutomationClass(automation::kSpreadsheetProgId, sheetapp::kBuiltInSpreadsheetClsid,
                                      &CreateCountedApplication);
  me::testing::FakeExportPorts ports(me::testing::FullGrid());
  ports.dialogConfirmed = save;
  ports.fileName =
      (std::filesystem::temp_directory_path() / ("lumetra-export-bench-" + std::to_string(::getpid()) + extension))
          .string();
  ports.fileExists = [](const std::string&) { return false; };
  gCounts = {};
  for (auto _ : state) me::ExportMeasurements(ports);
  ports.link.Clear();
  std::filesystem::remove(ports.fileName);
  automation::UnregisterAutomationClass(automation::kSpreadsheetProgId);
  state.counters["chains"] =
      benchmark::Counter(static_cast<double>(gCounts.chains), benchmark::Counter::kAvgIterations);
  state.counters["invokes"] =
      benchmark::Counter(static_cast<double>(gCounts.invokes), benchmark::Counter::kAvgIterations);
}

void ExportFullReadToXls(benchmark::State& state) { RunExports(state, ".xls", true); }
BENCHMARK(ExportFullReadToXls)->Unit(benchmark::kMillisecond);

void ExportFullReadToXlsx(benchmark::State& state) { RunExports(state, ".xlsx", true); }
BENCHMARK(ExportFullReadToXlsx)->Unit(benchmark::kMillisecond);

// The sheet built and the instance quit, with the dialog cancelled: the
// automation calls without the file.
void ExportFullReadWithoutSaving(benchmark::State& state) { RunExports(state, ".xls", false); }
BENCHMARK(ExportFullReadWithoutSaving)->Unit(benchmark::kMillisecond);

}  // namespace
