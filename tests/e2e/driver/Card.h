// Scenarios of the statistics card under Wine: the mail it hands to Simple MAPI, which
// MAPI32.DLL it may load, the wizard going on without a mail client, and the Flash viewer
// check on leaving the card.
#pragma once

#include <string>

namespace driver {

// A capture MAPI32.DLL in the system folder (the scenario puts it there, Wine told to prefer a
// native mapi32): the card arrives with its subject, body bytes, originator, one "SMTP:"
// recipient (the mailbox) and flags 0; going back and forward sends the same card again.
void CardMail(const std::string& exe, const std::string& mailbox, const std::string& library);
// The capture library beside a copy of the installer and none in the system folder: it is
// never loaded, and the wizard still moves to the folder page.
void CardMailBeside(const std::string& exe, const std::string& library);
// The capture library in the system folder but the messaging subsystem's flag saying MAPI is
// not installed: nothing is loaded, and the wizard still moves to the folder page.
void CardWithoutMapi(const std::string& exe, const std::string& library);
// Panel10 on the folder page: shown without SWFLASH.OCX, hidden with it under
// system\MACROMED\FLASH, shown again once it is gone (each press tests afresh).
void FlashViewer(const std::string& exe);

}  // namespace driver
