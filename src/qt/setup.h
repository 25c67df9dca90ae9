// How every Qt application of the program is set up: right to left, the
// Arabic font, and ending only when the runtime ends.
#pragma once

namespace mk::qt {

// Call once the QApplication exists.
void configureApplication();

}  // namespace mk::qt
