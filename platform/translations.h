#pragma once

class QCoreApplication;

namespace platform {

// Puts Qt's own texts (standard buttons, file, colour and printer dialogs, the browser pane's
// menu) into the language of the current locale (QLocale(), the system's unless a default was
// set), from the catalogues in Qt's translations folder, and sets the browser engine's language
// to match when the engine has not started yet. Catalogues installed by an earlier call are
// replaced, so a program under an English locale keeps Qt's English texts. Returns how many
// catalogues were installed.
int installTranslations(QCoreApplication &app);

} // namespace platform
