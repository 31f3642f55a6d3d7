// The texts of the main dialog in both languages: the title, the control labels and the texts
// of the connection panel. 2052 selects Chinese (code page 936), any other code English.
#pragma once

#include <cstddef>
#include <cstdint>

#include "installer/install_texts.h"  // kLanguageChinese, kLanguageEnglish

// The connection kinds, numbered as the buttons of the connection group.
constexpr std::int32_t kConnectionUsb = 0;
constexpr std::int32_t kConnectionCom = 1;
constexpr std::int32_t kConnectionLpt = 2;
constexpr std::int32_t kConnectionLan = 3;

// The dialog's title, the same in both languages.
extern const char kDialogTitle[];

struct ControlLabel {
  int id = 0;
  const char* chinese = nullptr;
  const char* english = nullptr;
};

// The labels that follow the language, in the order they are set.
extern const ControlLabel kControlLabels[];
extern const std::size_t kControlLabelCount;

// The label of a control for the language.
const char* LabelText(const ControlLabel& label, std::int32_t language);

// The first line of the port list for a kind (USB, COM or LPT); null for another kind.
const char* PortHeaderText(std::int32_t kind, std::int32_t language);

// The text shown in place of the list when a kind (USB, COM or LPT) has no port; null otherwise.
const char* NoPortText(std::int32_t kind, std::int32_t language);
