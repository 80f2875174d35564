#pragma once

namespace vetorlan {

// True at once when WorkMode is not "DialUp"; otherwise whether the first listed dial-up
// connection is connected.
bool IsOnline();

} // namespace vetorlan
