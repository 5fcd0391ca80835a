#pragma once
// Texts that users see and that model code makes (messages, report labels, the tools' output)
// go through translate(), so that the programs' translation files cover them too. The source
// texts are the Chinese texts, UTF-8; without a translator installed (model-only builds, the
// model tests, before start-up) translate() returns the source text unchanged.
//
// The translation tools find the texts by the calls themselves: write
// `tessera::translate("Context", "源文本")` with both arguments as string literals, and for a text
// kept in a constant and translated where it is shown, mark the literal with
// TESSERA_TRANSLATE_NOOP("Context", "源文本") and translate it with the same context later.
//
// Model code: no Qt. The Qt layer installs a translator that asks Qt's translation system.

#include <string>

#define TESSERA_TRANSLATE_NOOP(context, source) source

namespace tessera {

// Returns the translation of `source` (UTF-8) in `context`, or `source` itself.
using Translator = std::string (*)(const char* context, const char* source);

// Installs the translator used by translate() (nullptr: none). Call at start-up, before any
// thread that translates exists.
void setTranslator(Translator translator);

// The text to show for `source` (a Chinese source text, UTF-8) in `context`.
std::string translate(const char* context, const char* source);

} // namespace tessera
