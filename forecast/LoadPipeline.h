#pragma once

namespace vetorlan {

// The load procedure behind Command1_Click (built with the main window).

} // namespace vetorlan
