// Wrappers of the dialog's controls: each names one control of the open dialog window, once the
// data exchange has bound it, and forwards to that window. Unbound wrappers do nothing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/dialog.h"

class CWnd {
 public:
  // Binds the wrapper to the control `id` of the window (null unbinds it).
  void Bind(platform::IDialogWindow* window, int id);
  int Id() const { return id_; }
  bool Bound() const { return window_ != nullptr; }
  // ShowWindow with kShowHide or kShowNormal.
  void ShowWindow(int show);
  // EnableWindow.
  void EnableWindow(bool enable);
  // SetWindowTextA.
  void SetWindowText(const char* text);

 protected:
  platform::IDialogWindow* window_ = nullptr;
  int id_ = 0;
};

class CButton : public CWnd {
 public:
  // BM_GETCHECK; false when unbound.
  bool GetCheck();
  // BM_SETCHECK.
  void SetCheck(bool checked);
};

class CStatic : public CWnd {};

class CEdit : public CWnd {};

class CListBox : public CWnd {
 public:
  // LB_RESETCONTENT.
  void ResetContent();
  // LB_ADDSTRING: the item's index, or kLbErr.
  int AddString(const char* text);
  // LB_INSERTSTRING (index -1: at the end): the item's index, or kLbErr.
  int InsertString(int index, const char* text);
  // LB_SETCURSEL.
  void SetCurSel(int index);
  // LB_GETCURSEL: the selected index, or kLbErr.
  int GetCurSel();
  // LB_GETTEXT into a buffer of `size` bytes: the length, or kLbErr (buffer untouched).
  int GetText(int index, char* buffer, std::size_t size);
};

class CIPAddressCtrl : public CWnd {
 public:
  // IPM_SETADDRESS with a packed address (first field in the most significant byte).
  void SetAddress(std::uint32_t address);
  // IPM_GETADDRESS: the number of non-blank fields; blank fields read as 0.
  int GetAddress(std::uint32_t* address);
};
