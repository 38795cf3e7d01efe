#include "app/form1.h"

#include <functional>

#include "app/adapters/clock_and_locale.h"
#include "app/adapters/export_ports.h"
#include "app/adapters/read_out_window_port.h"
#include "app/excluded_times.h"
#include "app/form1_layout.h"
#include "app/grid_labels.h"
#include "app/journal/journal_form.h"
#include "app/journal/journal_keeping.h"
#include "app/kit/backend.h"
#include "app/kit/button.h"
#include "app/kit/handler_guard.h"
#include "app/kit/label.h"
#include "app/kit/save_dialog.h"
#include "app/kit/static_text.h"
#include "app/kit/string_grid.h"
#include "app/lab_sheet/lab_sheet_output.h"
#include "app/no_access_notice.h"
#include "app/statistics/statistics_form.h"
#include "export/automation/spreadsheet_link.h"
#include "hid/hid_controller.h"
#include "hid/hid_device.h"
#include "hid/main_thread.h"
#include "stopwatch/hid_stopwatch_port.h"
#include "stopwatch/identity.h"
#include "stopwatch/journal/journal_entry.h"
#include "stopwatch/measurement_table.h"
#include "stopwatch/read_out.h"

TJvHidDevice* StopwatchDevice = nullptr;

namespace {

// Width of the header column, wide enough for " № измерения".
constexpr int kHeaderColumnWidth = 127;

}  // namespace

TForm1::TForm1() : TForm(nullptr) {
  // The stored layout creates the controls in this order: Label1, Label2,
  // Label39, Label40, Label3, Label4, StringGrid1, Button2, Button3, StaticText1.
  app::LoadLayout(*this, app::kForm1Layout);
  FindComponents();
  // The status line covers the grid's last row from column 5 on.
  StaticText1->BringToFront();
  // A copy of the table holds what the user sees, not the read's date and
  // time hidden in the last row.
  StringGrid1->HiddenCell = &stopwatch::IsHiddenCell;

  SaveDialog1 = new TSaveDialog(this);
  SaveDialog1->SetName("SaveDialog1");
  SaveDialog1->SetDefaultExt("xls");
  SaveDialog1->SetFilter("Таблица (*.xls)|*.xls");
  SaveDialog1->SetOverwritePrompt(false);
  PdfSaveDialog = app::MakePdfSaveDialog(this);

  WireEvents();
  // Nothing needs the controller before its first scan, which runs from the
  // event loop anyway: it is made there, once the window is up. Under Wine,
  // loading the system's HID libraries and making the controller's notify
  // window are a good part of the program's start.
  OnceShown([this] { CreateController(); });
  DoCreate();
}

void TForm1::OnceShown(std::function<void()> task) {
  // Posted now, it runs before anything the user does in the window: the
  // window takes no input before it shows, and the loop takes what was
  // posted first.
  if (hid::MainThreadDispatcher* loop = hid::CurrentMainThreadDispatcher()) {
    loop->Post([task = std::move(task), alive = std::weak_ptr<bool>(alive_)] {
      if (alive.lock()) task();
    });
  } else {
    task();
  }
}

void TForm1::CreateController() {
  // Loaded like the other components: its events are set while it is
  // loading, so that setting them starts no re-scan. Its construction posts
  // the notice whose handling runs the first scan.
  HidCtl = new TJvHidDeviceController(nullptr);
  HidCtl->SetName("HidCtl");
  HidCtl->BeginLoading();
  WireControllerEvents();
  HidCtl->Loaded();
}

TForm1::~TForm1() {
  // The stopwatches the window borrowed go back while the controller and its
  // services still exist, so that each device can release what it holds of
  // them; then the controller frees everything else.
  for (TJvHidDevice* device : forgottenStopwatches_) delete device;
  delete StopwatchDevice;
  StopwatchDevice = nullptr;
  delete HidCtl;
}

