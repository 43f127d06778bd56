// The control numbers of the command dialogs: one numbering, going on from the main
// window's. Only one dialog exists at a time, so both share their OK and Cancel buttons.
#pragma once

#include "app/controls.h"

namespace Commands {

enum DialogControl {
  // The entry editor's fields and generator.
  DescriptionField = App::kMainControlCount,
  UrlEntryField,
  UserNameField,
  EntryPasswordField,
  DigitsBox,
  LowerBox,
  UpperBox,
  SymbolsBox,
  LengthSpin,
  GenerateButton,
  // The master password dialog's fields.
  MasterPasswordField,
  RepeatPasswordField,
  // The buttons of both.
  DialogOkButton,
  DialogCancelButton,
  EntryOkButton = DialogOkButton,
  EntryCancelButton = DialogCancelButton,
  PasswordOkButton = DialogOkButton,
  PasswordCancelButton = DialogCancelButton,
};
// Tests and accessibility tools reach the controls by these numbers.
static_assert(DescriptionField == 13 && MasterPasswordField == 23 && DialogCancelButton == 26);

}  // namespace Commands
