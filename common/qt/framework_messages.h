#pragma once
// The command-line tools' standard error carries their own messages only. Qt writes its own
// warnings there too (a missing XDG_RUNTIME_DIR, an image beyond the allocation limit, ...),
// which say nothing a user of the tool can act on; they are dropped unless asked for:
//   - "--verbose" anywhere on the command line (it is taken out before the tool reads it), or
//   - Qt's own logging variables (QT_LOGGING_RULES, QT_LOGGING_CONF, QT_DEBUG_PLUGINS,
//     QT_FATAL_WARNINGS), which then work as usual.
// A fatal message still ends the program as Qt would.

namespace tessera {

// Call at the start of main(), before any Qt object exists. Removes "--verbose" from argv.
void quietFrameworkMessages(int& argc, char** argv);

} // namespace tessera