void TForm1::FindComponents() {
  StringGrid1 = app::FindControl<TStringGrid>(*this, "StringGrid1");
  Label1 = app::FindControl<TLabel>(*this, "Label1");
  Button2 = app::FindControl<TButton>(*this, "Button2");
  Button3 = app::FindControl<TButton>(*this, "Button3");
  Label2 = app::FindControl<TLabel>(*this, "Label2");
  Label39 = app::FindControl<TLabel>(*this, "Label39");
  StaticText1 = app::FindControl<TStaticText>(*this, "StaticText1");
  Label40 = app::FindControl<TLabel>(*this, "Label40");
  Label3 = app::FindControl<TLabel>(*this, "Label3");
  Label4 = app::FindControl<TLabel>(*this, "Label4");
}

void TForm1::WireEvents() {
  OnCreate = std::bind_front(&TForm1::FormCreate, this);
  OnCloseQuery = std::bind_front(&TForm1::FormCloseQuery, this);
  StringGrid1->OnDrawCell = std::bind_front(&TForm1::StringGrid1DrawCell, this);
  StringGrid1->AddMenuItem("Статистика…", std::bind_front(&TForm1::StringGrid1StatisticsClick, this));
  StringGrid1->AddMenuItem("Исключить из расчёта", std::bind_front(&TForm1::StringGrid1ExcludeClick, this));
  StringGrid1->AddMenuItem("Вернуть в расчёт", std::bind_front(&TForm1::StringGrid1RestoreClick, this));
  StringGrid1->AddMenuItem("Печать…", std::bind_front(&TForm1::StringGrid1PrintClick, this));
  StringGrid1->AddMenuItem("Сохранить в PDF…", std::bind_front(&TForm1::StringGrid1SavePdfClick, this));
  StringGrid1->AddMenuItem("Журнал…", std::bind_front(&TForm1::StringGrid1JournalClick, this));
  Button2->OnClick = std::bind_front(&TForm1::Button2Click, this);
  Button3->OnClick = std::bind_front(&TForm1::Button3Click, this);
}

void TForm1::WireControllerEvents() {
  HidCtl->OnArrival = TJvHidPlugEvent(this, &TForm1::HidCtlArrival);
  HidCtl->OnEnumerate = TJvHidEnumerateEvent(this, &TForm1::HidCtlEnumerate);
  HidCtl->OnRemoval = TJvHidPlugEvent(this, &TForm1::HidCtlRemoval);
}

void TForm1::FormCreate(TObject*) {
  app::LabelMeasurementGrid(*StringGrid1);
  StringGrid1->SetColWidth(0, kHeaderColumnWidth);
  // Last, and once the window shows: MS Excel takes a second or more to
  // start, a busy one up to ten more, and the window does not wait for it.
  OnceShown([this] { StartSpreadsheetApplication(); });
}

void TForm1::StartSpreadsheetApplication() {
  // A failing start goes to the standard error box, as a handler's error
  // does, and Label1 keeps its stored text.
  kit::RunHandler([this] {
    app::ShowSpreadsheetLabel(*Label1, automation::SpreadsheetStartupStep(automation::SpreadsheetLink()));
  });
  // The window answered nothing meanwhile: what the user clicked or typed
  // is dropped, as after any handler that held it.
  kit::DropQueuedInput();
}

bool TForm1::CheckExcelInstall() { return automation::CheckExcelInstall(); }

void TForm1::Button2Click(TObject*) {
  app::Form1ExportPorts ports(*this);
  measurement_export::ExportMeasurements(ports);
}

void TForm1::FormCloseQuery(TObject*, bool& CanClose) {
  CanClose = automation::SpreadsheetCloseQuery(automation::SpreadsheetLink());
}

void TForm1::HidCtlArrival(TJvHidDevice*) {
  // Any arrival while no stopwatch is held leads to a look at every device.
  if (StopwatchDevice == nullptr) HidCtl->EnumerateDevices();
}

