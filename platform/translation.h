#pragma once
// The programs' own messages (errors, help, prompts) in the user's language. Backends beside
// this file: posix/translation_gettext.cpp (the message catalogs of the user's locale),
// win32/translation_win32.cpp (the catalog of the user's interface language, read with
// portable/message_catalog.h: Chinese for a Chinese interface, else English).
//
// Contract: StartTranslations runs once, after the locale is set and before other threads
// start; Translate never fails and never blocks: without a translation it answers its argument.

namespace kesto {

// Opens the program's message catalogs: the folder "locale" beside the executable (the build
// tree, the Windows program), else the system's share/locale beside the executable's bin folder.
void StartTranslations();

// The message in the user's language; english itself when there is no translation. The text
// lives as long as the program.
const char* Translate(const char* english);

// Marks a message that is translated later, where it is used (the message gatherer looks for
// this name as well as Translate).
constexpr const char* TranslatedLater(const char* english) {
    return english;
}

}  // namespace kesto
