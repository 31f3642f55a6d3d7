#include "platform/dialog.h"


namespace platform {
namespace {

// Window class names compare without regard to the case of ASCII letters.
bool SameClassName(const char* a, const char* b) {
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    const char x = (*a >= 'A' && *a <= 'Z') ? static_cast<char>(*a - 'A' + 'a') : *a;
    const char y = (*b >= 'A' && *b <= 'Z') ? static_cast<char>(*b - 'A' + 'a') : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

}  // namespace

const ControlTemplate* FindControl(const DialogTemplate& dialog, int id) {
  for (std::size_t i = 0; i < dialog.controlCount; ++i) {
    if (dialog.controls[i].id == id) return &dialog.controls[i];
  }
  return nullptr;
}

bool IsRadioButton(const ControlTemplate& control) {
  if (control.className == nullptr || !SameClassName(control.className, "button")) return false;
  const std::uint32_t type = control.style & kButtonTypeMask;
  return type == kBsAutoRadioButton || type == kBsRadioButton;
}

std::vector<int> RadioGroup(const DialogTemplate& dialog, int firstId) {
  std::vector<int> ids;
  const ControlTemplate* first = FindControl(dialog, firstId);
  if (first == nullptr) return ids;
  const ControlTemplate* end = dialog.controls + dialog.controlCount;
  for (const ControlTemplate* control = first; control != end; ++control) {
    if (control != first && (control->style & kWsGroup) != 0) break;
    if (IsRadioButton(*control)) ids.push_back(control->id);
  }
  return ids;
}

}  // namespace platform