bool TForm1::HidCtlEnumerate(TJvHidDevice* HidDev, const std::int32_t Idx) {
  // A stopwatch the user may not open is reported, not taken: every read
  // would fail. Another one further on may still be taken.
  if (app::IsStopwatchWithoutAccess(*HidDev)) {
    deniedStopwatch_ = HidDev;
    app::ShowNoAccess(*Label2, *StaticText1, HidDev->PnPInfo()->DevicePath);
    return true;
  }
  const HIDD_ATTRIBUTES& attributes = HidDev->Attributes();
  if (!stopwatch::IsStopwatch(HidDev->ProductString(), attributes.VendorID, attributes.ProductID)) return true;
  // The first stopwatch in list order wins; the enumeration ends here.
  HidCtl->CheckOutDevice(StopwatchDevice, Idx);
  deniedStopwatch_ = nullptr;
  app::ClearNoAccess(*Label2, *StaticText1);
  Label2->SetFontColor(clGreen);
  Label2->SetText("Секундомер подключен");
  return false;
}

void TForm1::HidCtlRemoval(TJvHidDevice* HidDev) {
  if (HidDev != nullptr && HidDev == deniedStopwatch_) {
    // The stopwatch without access went away; the controller frees it.
    deniedStopwatch_ = nullptr;
    app::ClearNoAccess(*Label2, *StaticText1);
    Label2->SetFontColor(clBlue);
    Label2->SetText("Секундомер отключен");
    return;
  }
  if (HidDev != StopwatchDevice) return;
  // Forgotten, not handed back: the controller keeps it listed as unplugged
  // until the window closes.
  forgottenStopwatches_.push_back(StopwatchDevice);
  StopwatchDevice = nullptr;
  Label2->SetFontColor(clBlue);
  Label2->SetText("Секундомер отключен");
}

void TForm1::Button3Click(TObject*) {
  stopwatch::HidStopwatchPort device(StopwatchDevice);
  app::Form1ReadOutWindowPort window(*StaticText1, *StringGrid1);
  app::ClockAndLocale clockAndLocale;
  const stopwatch::ReadOutResult result = stopwatch::ReadStopwatch(device, window, clockAndLocale);
  if (result.kind == stopwatch::ReadOutResult::Kind::Completed) {
    // The times set aside belonged to the table this read replaces.
    ExcludedTimes.Clear();
    // Kept before it is shown: once the status line says the data were
    // read, they are on the disk, whatever happens to the program then.
    const app::JournalNote note = app::KeepInJournal(result.read);
    tableEntry_.reset();
    if (note.kept)
      tableEntry_ = EntryOfTable{
          note.path,
          {result.read.readAt, result.read.separator, result.read.answers, result.read.cells, result.read.excluded}};
    stopwatch::ShowReadTable(result.read, window);
    app::ShowReadStatus(*StaticText1, result.read, note);
    if (Journal != nullptr) {
      Journal->Refresh();
      if (!note.kept) Journal->ShowKeepingProblem(app::JournalProblemHint(note));
    }
  } else if (result.kind != stopwatch::ReadOutResult::Kind::NoStopwatch) {
    // The status line now says why the pass stopped, nothing of the journal.
    app::ClearJournalProblem(*StaticText1);
  }
  if (Statistics != nullptr) Statistics->TableChanged();
}

