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

}  // namespace tlwprog
