#pragma once
// Process-wide set-up shared by the program and its window tests.

class QCoreApplication;

namespace tavrin {

// Maps the font names the window asks for ("ＭＳ Ｐゴシック", "ＭＳ ゴシック") to the IPA
// Gothic fonts of the system.
void installFontSubstitutions();

// Japanese locale for dates and numbers, and Qt's own Japanese translation for the standard
// dialog buttons. Returns whether the translation was found.
bool installJapanese(QCoreApplication& app);

}  // namespace tavrin
