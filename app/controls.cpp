#include "app/controls.h"

void CWnd::Bind(platform::IDialogWindow* window, int id) {
  window_ = window;
  id_ = id;
}

void CWnd::ShowWindow(int show) {
  if (window_ != nullptr) window_->ShowControl(id_, show);
}

void CWnd::EnableWindow(bool enable) {
  if (window_ != nullptr) window_->EnableControl(id_, enable);
}

void CWnd::SetWindowText(const char* text) {
  if (window_ != nullptr) window_->SetControlText(id_, text);
}

bool CButton::GetCheck() { return window_ != nullptr && window_->IsChecked(id_); }

void CButton::SetCheck(bool checked) {
  if (window_ != nullptr) window_->SetChecked(id_, checked);
}

void CListBox::ResetContent() {
  if (window_ != nullptr) window_->ListResetContent(id_);
}

int CListBox::AddString(const char* text) {
  return window_ != nullptr ? window_->ListAddString(id_, text) : platform::kLbErr;
}

int CListBox::InsertString(int index, const char* text) {
  return window_ != nullptr ? window_->ListInsertString(id_, index, text) : platform::kLbErr;
}

void CListBox::SetCurSel(int index) {
  if (window_ != nullptr) window_->ListSetCurSel(id_, index);
}

int CListBox::GetCurSel() { return window_ != nullptr ? window_->ListGetCurSel(id_) : platform::kLbErr; }

int CListBox::GetText(int index, char* buffer, std::size_t size) {
  return window_ != nullptr ? window_->ListGetText(id_, index, buffer, size) : platform::kLbErr;
}

void CIPAddressCtrl::SetAddress(std::uint32_t address) {
  if (window_ != nullptr) window_->SetIpAddress(id_, address);
}

int CIPAddressCtrl::GetAddress(std::uint32_t* address) {
  *address = 0;
  return window_ != nullptr ? window_->GetIpAddress(id_, address) : 0;
}
