#include "platform/sim/sim_dialog.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <sstream>
#include <stdexcept>

namespace sim {
namespace {

bool IsListBox(const SimControl& control) {
  return control.source->className != nullptr && std::strcmp(control.source->className, "listbox") == 0;
}

bool IsNotifyingStatic(const SimControl& control) {
  return control.source->className != nullptr && std::strcmp(control.source->className, "static") == 0 &&
         (control.source->style & platform::kSsNotify) != 0;
}

// The order of a sorted list box: without regard to case.
bool SortsBefore(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
    return std::tolower(static_cast<unsigned char>(x)) < std::tolower(static_cast<unsigned char>(y));
  });
}

}  // namespace

SimDialogWindow::SimDialogWindow(const platform::DialogTemplate& dialog, platform::IDialogHandler& handler)
    : title(dialog.caption != nullptr ? dialog.caption : ""), dialog_(dialog), handler_(handler) {
  for (std::size_t i = 0; i < dialog.controlCount; ++i) {
    const platform::ControlTemplate& source = dialog.controls[i];
    SimControl control;
    control.source = &source;
    control.id = source.id;
    control.visible = (source.style & platform::kWsVisible) != 0;
    control.enabled = (source.style & platform::kWsDisabled) == 0;
    control.text = source.text != nullptr ? source.text : "";
    controls.push_back(control);
  }
}

std::intptr_t SimDialogWindow::Create() {
  handler_.Attach(this);
  platform::DialogMessage message;
  message.message = platform::kWmInitDialog;
  return Send(message).value;
}

platform::MessageResult SimDialogWindow::Send(const platform::DialogMessage& message) {
  return handler_.HandleMessage(message);
}

platform::MessageResult SimDialogWindow::Command(int id, std::uint32_t code) {
  platform::DialogMessage message;
  message.message = platform::kWmCommand;
  message.wParam = static_cast<std::uintptr_t>((code << 16) | (static_cast<std::uint32_t>(id) & 0xFFFF));
  message.lParam = static_cast<std::intptr_t>(ControlWindow(id));
  message.id = id;
  message.code = code;
  return Send(message);
}

bool SimDialogWindow::Click(int id) {
  SimControl* control = Find(id);
  if (!Usable(control)) return false;
  if ((control->source->style & platform::kButtonTypeMask) == platform::kBsAutoRadioButton &&
      platform::IsRadioButton(*control->source)) {
    // The group's first control is the nearest one at or before this with WS_GROUP.
    const platform::ControlTemplate* first = control->source;
    while (first != dialog_.controls && (first->style & platform::kWsGroup) == 0) --first;
    for (int member : platform::RadioGroup(dialog_, first->id)) Find(member)->checked = member == id;
  }
  Command(id, platform::kBnClicked);  // STN_CLICKED has the same code
  return true;
}

bool SimDialogWindow::DoubleClick(int id) {
  SimControl* control = Find(id);
  if (!Usable(control) || !IsNotifyingStatic(*control)) return false;
  Command(id, platform::kBnClicked);
  Command(id, platform::kStnDblClk);
  return true;
}

bool SimDialogWindow::SelectItem(int id, int index) {
  SimControl* control = Find(id);
  if (!Usable(control) || !IsListBox(*control)) return false;
  if (index < 0 || index >= static_cast<int>(control->items.size())) return false;
  control->selection = index;
  Command(id, platform::kLbnSelChange);
  return true;
}

bool SimDialogWindow::DoubleClickItem(int id, int index) {
  if (!SelectItem(id, index)) return false;
  Command(id, platform::kLbnDblClk);
  return true;
}

bool SimDialogWindow::LeaveIpField(int id, int field, int value) {
  SimControl* control = Find(id);
  if (!Usable(control) || field < 0 || field > 3) return false;
  control->fields[field] = value;
  platform::IpFieldChange change{field, value};
  platform::DialogMessage message;
  message.message = platform::kWmNotify;
  message.wParam = static_cast<std::uintptr_t>(id);
  message.id = id;
  message.code = platform::kIpnFieldChanged;
  message.ipField = &change;
  Send(message);
  control->fields[field] = change.value;
  return true;
}

platform::MessageResult SimDialogWindow::Close() {
  platform::DialogMessage message;
  message.message = platform::kWmClose;
  const platform::MessageResult result = Send(message);
  if (result.handled) return result;
  return Command(platform::kIdCancel, platform::kBnClicked);
}

platform::MessageResult SimDialogWindow::PressEscape() { return Command(platform::kIdCancel, platform::kBnClicked); }

platform::MessageResult SimDialogWindow::DeviceEvent(std::uint32_t event, std::uint32_t deviceType) {
  platform::DeviceEventHeader header;
  header.size = 32;
  header.deviceType = deviceType;
  platform::DialogMessage message;
  message.message = platform::kWmDeviceChange;
  message.wParam = event;
  message.device = &header;
  return Send(message);
}

SimControl& SimDialogWindow::Control(int id) {
  SimControl* control = Find(id);
  if (control == nullptr) throw std::out_of_range("no control " + std::to_string(id));
  return *control;
}

std::string SimDialogWindow::IpText(int id) {
  std::string text;
  for (int field : Control(id).fields) {
    if (!text.empty()) text += '.';
    text += field < 0 ? std::string("_") : std::to_string(field);
  }
  return text;
}

