#include "common/ui/prompt.h"

#include "common/ui/qt_prompt.h"

namespace tessera {
namespace {
Prompt* g_prompt = nullptr;
} // namespace

PromptChoice Prompt::questionWithYesToAll(QWidget* parent, const QString& caption,
                                          const QString& text) {
    switch (question(parent, caption, text, true)) {
    case PromptAnswer::Yes:
        return PromptChoice::Yes;
    case PromptAnswer::No:
        return PromptChoice::No;
    case PromptAnswer::Cancel:
        break;
    }
    return PromptChoice::Cancel;
}

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
