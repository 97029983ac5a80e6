// Import commands: pictures, music and movies onto the current desk.
#include "app/MainDeskWindow.h"

namespace sona {

void MainDeskWindow::OnImportMovie() { RedrawDeskView(0); }
void MainDeskWindow::OnImportMusic() { RedrawDeskView(0); }
void MainDeskWindow::OnImportPicture() { RedrawDeskView(0); }
void MainDeskWindow::ImportFiles(const std::vector<std::string>&, uint32_t) { RedrawDeskView(0); }
void MainDeskWindow::OnDropFiles(HDROP drop) { DragFinish(drop); }

}  // namespace sona
