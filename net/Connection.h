#pragma once

#include <QString>

namespace vetorlan {

// True at once when WorkMode is not "DialUp"; otherwise whether a point-to-point dial-up
// interface (ppp*) is up — pppd started by pon or wvdial is unknown to the dial-up service —
// or else whether the first connection the dial-up service lists is connected.
bool IsOnline();

// Whether `folder`, a list of network interfaces as the kernel gives it (/sys/class/net),
// holds a ppp* interface that is up with a working link.
bool AnyPppInterfaceUp(const QString& folder);

// The interface list IsOnline reads (the kernel's on Linux, none elsewhere); tests point it
// at a folder of their own.
void SetNetworkInterfaceFolder(const QString& folder);

// Hangs up every listed dial-up connection when the listing succeeded.
void HangUpAll();

} // namespace vetorlan