void TForm1::StringGrid1DrawCell(TObject*, int ACol, int ARow, const TRect& Rect, TGridDrawState State) {
  TCanvas& canvas = StringGrid1->Canvas();
  const std::string& text = StringGrid1->Cell(ACol, ARow);
  if (stopwatch::IsHeaderCell(ACol, ARow)) {
    canvas.font.SetColor(clMaroon);
    canvas.font.SetSize(13);
    canvas.font.SetStyle(fsBold);
    canvas.brush.SetColor(clYellow);
    canvas.FillRect(Rect);
    canvas.TextAt(Rect.Left, Rect.Top, text);
  }
  if (stopwatch::IsHiddenCell(ACol, ARow)) {
    // Text on its own colour: the cell shows as window background.
    canvas.font.SetColor(clBtnFace);
    canvas.brush.SetColor(clBtnFace);
    canvas.FillRect(Rect);
    canvas.TextAt(Rect.Left, Rect.Top, text);
  }
  if (!stopwatch::IsHeaderCell(ACol, ARow) && !stopwatch::IsHiddenCell(ACol, ARow) &&
      ExcludedTimes.Contains(stopwatch::SlotAt(ACol, ARow)))
    app::DrawExcludedCell(canvas, Rect, text, State);
}

void TForm1::StringGrid1StatisticsClick(TObject*) {
  if (Statistics == nullptr) Statistics = new TStatisticsForm(this, ExcludedTimes, *PdfSaveDialog);
  Statistics->ShowFor(*StringGrid1);
}

void TForm1::StringGrid1JournalClick(TObject*) {
  if (Journal == nullptr) {
    Journal = new TJournalForm(this);
    Journal->OnOpenEntry = std::bind_front(&TForm1::JournalOpenEntry, this);
  }
  Journal->ShowJournal();
}

void TForm1::JournalOpenEntry(const std::string& path, const stopwatch::journal::Entry& entry) {
  app::ClockAndLocale clockAndLocale;
  const stopwatch::FinishedRead read = stopwatch::journal::ReadOfEntry(entry, clockAndLocale);
  app::Form1ReadOutWindowPort window(*StaticText1, *StringGrid1);
  // The times set aside on this table come back with it.
  ExcludedTimes = read.excluded;
  tableEntry_ = EntryOfTable{path, entry};
  stopwatch::ShowReadTable(read, window);
  app::ShowJournalReadStatus(*StaticText1, read);
  if (Statistics != nullptr) Statistics->TableChanged();
}

void TForm1::StringGrid1ExcludeClick(TObject*) {
  const stopwatch::ExcludedSlots before = ExcludedTimes;
  app::ExcludeSelectedTimes(*StringGrid1, app::ClockAndLocale().DecimalSeparator(), ExcludedTimes);
  if (ExcludedTimes != before) ExclusionsChanged();
}

void TForm1::StringGrid1RestoreClick(TObject*) {
  const stopwatch::ExcludedSlots before = ExcludedTimes;
  app::RestoreSelectedTimes(*StringGrid1, ExcludedTimes);
  if (ExcludedTimes != before) ExclusionsChanged();
}

void TForm1::ExclusionsChanged() {
  if (tableEntry_) {
    // The window keeps them whatever becomes of the entry; the status line
    // says when the entry did not take them.
    const app::JournalNote note = app::KeepExclusions(tableEntry_->path, tableEntry_->entry, ExcludedTimes);
    app::ShowExclusionsNote(*StaticText1, note);
    if (Journal != nullptr) {
      Journal->Refresh();
      if (!note.kept) Journal->ShowKeepingProblem(app::ExclusionsProblemHint(note));
    }
  }
  StringGrid1->Invalidate();
  if (Statistics != nullptr) Statistics->TableChanged();
}

void TForm1::StringGrid1PrintClick(TObject*) {
  const std::string separator = app::ClockAndLocale().DecimalSeparator();
  app::PrintLabSheet(app::MakeLabSheet(*StringGrid1, ExcludedTimes, app::StatisticsBlock(*StringGrid1), separator));
}

void TForm1::StringGrid1SavePdfClick(TObject*) {
  const std::string separator = app::ClockAndLocale().DecimalSeparator();
  app::SaveLabSheetAsPdf(app::MakeLabSheet(*StringGrid1, ExcludedTimes, app::StatisticsBlock(*StringGrid1), separator),
                         *PdfSaveDialog);
}
