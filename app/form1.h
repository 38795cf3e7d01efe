// The main window: the measurement grid, the read and save buttons, the
// state labels, the status line, the save dialog and the HID controller.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/kit/form.h"
#include "app/kit/grid_types.h"
#include "stopwatch/excluded_slots.h"
#include "stopwatch/journal/journal_entry.h"

class TButton;
class TJournalForm;
class TLabel;
class TSaveDialog;
class TStaticText;
class TStatisticsForm;
class TStringGrid;
class TJvHidDeviceController;
class TJvHidDevice;

// The checked-out stopwatch, borrowed from HidCtl: set only by HidCtlEnumerate,
// emptied only by HidCtlRemoval, read by Button3Click. Never freed here.
extern TJvHidDevice* StopwatchDevice;

class TForm1 : public TForm {
 public:
  // Builds the window from its stored layout, wires the handlers and, when
  // construction is complete, runs FormCreate. HidCtl and the spreadsheet
  // application's instance come once the event loop runs (at once where
  // there is no loop yet).
  TForm1();
  // Destroys the controller, which lets go of the devices and the services.
  ~TForm1() override;

  // Components, owned by the window.
  TStringGrid* StringGrid1 = nullptr;
  TLabel* Label1 = nullptr;    // spreadsheet application state
  TButton* Button2 = nullptr;  // save the table
  TSaveDialog* SaveDialog1 = nullptr;
  TJvHidDeviceController* HidCtl = nullptr;
  TButton* Button3 = nullptr;          // read the stopwatch
  TLabel* Label2 = nullptr;            // stopwatch state
  TLabel* Label39 = nullptr;           // table title
  TStaticText* StaticText1 = nullptr;  // status line
  TLabel* Label40 = nullptr;           // unit of the values
  TLabel* Label3 = nullptr;            // credit line
  TLabel* Label4 = nullptr;            // version
  // The statistics window, made the first time the grid's menu asks for it.
  TStatisticsForm* Statistics = nullptr;
  // The journal window, made the first time the grid's menu asks for it.
  TJournalForm* Journal = nullptr;
  // Where "Сохранить в PDF…" saves the lab sheet, here and in the statistics window.
  TSaveDialog* PdfSaveDialog = nullptr;
  // The times of the table set aside from the figures; a new read has none,
  // a read put back from the journal those its entry keeps.
  stopwatch::ExcludedSlots ExcludedTimes;

  // Handlers.
  void FormCreate(TObject* Sender);
  bool CheckExcelInstall();
  void Button2Click(TObject* Sender);
  void FormCloseQuery(TObject* Sender, bool& CanClose);
  void HidCtlArrival(TJvHidDevice* HidDev);
  bool HidCtlEnumerate(TJvHidDevice* HidDev, const std::int32_t Idx);
  void HidCtlRemoval(TJvHidDevice* HidDev);
  void Button3Click(TObject* Sender);
  void StringGrid1DrawCell(TObject* Sender, int ACol, int ARow, const TRect& Rect, TGridDrawState State);
  void StringGrid1StatisticsClick(TObject* Sender);
  void StringGrid1ExcludeClick(TObject* Sender);
  void StringGrid1RestoreClick(TObject* Sender);
  void StringGrid1PrintClick(TObject* Sender);
  void StringGrid1SavePdfClick(TObject* Sender);
  void StringGrid1JournalClick(TObject* Sender);
  // "Открыть" in the journal window: the read of the file `path` goes back
  // into the table, with the times its entry keeps set aside.
  void JournalOpenEntry(const std::string& path, const stopwatch::journal::Entry& entry);

 private:
  // The components of the stored layout, found by name.
  void FindComponents();
  // Every handler meets its event here, and only here: the window's, and
  // the controller's.
  void WireEvents();
  void WireControllerEvents();
  // Makes HidCtl, loaded like the other components.
  void CreateController();
  // Runs `task` from the event loop once the window shows, before any input
  // reaches it; at once where there is no loop yet.
  void OnceShown(std::function<void()> task);
  // The spreadsheet application's start-up step (FormCreate's last), and
  // Label1 with its outcome.
  void StartSpreadsheetApplication();
  // The exclusions changed: the table's entry keeps them, and the grid and
  // the statistics show them.
  void ExclusionsChanged();

  // The journal's entry of the table shown, which keeps its exclusions: the
  // one its read was written as, or the one put back with "Открыть". None
  // when the journal could not keep the read: the exclusions are then the
  // window's alone.
  struct EntryOfTable {
    std::string path;
    stopwatch::journal::Entry entry;
  };
  std::optional<EntryOfTable> tableEntry_;

  // Stopwatches forgotten when they were unplugged. The controller keeps
  // reporting them as removed at every re-scan; the window frees them when
  // it closes.
  std::vector<TJvHidDevice*> forgottenStopwatches_;
  // A stopwatch that is plugged in but may not be opened, while the state
  // line reports it. Not checked out: the controller owns it.
  TJvHidDevice* deniedStopwatch_ = nullptr;
  // Lives as long as the window, for the posted creation of HidCtl.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
