#pragma once

namespace vetorlan {

// The three status pictures of the tray: idle, a load running, the last load failed.
enum class TrayIconKind { Normal, Loading, Error };

} // namespace vetorlan
