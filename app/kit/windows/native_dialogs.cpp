// The system's boxes, the save dialog and the print dialog. The error box
// and the confirmation box are MessageBoxW; the confirmation box has its
// buttons named "&Yes" and "&No" whatever the system's language, and Esc (or
// closing it) answers No, which a plain MB_YESNO box would not allow.
#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/kit/backend.h"
#include "app/kit/windows/application_window.h"
#include "app/kit/windows/printing.h"

// After windows.h, which they need. The print dialog's structure is declared
// only with COM's declarations (objbase.h), which the lean windows.h leaves out.
#include <objbase.h>

#include <cderr.h>
#include <commdlg.h>

namespace kit::win {
namespace {

// The window a box is modal to: the thread's active window, else the main
// form.
HWND Owner() {
  HWND active = ::GetActiveWindow();
  if (active != nullptr) return active;
  return MainForm();
}

// The confirmation box being opened on this thread, between the hook that
// finds it and the procedure that answers its Esc.
thread_local HHOOK confirmHook = nullptr;
thread_local WNDPROC boxProc = nullptr;

LRESULT CALLBACK ConfirmBoxProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  // Esc and closing the box arrive as IDCANCEL, which a box without a
  // Cancel button ignores: here they answer No.
  if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
    ::EndDialog(box, IDNO);
    return 0;
  }
  return ::CallWindowProcW(boxProc, box, message, wParam, lParam);
}

LRESULT CALLBACK ConfirmHookProc(int code, WPARAM wParam, LPARAM lParam) {
  const LRESULT next = ::CallNextHookEx(confirmHook, code, wParam, lParam);
  if (code != HCBT_ACTIVATE) return next;
  HWND box = reinterpret_cast<HWND>(wParam);
  wchar_t className[16] = {};
  ::GetClassNameW(box, className, 16);
  if (std::wstring_view(className) != L"#32770" || ::GetDlgItem(box, IDYES) == nullptr) return next;
  ::UnhookWindowsHookEx(confirmHook);
  confirmHook = nullptr;
  ::SetDlgItemTextW(box, IDYES, L"&Yes");
  ::SetDlgItemTextW(box, IDNO, L"&No");
  boxProc =
      reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&ConfirmBoxProc)));
  // The frame's close button, greyed for a box without Cancel, works too.
  ::EnableMenuItem(::GetSystemMenu(box, FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
  return next;
}

// The common dialogs' library, loaded at the first save or print rather
// than with the program: it brings the shell's with it, a good part of the
// program's start under Wine. Loaded from the system folder by its full path.
HMODULE CommonDialogs() {
  static const HMODULE library = []() -> HMODULE {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return ::LoadLibraryW((std::wstring(folder, length) + L"\\comdlg32.dll").c_str());
  }();
  return library;
}

// An entry point of the library, or nullptr.
template <typename Function>
Function CommonDialog(const char* name) {
  HMODULE library = CommonDialogs();
  if (library == nullptr) return nullptr;
  // Through a function type without parameters, as every entry point is.
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(::GetProcAddress(library, name)));
}

using SaveDialogFunction = BOOL(WINAPI*)(LPOPENFILENAMEW);
using PrintDialogFunction = HRESULT(WINAPI*)(LPPRINTDLGEXW);
using DialogErrorFunction = DWORD(WINAPI*)();

SaveDialogFunction SaveDialog() {
  static const auto function = CommonDialog<SaveDialogFunction>("GetSaveFileNameW");
  if (function == nullptr) throw std::runtime_error("cannot load the save dialog (comdlg32.dll)");
  return function;
}

// Why the print dialog did not come up or gave nothing to print on.
PrintResult PrintDialogFailure(HRESULT result) {
  static const auto lastError = CommonDialog<DialogErrorFunction>("CommDlgExtendedError");
  const DWORD error = lastError != nullptr ? lastError() : 0;
  std::string reason;
  if (error == PDERR_NODEFAULTPRN || error == PDERR_NODEVICES)
    reason = "на этом компьютере не установлен ни один принтер";
  else if (error == PDERR_PRINTERNOTFOUND)
    reason = "принтер не найден";
  else if (error != 0)
    reason = "окно печати не открылось (ошибка " + std::to_string(error) + ")";
  else
    reason = SystemReason(static_cast<DWORD>(result));
  return {PrintOutcome::Failed, "Не удалось напечатать: " + reason};
}

