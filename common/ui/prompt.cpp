#include "common/ui/prompt.h"

#include "common/ui/qt_prompt.h"

namespace tessera {
namespace {
Prompt* g_prompt = nullptr;
} // namespace

Prompt& prompt() {
    static QtPrompt fallback;
    return g_prompt ? *g_prompt : fallback;
}

Prompt* setPrompt(Prompt* p) {
    Prompt* old = g_prompt;
    g_prompt = p;
    return old;
}

} // namespace tessera
