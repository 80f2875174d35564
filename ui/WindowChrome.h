#pragma once

class QWidget;

namespace vetorlan {

// Removes (show false) or restores (show true) the system title bar of a window. Removing
// keeps the caption in the window's "Tag" property and clears it; restoring puts the caption
// back and brings the system title bar back only when that caption is empty, so the pair of
// calls (false, then true) leaves a captioned window without a system title bar.
void SetTitleBar(QWidget& form, bool show);

} // namespace vetorlan
