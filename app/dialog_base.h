// The dialog framework of the program: a modal dialog made from a template of the program, its
// data exchange between members and controls, and the dispatch of its messages through one
// table that binds messages, control ids and notification codes to handlers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "app/controls.h"
#include "platform/dialog.h"

// One run of a dialog's data exchange: reading the controls into the members, or writing the
// members to the controls.
struct CDataExchange {
  bool saveAndValidate = false;  // true: controls to members
  platform::IDialogWindow* window = nullptr;
  const platform::DialogTemplate* dialog = nullptr;
};

// The radio group that starts at firstId and a member holding the selected button's number
// (0 for the first radio button of the group). Reading sets -1, then the number of each checked
// button in turn; writing checks the button of that number and clears the others.
void DdxRadio(CDataExchange& exchange, int firstId, std::int32_t& value);

// Binds a wrapper to the control `id`.
void DdxControl(CDataExchange& exchange, int id, CWnd& control);

class CDialog : public platform::IDialogHandler {
 public:
  explicit CDialog(int templateId) : templateId_(templateId) {}
  ~CDialog() override = default;
  CDialog(const CDialog&) = delete;
  CDialog& operator=(const CDialog&) = delete;

  // Runs the dialog modally from its template; the EndDialog result, or -1 when it could not be
  // created.
  std::intptr_t DoModal(platform::IDialogRunner& runner);

  void Attach(platform::IDialogWindow* window) override { window_ = window; }
  // WM_INITDIALOG goes to OnInitDialog, every other message to the dialog's message map.
  platform::MessageResult HandleMessage(const platform::DialogMessage& message) override;

  // Runs the data exchange (true: controls to members); false while no window is open.
  bool UpdateData(bool saveAndValidate);

  // The open window, or null.
  platform::IDialogWindow* Window() const { return window_; }
  int TemplateId() const { return templateId_; }

 protected:
  // The bindings of members and controls.
  virtual void DoDataExchange(CDataExchange& exchange) = 0;
  // The window's initialisation: writes the members to the controls. True gives the focus to the
  // first tab stop.
  virtual bool OnInitDialog();
  // The message map: the handler bound to the message, if any.
  virtual platform::MessageResult OnMessage(const platform::DialogMessage& message) = 0;

 private:
  int templateId_ = 0;
  platform::IDialogWindow* window_ = nullptr;
};
