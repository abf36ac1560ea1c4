#pragma once

namespace zym {

// Puts Qt's own texts in Turkish for the rest of the program: the buttons
// of the message boxes ("Evet", "Hayır", "Tamam"), the file dialog and the
// like, from Qt's translation qtbase_tr (Debian's qt6-translations-l10n,
// copied beside the program by windeployqt). The tool's own texts are
// Turkish already. Returns false where the translation is not installed;
// Qt's texts then stay English.
bool installQtTurkish();

} // namespace zym
