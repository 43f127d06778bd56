// The labels of the standard buttons of message boxes and file requesters, in the
// edition's language whatever the locale.
#pragma once

namespace App {

enum class StandardButton { Cancel, Save, Open, Yes, No };

// GTK's own translation when the locale speaks the edition's language, else the edition's
// table. Yes and No always come from the table: texts name those buttons by these words.
[[nodiscard]] const char* ButtonLabel(StandardButton button);

}  // namespace App
