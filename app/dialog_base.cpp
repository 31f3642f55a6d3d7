#include "app/dialog_base.h"

#include <vector>

void DdxRadio(CDataExchange& exchange, int firstId, std::int32_t& value) {
  if (exchange.window == nullptr || exchange.dialog == nullptr) return;
  const std::vector<int> buttons = platform::RadioGroup(*exchange.dialog, firstId);
  if (exchange.saveAndValidate) {
    value = -1;
    for (std::size_t number = 0; number < buttons.size(); ++number) {
      if (exchange.window->IsChecked(buttons[number])) value = static_cast<std::int32_t>(number);
    }
    return;
  }
  for (std::size_t number = 0; number < buttons.size(); ++number) {
    exchange.window->SetChecked(buttons[number], static_cast<std::int32_t>(number) == value);
  }
}

void DdxControl(CDataExchange& exchange, int id, CWnd& control) { control.Bind(exchange.window, id); }

std::intptr_t CDialog::DoModal(platform::IDialogRunner& runner) { return runner.RunModal(templateId_, *this); }

platform::MessageResult CDialog::HandleMessage(const platform::DialogMessage& message) {
  if (message.message == platform::kWmInitDialog) return {true, OnInitDialog() ? 1 : 0};
  return OnMessage(message);
}

bool CDialog::UpdateData(bool saveAndValidate) {
  if (window_ == nullptr) return false;
  CDataExchange exchange;
  exchange.saveAndValidate = saveAndValidate;
  exchange.window = window_;
  exchange.dialog = platform::ProgramDialogTemplate(templateId_);
  DoDataExchange(exchange);
  return true;
}

bool CDialog::OnInitDialog() {
  UpdateData(false);
  return true;
}
