#include "app/varnel_app.h"

#include "app/varnel_dlg.h"
#include "platform/dialog.h"

namespace {

constexpr std::uint32_t kInitCommonControlsSize = 8;
constexpr std::uint32_t kWin95Classes = 0xFF;  // ICC_WIN95_CLASSES

}  // namespace

// The shell manager, the visual manager, restart support and the settings key of an application
// framework have no effect on the installer and have no counterpart here; the modal run itself
// registers the IP address control's class, which the Windows 95 classes do not include.
bool CVarnelApp::InitInstance() {
  machine_.dialogs->InitCommonControls(kInitCommonControlsSize, kWin95Classes);
  CVarnelDlg dialog(machine_);
  dialog.DoModal(*machine_.dialogs);
  return false;
}
