#include "common/translate.h"

namespace tessera {
namespace {

Translator g_translator = nullptr;

} // namespace

void setTranslator(Translator translator) {
    g_translator = translator;
}

std::string translate(const char* context, const char* source) {
    return g_translator ? g_translator(context, source) : std::string(source);
}

} // namespace tessera
