// The programs tlwprog plays beside the plain window program.
#pragma once

namespace tlwprog {

// "\Windows\tfwifi.exe", the maker's Wi-Fi tool: toggles the Wi-Fi radio.
int RunWifiTool();

// "\Windows\BtTray.exe", the WIDCOMM Bluetooth stack's tray: a window of
// class "WCE_BTTRAY" that takes the stack's messages until closed.
int RunBluetoothTray();

// "\Windows\repllog.exe", the mail synchronisation: journals that the
// mail was synchronised and ends.
int RunMailSync();

// "tlwform": a modal dialog of the phone's controls (name, masked PIN,
// check box, OK and Cancel); journals what it ended with and ends.
int RunForm();

}  // namespace tlwprog
