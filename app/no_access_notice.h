// A stopwatch that is plugged in but that the user may not open: on Linux
// the commonest reason a HID program sees "no stopwatch" is a hidraw node
// without a udev rule for the user at the seat. The state line says so, and
// the status line and the tooltips tell how to mend it.
#pragma once

#include <string>

class TJvHidDevice;
class TLabel;
class TStaticText;

namespace app {

// The state line's text for it, shown in blue.
inline constexpr char kNoAccessText[] = "Нет доступа к секундомеру";

// True when `device` carries the stopwatch's vendor and product identifiers
// and the system refuses to open it for reading and writing for lack of
// permission. Asks afresh (a rule may have been installed since the last
// look), so the device must be open to the caller: inside a controller event
// or checked out.
bool IsStopwatchWithoutAccess(TJvHidDevice& device);

// The fix in a few words, for the status line.
std::string NoAccessFix();
// The fix at length, for the tooltips, naming the device's node.
std::string NoAccessHint(const std::string& devicePath);

// Shows the report on the state line (text, blue, tooltip) and the status
// line (the fix, with the same tooltip).
void ShowNoAccess(TLabel& stateLine, TStaticText& statusLine, const std::string& devicePath);
// Takes the tooltips away and empties the status line if it still shows the
// fix; the state line's text is the caller's to set.
void ClearNoAccess(TLabel& stateLine, TStaticText& statusLine);

}  // namespace app
