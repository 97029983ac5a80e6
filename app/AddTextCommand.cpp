// The add-text command: a new note on the current desk.
#include "app/MainDeskWindow.h"

namespace sona {

void MainDeskWindow::OnAddText() { RedrawDeskView(0); }

}  // namespace sona