std::string SimDialogWindow::Describe() const {
  std::ostringstream out;
  out << "title '" << title << "' ended " << ended << "\n";
  for (const SimControl& c : controls) {
    out << c.id << (c.visible ? " visible" : " hidden") << (c.enabled ? " enabled" : " disabled") << " '" << c.text
        << "' checked " << c.checked << " sel " << c.selection << " items [";
    for (const std::string& item : c.items) out << item << "|";
    out << "] ip " << c.fields[0] << "." << c.fields[1] << "." << c.fields[2] << "." << c.fields[3] << "\n";
  }
  return out.str();
}

platform::WindowRef SimDialogWindow::ControlWindow(int id) {
  for (std::size_t i = 0; i < controls.size(); ++i) {
    if (controls[i].id == id) return kWindow + 1 + i;
  }
  return 0;
}

void SimDialogWindow::ShowControl(int id, int show) {
  if (SimControl* control = Find(id)) control->visible = show != platform::kShowHide;
}

void SimDialogWindow::EnableControl(int id, bool enable) {
  if (SimControl* control = Find(id)) control->enabled = enable;
}

void SimDialogWindow::SetControlText(int id, const char* text) {
  if (SimControl* control = Find(id)) control->text = text != nullptr ? text : "";
}

bool SimDialogWindow::IsChecked(int id) {
  SimControl* control = Find(id);
  return control != nullptr && control->checked;
}

void SimDialogWindow::SetChecked(int id, bool checked) {
  if (SimControl* control = Find(id)) control->checked = checked;
}

void SimDialogWindow::ListResetContent(int id) {
  if (SimControl* control = Find(id)) {
    control->items.clear();
    control->selection = -1;
  }
}

int SimDialogWindow::ListAddString(int id, const char* text) {
  SimControl* control = Find(id);
  if (control == nullptr || text == nullptr) return platform::kLbErr;
  std::vector<std::string>& items = control->items;
  auto place = items.end();
  if ((control->source->style & platform::kLbsSort) != 0) place = std::upper_bound(items.begin(), items.end(), text, SortsBefore);
  const auto inserted = items.insert(place, text);
  return static_cast<int>(inserted - items.begin());
}

int SimDialogWindow::ListInsertString(int id, int index, const char* text) {
  SimControl* control = Find(id);
  if (control == nullptr || text == nullptr) return platform::kLbErr;
  std::vector<std::string>& items = control->items;
  if (index == -1) index = static_cast<int>(items.size());
  if (index < 0 || index > static_cast<int>(items.size())) return platform::kLbErr;
  items.insert(items.begin() + index, text);
  return index;
}

void SimDialogWindow::ListSetCurSel(int id, int index) {
  SimControl* control = Find(id);
  if (control == nullptr) return;
  if (index >= -1 && index < static_cast<int>(control->items.size())) control->selection = index;
}

int SimDialogWindow::ListGetCurSel(int id) {
  SimControl* control = Find(id);
  return control != nullptr ? control->selection : platform::kLbErr;
}

int SimDialogWindow::ListGetText(int id, int index, char* buffer, std::size_t size) {
  SimControl* control = Find(id);
  if (control == nullptr || index < 0 || index >= static_cast<int>(control->items.size())) return platform::kLbErr;
  const std::string& item = control->items[index];
  if (item.size() + 1 > size) return platform::kLbErr;
  std::memcpy(buffer, item.c_str(), item.size() + 1);
  return static_cast<int>(item.size());
}

void SimDialogWindow::SetIpAddress(int id, std::uint32_t address) {
  SimControl* control = Find(id);
  if (control == nullptr) return;
  for (int field = 0; field < 4; ++field) control->fields[field] = (address >> (24 - 8 * field)) & 0xFF;
}

int SimDialogWindow::GetIpAddress(int id, std::uint32_t* address) {
  SimControl* control = Find(id);
  *address = 0;
  if (control == nullptr) return 0;
  int filled = 0;
  for (int field = 0; field < 4; ++field) {
    if (control->fields[field] < 0) continue;
    ++filled;
    *address |= static_cast<std::uint32_t>(control->fields[field] & 0xFF) << (24 - 8 * field);
  }
  return filled;
}

void SimDialogWindow::EndDialog(std::intptr_t value) {
  ended = true;
  result = value;
}

SimControl* SimDialogWindow::Find(int id) {
  for (SimControl& control : controls) {
    if (control.id == id) return &control;
  }
  return nullptr;
}

bool SimDialogWindow::Usable(const SimControl* control) const {
  return control != nullptr && control->visible && control->enabled;
}

std::intptr_t SimDialogRunner::RunModal(int templateId, platform::IDialogHandler& handler) {
  const platform::DialogTemplate* dialog = platform::ProgramDialogTemplate(templateId);
  if (dialog == nullptr) return -1;
  ++runs;
  window = std::make_unique<SimDialogWindow>(*dialog, handler);
  window->Create();
  if (user && !window->ended) user(*window);
  if (!window->ended) window->Close();
  platform::DialogMessage destroy;
  destroy.message = platform::kWmDestroy;
  window->Send(destroy);
  handler.Attach(nullptr);
  return window->ended ? window->result : 0;
}

}  // namespace sim
