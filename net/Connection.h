#pragma once

#include <QString>

namespace vetorlan {

struct Settings;

// Whether the machine has a modem-type link: a ppp interface is up, or the dial-up service
// knows a modem-type connection. False when neither can be read (no dial-up service).
bool MachineHasModemLink();

// Whether the program works as on a dial-up line: WorkMode "DialUp" on a machine with a
// modem-type link. Everywhere else it works as on a permanent line, whatever WorkMode says.
bool WorksAsDialUp(const Settings& settings);

// True at once when `settings` do not choose a dial-up line;
// otherwise whether a point-to-point dial-up interface (ppp*) is up — pppd started by pon or
// wvdial is unknown to the dial-up service — or else whether the first connection the
// dial-up service lists is connected.
bool IsOnline(const Settings& settings);

// Whether `folder`, a list of network interfaces as the kernel gives it (/sys/class/net),
// holds a ppp* interface that is up with a working link.
bool AnyPppInterfaceUp(const QString& folder);

// The interface list IsOnline reads (the kernel's on Linux, none elsewhere); tests point it
// at a folder of their own.
void SetNetworkInterfaceFolder(const QString& folder);

// Hangs up every listed dial-up connection when the listing succeeded.
void HangUpAll();

} // namespace vetorlan