// What the print dialog leaves to its caller to free.
struct PrintDialogResult {
  PRINTDLGEXW dialog{};
  ~PrintDialogResult() {
    if (dialog.hDC != nullptr) ::DeleteDC(dialog.hDC);
    if (dialog.hDevMode != nullptr) ::GlobalFree(dialog.hDevMode);
    if (dialog.hDevNames != nullptr) ::GlobalFree(dialog.hDevNames);
  }
};

// "Description|pattern|..." as the dialog wants it: pairs of strings, each
// ended by a zero, and one more zero at the end.
std::wstring FilterList(const std::string& filter) {
  std::wstring list = Wide(filter);
  for (wchar_t& c : list)
    if (c == L'|') c = L'\0';
  list.push_back(L'\0');
  list.push_back(L'\0');
  return list;
}

class SystemDialogs final : public Dialogs {
 public:
  void ShowError(const std::string& caption, const std::string& text) override {
    ::MessageBoxW(Owner(), Wide(text).c_str(), Wide(caption).c_str(), MB_OK | MB_ICONSTOP);
  }

  void ShowInformation(const std::string& caption, const std::string& text) override {
    ::MessageBoxW(Owner(), Wide(text).c_str(), Wide(caption).c_str(), MB_OK | MB_ICONINFORMATION);
  }

  int Confirm(const std::string& caption, const std::string& text) override {
    confirmHook = ::SetWindowsHookExW(WH_CBT, &ConfirmHookProc, nullptr, ::GetCurrentThreadId());
    const int answer =
        ::MessageBoxW(Owner(), Wide(text).c_str(), Wide(caption).c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON1);
    if (confirmHook != nullptr) ::UnhookWindowsHookEx(confirmHook);
    confirmHook = nullptr;
    return answer == IDYES ? kIdYes : kIdNo;
  }

  bool SaveFile(SaveFileRequest& request) override {
    const std::wstring filter = FilterList(request.filter);
    const std::wstring defaultExt = Wide(request.defaultExt);
    std::vector<wchar_t> file(32768, L'\0');
    const std::wstring offered = Wide(request.fileName);
    offered.copy(file.data(), file.size() - 1);

    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = Owner();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrDefExt = defaultExt.empty() ? nullptr : defaultExt.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                   (request.overwritePrompt ? OFN_OVERWRITEPROMPT : 0);
    if (!SaveDialog()(&dialog)) return false;
    request.fileName = Narrow(file.data());
    return true;
  }

  PrintResult Print(const PrintJob& job) override {
    static const auto printDialog = CommonDialog<PrintDialogFunction>("PrintDlgExW");
    if (printDialog == nullptr)
      return {PrintOutcome::Failed, "Не удалось напечатать: окно печати недоступно (comdlg32.dll)"};
    PrintDialogResult result;
    PRINTDLGEXW& dialog = result.dialog;
    dialog.lStructSize = sizeof dialog;
    // The dialog wants a window to belong to, whatever is active.
    dialog.hwndOwner = Owner() != nullptr ? Owner() : ApplicationWindow();
    // One page, all of it: nothing to choose but the printer, its settings
    // and the copies, which the driver makes where it can.
    dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_NOCURRENTPAGE | PD_USEDEVMODECOPIESANDCOLLATE;
    dialog.nCopies = 1;
    dialog.nStartPage = START_PAGE_GENERAL;
    const HRESULT shown = printDialog(&dialog);
    if (FAILED(shown)) return PrintDialogFailure(shown);
    if (dialog.dwResultAction != PD_RESULT_PRINT) return {PrintOutcome::Cancelled, {}};
    if (dialog.hDC == nullptr) return PrintDialogFailure(E_FAIL);
    return PrintOn(dialog.hDC, job, std::max<int>(1, dialog.nCopies));
  }
};

}  // namespace
}  // namespace kit::win

kit::Dialogs& kit::NativeDialogs() {
  static win::SystemDialogs dialogs;
  return dialogs;
}
