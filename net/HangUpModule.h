#pragma once

namespace vetorlan {

// Hangs up every listed dial-up connection when the listing succeeded.
void HangUpAll();

} // namespace vetorlan
