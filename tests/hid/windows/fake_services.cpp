// A stand-in for the device-setup and HID libraries: it exports every
// device-setup entry point the layer binds, and every HID entry point except
// HidP_GetCaps. Only the names matter; nothing calls these.
#define EXPORT extern "C" __declspec(dllexport) int

EXPORT SetupDiGetClassDevsA() { return 0; }
EXPORT SetupDiEnumDeviceInterfaces() { return 0; }
EXPORT SetupDiGetDeviceInterfaceDetailA() { return 0; }
EXPORT SetupDiGetDeviceRegistryPropertyA() { return 0; }
EXPORT SetupDiDestroyDeviceInfoList() { return 0; }

EXPORT HidD_GetHidGuid() { return 0; }
EXPORT HidD_GetAttributes() { return 0; }
EXPORT HidD_GetPreparsedData() { return 0; }
EXPORT HidD_FreePreparsedData() { return 0; }
EXPORT HidD_GetProductString() { return 0; }
